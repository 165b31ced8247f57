// The frame under construction: stage progression byte by byte, the checksum
// test over the whole frame, and reset.
#include "frameassembler.h"
#include "linkexamples.h"

#include <QtTest>

namespace {

// Drives the assembler through one frame with the operation each stage calls for.
void feedFrame(FrameAssembler &a, const QByteArray &frame, QVector<int> *stages = nullptr)
{
    for (char c : frame) {
        const auto b = static_cast<quint8>(c);
        switch (a.stage()) {
        case FrameAssembler::Hunting: a.takeHead1(b); break;
        case FrameAssembler::GotHead1: a.takeHead2(b); break;
        case FrameAssembler::GotHeads: a.takeLength(b); break;
        case FrameAssembler::CollectingBody: a.takeBodyByte(b); break;
        case FrameAssembler::BodyComplete: a.takeCrcLow(b); break;
        case FrameAssembler::GotCrcLow: a.takeCrcHigh(b); break;
        default: QFAIL("byte fed to a complete frame");
        }
        if (stages)
            stages->append(a.stage());
    }
}

} // namespace

class TestFrameAssembler : public QObject
{
    Q_OBJECT
private slots:
    void completesExampleFrames_data();
    void completesExampleFrames();
    void anyChangedByteInvalidates_data();
    void anyChangedByteInvalidates();
    void bodyInPiecesLikeByteByByte_data();
    void bodyInPiecesLikeByteByByte();
    void resetClearsEverything();
};

void TestFrameAssembler::completesExampleFrames_data()
{
    QTest::addColumn<QByteArray>("frame");
    for (const LinkExample &e : linkExamples())
        QTest::newRow(e.name) << e.frame;
}

void TestFrameAssembler::completesExampleFrames()
{
    QFETCH(QByteArray, frame);
    const int bodySize = frame.size() - 5;

    QVector<int> expected = {1, 2, 3};
    for (int i = 1; i < bodySize; ++i)
        expected.append(3);
    expected << 4 << 5 << 6;

    FrameAssembler a;
    QCOMPARE(int(a.stage()), 0);
    QVector<int> stages;
    feedFrame(a, frame, &stages);
    QCOMPARE(stages, expected);
    QCOMPARE(int(a.length()), frame.size() - 3);
    QCOMPARE(a.body(), frame.mid(3, bodySize));
    QVERIFY(a.isValid());
}

void TestFrameAssembler::anyChangedByteInvalidates_data()
{
    completesExampleFrames_data();
}

void TestFrameAssembler::anyChangedByteInvalidates()
{
    QFETCH(QByteArray, frame);
    // Start bytes and LEN are part of the check too; LEN is left alone here
    // because changing it changes where the frame ends.
    for (int i = 0; i < frame.size(); ++i) {
        if (i == 2)
            continue;
        QByteArray broken = frame;
        broken[i] = static_cast<char>(broken.at(i) ^ 0x40);
        FrameAssembler a;
        feedFrame(a, broken);
        QCOMPARE(int(a.stage()), int(FrameAssembler::Complete));
        QVERIFY2(!a.isValid(), qPrintable(QStringLiteral("byte %1").arg(i)));
    }
}

void TestFrameAssembler::bodyInPiecesLikeByteByByte_data()
{
    completesExampleFrames_data();
}

void TestFrameAssembler::bodyInPiecesLikeByteByByte()
{
    QFETCH(QByteArray, frame);
    const QByteArray body = frame.mid(3, frame.size() - 5);
    for (int piece = 1; piece <= body.size() + 3; ++piece) {
        FrameAssembler bytewise;
        FrameAssembler piecewise;
        for (FrameAssembler *a : {&bytewise, &piecewise}) {
            a->takeHead1(0xAB);
            a->takeHead2(0x0E);
            a->takeLength(quint8(frame.at(2)));
        }
        // Pieces may run past the body's end, as bytes may.
        const QByteArray fed = body + hex("0102");
        for (int pos = 0; pos < fed.size(); pos += piece) {
            const QByteArray chunk = fed.mid(pos, piece);
            piecewise.takeBodyBytes(chunk.constData(), chunk.size());
            for (char c : chunk)
                bytewise.takeBodyByte(quint8(c));
            QCOMPARE(piecewise.stage(), bytewise.stage());
            QCOMPARE(piecewise.body(), bytewise.body());
        }
        QCOMPARE(int(piecewise.stage()), int(FrameAssembler::BodyComplete));
    }
}

void TestFrameAssembler::resetClearsEverything()
{
    FrameAssembler a;
    feedFrame(a, linkExamples().at(4).frame);
    const QByteArray body = a.body();
    a.reset();
    QCOMPARE(int(a.stage()), 0);
    QCOMPARE(int(a.length()), 0);
    QVERIFY(a.body().isEmpty());
    QVERIFY(!a.isValid());
    // body() handed out a copy that outlives the reset.
    QCOMPARE(body, linkExamples().at(4).frame.mid(3, 19));
}

QTEST_GUILESS_MAIN(TestFrameAssembler)
#include "tst_frameassembler.moc"
