#include "badtargets.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

QStringList BadTargets::kinds()
{
    return {QStringLiteral("device node"),
            QStringLiteral("FIFO"),
            QStringLiteral("folder"),
            QStringLiteral("symlink to a file"),
            QStringLiteral("symlink to a device"),
            QStringLiteral("dangling symlink"),
            QStringLiteral("read-only folder"),
            QStringLiteral("missing folder")};
}

void BadTargets::addRows(const QStringList &leaveOut)
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : kinds()) {
        if (!leaveOut.contains(kind))
            QTest::newRow(qPrintable(kind)) << kind;
    }
}

QString BadTargets::make(const QString &kind, const QString &folder, QString *why)
{
    const QDir dir(folder);
    const QString target = dir.filePath(QStringLiteral("target.tovrin.json"));
    const QByteArray native = QFile::encodeName(target);
    if (kind == QLatin1String("device node") || kind == QLatin1String("symlink to a device")) {
        const QString node =
            dir.filePath(kind == QLatin1String("device node") ? QStringLiteral("device.tovrin.json")
                                                              : QStringLiteral("null-node"));
        if (geteuid() != 0) {
            *why = QStringLiteral("making a device node needs root");
            return QString();
        }
        if (mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
            *why = QStringLiteral("mknod failed here: %1")
                       .arg(QString::fromLocal8Bit(strerror(errno)));
            return QString();
        }
        if (kind == QLatin1String("device node"))
            return node;
        return QFile::link(node, target) ? target : QString();
    }
    if (kind == QLatin1String("FIFO"))
        return mkfifo(native.constData(), 0644) == 0 ? target : QString();
    if (kind == QLatin1String("folder"))
        return dir.mkdir(QStringLiteral("target.tovrin.json")) ? target : QString();
    if (kind == QLatin1String("symlink to a file")) {
        const QString victim = dir.filePath(QStringLiteral("victim.txt"));
        QFile file(victim);
        if (!file.open(QIODevice::WriteOnly) || file.write("keep me\n") != 8)
            return QString();
        file.close();
        return QFile::link(victim, target) ? target : QString();
    }
    if (kind == QLatin1String("dangling symlink"))
        return QFile::link(dir.filePath(QStringLiteral("nowhere")), target) ? target : QString();
    if (kind == QLatin1String("read-only folder")) {
        // Root writes into any folder whatever its mode; /proc takes no new
        // file from anyone.
        if (geteuid() == 0)
            return QStringLiteral("/proc/target.tovrin.json");
        const QString sub = dir.filePath(QStringLiteral("read-only"));
        if (!dir.mkdir(QStringLiteral("read-only")) ||
            !QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner))
            return QString();
        return QDir(sub).filePath(QStringLiteral("target.tovrin.json"));
    }
    if (kind == QLatin1String("missing folder"))
        return dir.filePath(QStringLiteral("no/such/folder/target.tovrin.json"));
    *why = QStringLiteral("unknown kind ") + kind;
    return QString();
}

QString BadTargets::fingerprint(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (lstat(native.constData(), &st) != 0)
        return QStringLiteral("absent");
    QString print = QStringLiteral("mode %1 rdev %2 size %3")
                        .arg(st.st_mode, 0, 8)
                        .arg(quint64(st.st_rdev))
                        .arg(qint64(st.st_size));
    if (S_ISLNK(st.st_mode)) {
        const QString to = QFile::symLinkTarget(path);
        print += QStringLiteral(" -> %1 (%2)").arg(to, fingerprint(to));
    } else if (S_ISREG(st.st_mode)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            print +=
                QStringLiteral(" sha1 ") +
                QString::fromLatin1(
                    QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
    } else if (S_ISDIR(st.st_mode)) {
        print +=
            QStringLiteral(" entries ") +
            QDir(path)
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)
                .join(QLatin1Char(','));
    }
    return print;
}

QString BadTargets::reason(const QString &kind)
{
    if (kind.contains(QLatin1String("symlink")))
        return QStringLiteral("符号链接");
    if (kind == QLatin1String("read-only folder"))
        return QStringLiteral("不可写入");
    if (kind == QLatin1String("missing folder"))
        return QStringLiteral("不存在");
    return QStringLiteral("不是普通文件");
}
