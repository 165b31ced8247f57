// Reads the protocol names out of the catalogue files, following the
// program's own reading rules, for drawing one picture per name.
#ifndef CATALOGUEENTRIES_H
#define CATALOGUEENTRIES_H

#include <QMap>
#include <QString>
#include <QStringList>

namespace CatalogueEntries
{

// Locale key -> absolute path for every "agreement…ini" file in folder.
QMap<QString, QString> findFiles(const QString &folder);

// Names (the part of an entry before the first "==") of the [Accept] and
// [Send] entries, in file order, without repeats. False if unreadable.
bool readNames(const QString &path, QStringList *names);

} // namespace CatalogueEntries

#endif // CATALOGUEENTRIES_H
