// Parser and checksum throughput on a stream shaped like real traffic: the
// commands and replies of both links, garbage between frames, a few broken ones.
#include "comprotocol.h"
#include "linkframe.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>
#include <QVector>

namespace {

QByteArray bytesFrom(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

QByteArray records(int count, QRandomGenerator &rng)
{
    QByteArray bytes(count * PORT_RECORD_SIZE, Qt::Uninitialized);
    for (char &c : bytes)
        c = static_cast<char>(rng.bounded(256));
    return bytes;
}

QByteArray passThrough(quint8 direction, quint8 innerId, const QByteArray &inner)
{
    const quint8 kind = inner.size() >= 8 ? PASSTHROUGH_KIND_LONG : PASSTHROUGH_KIND_SHORT;
    return bytesFrom({kind, direction, DEVICE_TOVRIN, innerId, int(inner.size())}) + inner;
}

struct Traffic {
    QByteArray stream;
    qint64 recordsPerPass = 0;
};

// About 4 MiB of traffic; it ends on a frame boundary so it can be fed round and round.
const Traffic &traffic()
{
    static const Traffic t = [] {
        Traffic out;
        COMPROTOCOL builder;
        QRandomGenerator rng(4242);
        QVector<QByteArray> messages; // id byte followed by the payload
        const auto add = [&](quint8 id, const QByteArray &payload) {
            messages.append(QByteArray(1, static_cast<char>(id)) + payload);
        };
        add(MSG_VERSION, bytesFrom({0x00}));
        add(MSG_VERSION, bytesFrom({DEVICE_TOVRIN, 1, 1, 60}));
        add(MSG_READ_ALL, bytesFrom({0x00}));
        add(MSG_READ_ALL, records(5, rng));
        add(MSG_READ_ALL, records(6, rng));
        add(MSG_WRITE_ALL, records(5, rng));
        add(MSG_WRITE_ALL, bytesFrom({0x00}));
        add(MSG_FC_FORWARD, passThrough(PASSTHROUGH_TO_DEVICE, MSG_READ_PORT, bytesFrom({2})));
        add(MSG_FC_RETURN,
            passThrough(PASSTHROUGH_FROM_DEVICE, MSG_READ_PORT, bytesFrom({2}) + records(1, rng)));
        add(MSG_FC_FORWARD,
            passThrough(PASSTHROUGH_TO_DEVICE, MSG_WRITE_PORT, bytesFrom({3}) + records(1, rng)));
        add(MSG_FC_RETURN, passThrough(PASSTHROUGH_FROM_DEVICE, MSG_WRITE_PORT, bytesFrom({3})));
        add(MSG_FC_FORWARD, passThrough(PASSTHROUGH_TO_DEVICE, MSG_VERSION, bytesFrom({0})));

        while (out.stream.size() < 4 * 1024 * 1024) {
            // Line noise: never a start byte, so the next frame starts clean.
            const int noise = int(rng.bounded(8));
            for (int i = 0; i < noise; ++i)
                out.stream.append(static_cast<char>(rng.bounded(0xAB)));
            const QByteArray &m = messages.at(int(rng.bounded(messages.size())));
            QByteArray frame = builder.packFrame(quint8(m.at(0)), m.mid(1), quint8(m.size() - 1));
            if (rng.bounded(50) == 0)
                frame[frame.size() - 1] = static_cast<char>(frame.at(frame.size() - 1) ^ 0x10);
            else
                ++out.recordsPerPass;
            out.stream += frame;
        }
        return out;
    }();
    return t;
}

void BM_ParserStream(benchmark::State &state)
{
    const Traffic &t = traffic();
    const int blockSize = int(state.range(0));
    QVector<QByteArray> blocks;
    for (int pos = 0; pos < t.stream.size(); pos += blockSize)
        blocks.append(t.stream.mid(pos, blockSize));

    COMPROTOCOL parser;
    qint64 records = 0;
    QObject::connect(&parser, &COMPROTOCOL::COMRxCmd, [&records](tNKLinkData *d) {
        benchmark::DoNotOptimize(d->data.constData());
        ++records;
    });

    qint64 bytes = 0;
    int next = 0;
    for (auto _ : state) {
        const QByteArray &block = blocks.at(next);
        parser.receive(block);
        bytes += block.size();
        if (++next == blocks.size())
            next = 0;
    }
    state.SetBytesProcessed(bytes);
    state.counters["records"] = benchmark::Counter(double(records), benchmark::Counter::kIsRate);
    if (bytes >= t.stream.size() && records == 0)
        state.SkipWithError("no record decoded");
}
BENCHMARK(BM_ParserStream)
    ->Arg(64)
    ->Arg(512)
    ->Arg(64 * 1024)
    ->Arg(1024 * 1024)
    ->Unit(benchmark::kMicrosecond);

void BM_Crc16Modbus(benchmark::State &state)
{
    const QByteArray data = traffic().stream.left(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(crc16Modbus(data.constData(), data.size()));
    state.SetBytesProcessed(qint64(state.iterations()) * data.size());
}
BENCHMARK(BM_Crc16Modbus)->Arg(64)->Arg(512)->Arg(64 * 1024);

} // namespace

BENCHMARK_MAIN();
