// Fuzz target for the link parser. The input is cut into blocks (its first
// bytes say how) and fed to COMPROTOCOL::receive, optionally from inside the
// COMRxCmd slot; the records must be exactly those of a plain reference
// decoder that takes bytes one at a time from the front of its buffer.
//
// Input: byte 0 = flags (bits 0-3: count K of block sizes that follow, bit 4:
// feed the next block from inside the slot on each record, bit 5: also build
// a frame from the stream's first bytes, bit 6: wrap the stream into frames
// with correct checksums first), then K block sizes (0 = an empty block, used
// in turn), then the stream. K = 0 feeds the stream in one block.
//
// Wrapping reads the stream as pieces: a byte t, then t % 254 body bytes that
// become one frame (LEN = t % 254 + 2); t = 0xFF instead copies one byte as is.
#include "comprotocol.h"
#include "linkframe.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <deque>
#include <functional>
#include <vector>

namespace {

struct Record {
    int id;
    int len;
    std::vector<uint8_t> data;
    bool operator==(const Record &o) const { return id == o.id && len == o.len && data == o.data; }
};

uint16_t bitwiseCrc(const std::vector<uint8_t> &bytes)
{
    uint16_t crc = 0xFFFF;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

bool g_refDispatching = false;

// The frame rules written out the plain way: one byte at a time from the
// front of the buffer, the frame kept as a list of bytes.
class ReferenceParser
{
public:
    std::function<void(const Record &)> onRecord;

    void receive(const std::vector<uint8_t> &block)
    {
        buffer.insert(buffer.end(), block.begin(), block.end());
        while (!buffer.empty()) {
            const uint8_t b = buffer.front();
            switch (stage) {
            case 0:
                if (b == 0xAB) {
                    frame = {b};
                    stage = 1;
                } else {
                    reset();
                }
                break;
            case 1:
                if (b == 0x0E) {
                    frame.push_back(b);
                    stage = 2;
                } else {
                    reset();
                }
                break;
            case 2:
                if (b <= 2) { // no frame has such a LEN: give up on it
                    reset();
                } else {
                    frame.push_back(b);
                    stage = 3;
                }
                break;
            case 3:
                frame.push_back(b);
                if (int(frame.size()) - 3 == frame[2] - 2)
                    stage = 4;
                break;
            case 4:
            case 5:
                frame.push_back(b);
                ++stage;
                break;
            default: // 6: left to the check below
                break;
            }
            if (stage == 6) {
                if (bitwiseCrc(frame) == 0 && !g_refDispatching) {
                    g_refDispatching = true;
                    dispatch(std::vector<uint8_t>(frame.begin() + 3, frame.end() - 2));
                    g_refDispatching = false;
                }
                reset();
            }
            if (!buffer.empty())
                buffer.pop_front();
        }
    }

private:
    void reset()
    {
        frame.clear();
        stage = 0;
    }

    void dispatch(const std::vector<uint8_t> &body)
    {
        int r = int(body.size());
        size_t p = 0;
        for (;;) {
            const int id = p < body.size() ? body[p] : 0;
            const int n = p + 1 < body.size() ? body[p + 1] : 0;
            if (n + 2 > r)
                return;
            onRecord(Record{
                id, n,
                std::vector<uint8_t>(body.begin() + long(p) + 2, body.begin() + long(p) + 2 + n)});
            r -= n + 2;
            p += size_t(n) + 2;
            if (r <= 2)
                return;
        }
    }

    std::deque<uint8_t> buffer;
    std::vector<uint8_t> frame;
    int stage = 0;
};

std::vector<uint8_t> wrapIntoFrames(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> out;
    for (size_t pos = 0; pos < size;) {
        const uint8_t t = data[pos++];
        if (t == 0xFF) {
            if (pos < size)
                out.push_back(data[pos++]);
            continue;
        }
        size_t bodySize = t % 254;
        if (bodySize > size - pos)
            bodySize = size - pos;
        std::vector<uint8_t> frame = {0xAB, 0x0E, uint8_t(bodySize + 2)};
        frame.insert(frame.end(), data + pos, data + pos + bodySize);
        pos += bodySize;
        const uint16_t crc = bitwiseCrc(frame);
        frame.push_back(uint8_t(crc & 0xFF));
        frame.push_back(uint8_t(crc >> 8));
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "link fuzz: %s\n", what);
    std::abort();
}

// The frame builder: any payload, n up to 251; the frame carries exactly n
// payload bytes (missing ones as zeros) and decodes back to its message.
void checkPackFrame(const uint8_t *data, size_t size)
{
    if (size < 2)
        return;
    const uint8_t id = data[0];
    const size_t n = data[1] % 252;
    const std::vector<uint8_t> given(data + 2, data + size);
    std::vector<uint8_t> payload(given.begin(), given.begin() + long(std::min(n, given.size())));
    payload.resize(n, 0);

    COMPROTOCOL builder;
    const QByteArray frame = builder.packFrame(
        id, QByteArray(reinterpret_cast<const char *>(given.data()), int(given.size())),
        uint8_t(n));
    const std::vector<uint8_t> bytes(frame.begin(), frame.end());
    if (bytes.size() != n + 7 || bitwiseCrc(bytes) != 0 || bytes[2] != n + 4 || bytes[3] != id ||
        bytes[4] != n || !std::equal(payload.begin(), payload.end(), bytes.begin() + 5))
        fail("packFrame built a wrong frame");

    ReferenceParser ref;
    std::vector<Record> records;
    ref.onRecord = [&records](const Record &r) { records.push_back(r); };
    ref.receive(bytes);
    if (records.size() != 1 || records[0].id != id || records[0].data != payload)
        fail("a built frame did not decode to its message");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    const size_t sizeCount = flags & 0x0F;
    const bool feedInside = (flags & 0x10) != 0;
    if (size < 1 + sizeCount)
        return 0;
    const uint8_t *sizes = data + 1;
    const uint8_t *input = data + 1 + sizeCount;
    const size_t inputSize = size - 1 - sizeCount;

    if (flags & 0x20)
        checkPackFrame(input, inputSize);

    std::vector<uint8_t> wrapped;
    if (flags & 0x40)
        wrapped = wrapIntoFrames(input, inputSize);
    const uint8_t *stream = (flags & 0x40) ? wrapped.data() : input;
    const size_t streamSize = (flags & 0x40) ? wrapped.size() : inputSize;

    std::vector<std::vector<uint8_t>> blocks;
    size_t emptyInARow = 0;
    for (size_t pos = 0, i = 0; pos < streamSize;) {
        size_t take = sizeCount == 0 ? streamSize : sizes[i++ % sizeCount];
        if (take == 0 && ++emptyInARow > sizeCount)
            take = streamSize; // every size is 0: the rest in one block
        if (take > streamSize - pos)
            take = streamSize - pos;
        if (take != 0)
            emptyInARow = 0;
        blocks.emplace_back(stream + pos, stream + pos + take);
        pos += take;
    }

    // The real parser.
    std::vector<Record> got;
    {
        COMPROTOCOL parser;
        size_t next = 0;
        QObject::connect(&parser, &COMPROTOCOL::COMRxCmd, [&](tNKLinkData *d) {
            if (d->data.size() != d->len)
                fail("record data does not hold len bytes");
            got.push_back(
                Record{d->id, d->len, std::vector<uint8_t>(d->data.begin(), d->data.end())});
            if (feedInside && next < blocks.size()) {
                const std::vector<uint8_t> &b = blocks[next++];
                parser.receive(QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size())));
            }
        });
        while (next < blocks.size()) {
            const std::vector<uint8_t> &b = blocks[next++];
            parser.receive(QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size())));
        }
    }

    // The reference, driven the same way.
    std::vector<Record> expected;
    {
        ReferenceParser ref;
        size_t next = 0;
        ref.onRecord = [&](const Record &r) {
            expected.push_back(r);
            if (feedInside && next < blocks.size())
                ref.receive(blocks[next++]);
        };
        while (next < blocks.size())
            ref.receive(blocks[next++]);
    }

    if (!(got == expected))
        fail("records differ from the reference decoder");
    return 0;
}
