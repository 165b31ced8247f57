// A record of one program run's links for support: every chunk of bytes sent
// and received, exactly as it crossed, one JSON object a line (JSON Lines),
// flushed line by line. Lines:
//   {"us":0,"link":"open","route":"direct","device":"/dev/ttyUSB0"}
//   {"us":1520,"dir":"sent","route":"direct","device":"/dev/ttyUSB0",
//    "hex":"AB0E05E20100..","frames":[{"id":"E2","len":1,"wrapped":false}]}
//   {"us":90210,"link":"close"}
//   {"us":..,"stopped":"size limit of 67108864 bytes reached"}
// "us" counts microseconds since the link opened; "frames" lists the frames
// whose last byte is in the chunk (identifier and declared length of the
// frame, and for pass-through the identifier and length it carries).
// Nothing but the link's bytes is kept.
#ifndef LINKCAPTURE_H
#define LINKCAPTURE_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QString>

#include <memory>

class COMPROTOCOL;

class LinkCapture
{
public:
    static constexpr qint64 DefaultLimit = qint64(64) * 1024 * 1024;
    static QString suffix() { return QStringLiteral(".capture.jsonl"); }

    // limit: the largest size of the file, the line saying it stopped included.
    explicit LinkCapture(const QString &path, qint64 limit = DefaultLimit);
    ~LinkCapture();

    // Creates (or empties) the file; false with the reason when it cannot.
    bool create(QString *error);
    QString path() const { return m_file.fileName(); }
    // False once the size limit or a failed write ended the record.
    bool isRecording() const { return m_file.isOpen() && !m_stopped; }

    // A link opened: the clock starts again at 0.
    void linkOpened(const QString &route, const QString &device);
    void linkClosed();
    void sent(const QByteArray &bytes);
    void received(const QByteArray &bytes);

private:
    struct Direction;
    void chunk(Direction &direction, const QByteArray &bytes);
    void writeLine(const QByteArray &line);
    void stop(const QString &why);
    qint64 now() const;

    QFile m_file;
    qint64 m_limit;
    qint64 m_written = 0;
    bool m_stopped = false;
    QElapsedTimer m_clock;
    QString m_route;
    QString m_device;
    std::unique_ptr<Direction> m_sent;
    std::unique_ptr<Direction> m_received;
};

#endif // LINKCAPTURE_H
