// The serial transport against a real pty pair: the line settings it gives
// the device, the bytes it writes, received bytes handed on in order (in
// slices, so a flood never holds the event loop, and an answer after a flood
// still arrives), bytes left from before the open dropped, and a device that
// cannot be opened or has been closed.
#include "linkpeers.h"
#include "serialtransport.h"
#include "testpaths.h"

#include <QSignalSpy>
#include <QtTest>

#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace LinkPeers;

class TestSerialTransport : public QObject
{
    Q_OBJECT

private slots:
    void lineSettingsAndBytesWritten();
    void receivedBytesReachParser_data();
    void receivedBytesReachParser();
    void floodArrivesInSlices();
    void answerAfterFlood();
    void bytesWaitingBeforeOpenDiscarded();
    void missingDeviceDoesNotOpen();
    void closeLetsDeviceGo();
};

void TestSerialTransport::lineSettingsAndBytesWritten()
{
    PeerLine line;
    QVERIFY(line.start());
    SerialPeer &peer = line.peer;
    // A descriptor of the program's end, opened first, reads the settings
    // the transport gives the line.
    const int fd =
        ::open(line.device().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);

    SerialTransport transport(line.device());
    QVERIFY2(transport.open(), qPrintable(transport.errorString()));
    QVERIFY(transport.isOpen());
    QCOMPARE(transport.errorString(), QString());

    termios tio{};
    QCOMPARE(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    QCOMPARE(cfgetospeed(&tio), speed_t(B115200));
    QCOMPARE(cfgetispeed(&tio), speed_t(B115200));
    QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
    QVERIFY(!(tio.c_cflag & PARENB));
    QVERIFY(!(tio.c_cflag & CSTOPB));

    // Bytes go out as given, at once, whatever they hold.
    const QByteArray bytes = hex("AB0E05E20100D16B") + hex("00FF0A0D11135B5F");
    QVERIFY(transport.send(bytes));
    QTRY_COMPARE_WITH_TIMEOUT(peer.received.toHex(' '), bytes.toHex(' '), WaitMs);
}

void TestSerialTransport::receivedBytesReachParser_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("expected");

    const QByteArray a = frame(0x42, hex("0A0B0C"));
    const QByteArray b = frame(0x43, QByteArray());
    QTest::newRow("frame in two reads")
        << QByteArrayList{a.left(3), a.mid(3)} << QByteArrayList{record(0x42, hex("0A0B0C"))};
    QByteArrayList bytes;
    for (char c : a)
        bytes.append(QByteArray(1, c));
    QTest::newRow("frame byte by byte") << bytes << QByteArrayList{record(0x42, hex("0A0B0C"))};
    QTest::newRow("two frames across three reads")
        << QByteArrayList{hex("0055") + a.left(6), a.mid(6) + b.left(2), b.mid(2)}
        << QByteArrayList{record(0x42, hex("0A0B0C")), record(0x43, QByteArray())};
}

void TestSerialTransport::receivedBytesReachParser()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, expected);

    PeerLine line;
    QVERIFY(line.start());
    SerialPeer &peer = line.peer;
    SerialTransport transport(line.device());
    QVERIFY(transport.open());
    HandedOn handedOn(&transport, &Transport::received, HandedOn::Decode);

    QByteArray sent;
    for (const QByteArray &chunk : chunks) {
        peer.send(chunk);
        sent += chunk;
        // Each chunk is handed on before the next one is written.
        QTRY_COMPARE_WITH_TIMEOUT(handedOn.size(), sent.size(), WaitMs);
    }
    QCOMPARE(handedOn.bytes(), sent);
    QTRY_COMPARE_WITH_TIMEOUT(handedOn.records(), expected, WaitMs);
}

