// Places a configuration file must never be saved to, made in a scratch
// folder for the save tests of the file writer, tovrinctl and the window;
// and a fingerprint of what is at a path, to show it was left untouched.
// Unix only (mknod, mkfifo, lstat).
#ifndef BADTARGETS_H
#define BADTARGETS_H

#include <QString>
#include <QStringList>

namespace BadTargets
{
// "device node", "FIFO", "folder", "symlink to a file", "symlink to a device",
// "dangling symlink", "read-only folder", "missing folder".
QStringList kinds();
// A "kind" column and one row per kind, for a test's _data function.
void addRows(const QStringList &leaveOut = {});
// Makes a target of that kind under folder and returns the path to save to;
// an empty path with why set when it cannot be made here (mknod needs root).
QString make(const QString &kind, const QString &folder, QString *why);
// Type, mode, device number, size and contents of what is at path (and, for a
// link, where it points and what is there), without following or opening
// anything that could block.
QString fingerprint(const QString &path);
// Part of the message that names why each kind is refused.
QString reason(const QString &kind);
} // namespace BadTargets

#endif // BADTARGETS_H
