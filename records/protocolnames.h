// Names of receive and send protocols by their record codes, as the
// configuration files and the change list show them.
#ifndef PROTOCOLNAMES_H
#define PROTOCOLNAMES_H

#include <QString>
#include <QStringList>

#include <functional>

namespace ProtocolNames
{
// The name of the protocol a code selects in the receive (receive == true)
// or send list; empty when the code selects no entry.
using Lookup = std::function<QString(bool receive, int code)>;

// A lookup over a catalogue's [Accept] and [Send] entries (key==help text).
Lookup fromCatalogue(const QStringList &acceptList, const QStringList &sendList);
} // namespace ProtocolNames

#endif // PROTOCOLNAMES_H