void TestSerialTransport::floodArrivesInSlices()
{
    PeerLine line;
    QVERIFY(line.start());
    SerialPeer &peer = line.peer;
    SerialTransport transport(line.device());
    QVERIFY(transport.open());

    QByteArray flood;
    for (int i = 0; flood.size() < 64 * 1024; ++i)
        flood += frame(0x42, QByteArray(1, char(i)) + QByteArray(30, char(i >> 8)));
    HandedOn handedOn(&transport, &Transport::received);
    peer.port.write(flood);
    QTRY_COMPARE_WITH_TIMEOUT(handedOn.size(), flood.size(), 10 * WaitMs);
    QVERIFY(handedOn.bytes() == flood);
    // No turn of the event loop takes more than one slice.
    int largest = 0;
    for (const QByteArray &chunk : handedOn.chunks)
        largest = qMax(largest, chunk.size());
    QVERIFY2(largest <= 4096, qPrintable(QString::number(largest)));
}

// A flood of random bytes far larger than any buffer on the way, then an
// answer: every byte is handed on, the answer last, and the parser decodes it.
void TestSerialTransport::answerAfterFlood()
{
    PeerLine line;
    QVERIFY(line.start());
    SerialPeer &peer = line.peer;
    SerialTransport transport(line.device());
    QVERIFY(transport.open());
    HandedOn handedOn(&transport, &Transport::received, HandedOn::Decode);

    QRandomGenerator random(21);
    QByteArray flood(512 * 1024, Qt::Uninitialized);
    for (char &c : flood)
        c = char(random.bounded(256));
    // Zeros after the flood end any frame its random bytes seemed to start.
    const QByteArray answer = filler(300) + frame(0x77, hex("0102"));
    peer.port.write(flood + answer);
    QTRY_COMPARE_WITH_TIMEOUT(handedOn.size(), flood.size() + answer.size(), 10 * WaitMs);
    QVERIFY(handedOn.bytes() == flood + answer);
    QTRY_VERIFY_WITH_TIMEOUT(handedOn.records().contains(record(0x77, hex("0102"))), WaitMs);
}

// Bytes the device sent before the link was opened (a late answer to a
// command of an earlier run) are not handed on; bytes sent after it are.
void TestSerialTransport::bytesWaitingBeforeOpenDiscarded()
{
    PeerLine line;
    QVERIFY(line.start());
    SerialPeer &peer = line.peer;
    // A descriptor of the program's end holds the line open, so the bytes wait
    // in its input until the transport opens it.
    const int fd =
        ::open(line.device().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    const QByteArray stale = frame(0x45, hex("02")) + frame(0x46, hex("03"));
    peer.send(stale);
    int waiting = 0;
    QTRY_VERIFY_WITH_TIMEOUT((::ioctl(fd, FIONREAD, &waiting), waiting == stale.size()), WaitMs);

    SerialTransport transport(line.device());
    HandedOn handedOn(&transport, &Transport::received);
    QVERIFY(transport.open());
    ::close(fd);
    const QByteArray fresh = frame(0x47, hex("04"));
    peer.send(fresh);
    QTRY_COMPARE_WITH_TIMEOUT(handedOn.size(), fresh.size(), WaitMs);
    QCOMPARE(handedOn.bytes().toHex(' '), fresh.toHex(' '));
}

void TestSerialTransport::missingDeviceDoesNotOpen()
{
    SerialTransport transport(QStringLiteral("/dev/tovrin-no-such-port"));
    QVERIFY(!transport.open());
    QVERIFY(!transport.isOpen());
    QVERIFY(!transport.errorString().isEmpty());
    QVERIFY(!transport.send(hex("AB0E05E20100D16B")));
}

void TestSerialTransport::closeLetsDeviceGo()
{
    PeerLine line;
    QVERIFY(line.start());
    SerialPeer &peer = line.peer;
    SerialTransport transport(line.device());
    QVERIFY(transport.open());
    transport.close();
    QVERIFY(!transport.isOpen());
    QVERIFY(!transport.send(hex("AB0E05E20100D16B")));
    {
        QSerialPort other(line.device());
        QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    }
    // Nothing was written, and bytes sent to a closed transport go nowhere.
    QSignalSpy received(&transport, &Transport::received);
    peer.send(frame(0x42, hex("01")));
    QTest::qWait(100);
    QCOMPARE(received.count(), 0);
    QVERIFY(peer.received.isEmpty());
}

QTEST_MAIN(TestSerialTransport)
#include "tst_serialtransport.moc"
