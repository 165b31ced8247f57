// A link capture read back (the JSON Lines that --capture writes): the links
// it holds, each with its chunks in order. A line that is not one of the
// capture's lines, or a last line cut off before its end, refuses the whole
// file with the line's number.
#ifndef CAPTUREFILE_H
#define CAPTUREFILE_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

class CaptureFile
{
public:
    struct Chunk {
        int line = 0;
        qint64 us = 0;     // since the link opened
        bool sent = false; // by the program, to the module; else received by it
        QByteArray bytes;
    };
    struct Link {
        int line = 0;
        QString route;
        QString device;
        QVector<Chunk> chunks;
        qint64 closedUs = -1; // -1: the capture does not say
    };

    // False with "PATH:LINE: why" in error when the file cannot be used.
    bool load(const QString &path, QString *error);
    bool parse(const QByteArray &text, QString *why, int *line);

    const QVector<Link> &links() const { return m_links; }
    // Why the record stopped early (the size limit), or empty.
    QString stopped() const { return m_stopped; }

    // The frames of every link, one line each, in the order they were
    // completed: "0.001520 sent id=E2 len=1 data=00", the time in seconds
    // since the link opened; and a line for each link's opening and closing.
    QStringList describe() const;

private:
    QVector<Link> m_links;
    QString m_stopped;
};

#endif // CAPTUREFILE_H
