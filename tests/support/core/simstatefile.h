// The simulator's record and state files as the tests write and read them,
// spelled out here rather than taken from the simulator: one line per port,
// "port N: " and the 11 bytes in hex.
#ifndef SIMSTATEFILE_H
#define SIMSTATEFILE_H

#include <QByteArrayList>
#include <QString>

namespace SimStateFile
{
// The records of a file, port by port; empty when the file cannot be read or
// its ports are not numbered 0, 1, … in order.
QByteArrayList read(const QString &path);
// Writes records for --records; false when the file cannot be written.
bool write(const QString &path, const QByteArrayList &records);
} // namespace SimStateFile

#endif // SIMSTATEFILE_H
