// Tells the user, once per loaded catalogue, what kept the protocol lists
// empty, and the catalogue's author, in the log, what was left out.
#ifndef CATALOGUENOTICE_H
#define CATALOGUENOTICE_H

class ProtocolCatalogue;

namespace CatalogueNotice
{
// A modal box for a missing or oversized catalogue; a warning in the log for
// entries past the last protocol code. Nothing for a catalogue read whole.
void show(const ProtocolCatalogue &catalogue);
} // namespace CatalogueNotice

#endif // CATALOGUENOTICE_H
