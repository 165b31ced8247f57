#include "comprotocol.h"

COMPROTOCOL::COMPROTOCOL(QObject *parent) : QObject(parent)
{
    record.data.reserve(255);
    qRegisterMetaType<tNKLinkData *>("tNKLinkData*");
}

COMPROTOCOL::~COMPROTOCOL() = default;

void COMPROTOCOL::receive(const QByteArray &bytes)
{
    if (dispatchingHere) {
        // Fed from a slot while this parser splits a frame: these bytes and
        // the rest of the block in hand can only complete frames that are
        // dropped, and the assembler is reset once the dispatch ends, so they
        // are all consumed at once without disturbing the frame being split.
        rxBuffer.clear();
        rxPos = 0;
        return;
    }
    rxBuffer.append(bytes);
    // The staging buffer is walked by index (rxPos) rather than shifted byte by
    // byte, so a block costs time in proportion to its size; the result is the
    // same as taking bytes one at a time from the front.
    while (rxPos < rxBuffer.size()) {
        const char *data = rxBuffer.constData();
        const quint8 b = static_cast<quint8>(data[rxPos]);
        switch (assembler.stage()) {
        case FrameAssembler::Hunting:
            if (b == head1)
                assembler.takeHead1(b);
            else
                assembler.reset();
            break;
        case FrameAssembler::GotHead1:
            if (b == head2)
                assembler.takeHead2(b);
            else
                assembler.reset();
            break;
        case FrameAssembler::GotHeads:
            // LEN 0 and 1 can never complete a body and LEN 2 would only
            // complete after 256 bytes: abandon such a frame at once.
            if (b <= 2)
                assembler.reset();
            else
                assembler.takeLength(b);
            break;
        case FrameAssembler::CollectingBody: {
            // Body bytes decide nothing, so all that are here are taken at
            // once; the last of them is consumed below like any other byte.
            const int count = qMin(assembler.bodyBytesMissing(), rxBuffer.size() - rxPos);
            assembler.takeBodyBytes(data + rxPos, count);
            rxPos += count - 1;
            break;
        }
        case FrameAssembler::BodyComplete:
            assembler.takeCrcLow(b);
            break;
        case FrameAssembler::GotCrcLow:
            assembler.takeCrcHigh(b);
            break;
        default:
            assembler.reset();
            break;
        }
        if (assembler.stage() == FrameAssembler::Complete) {
            if (assembler.isValid()) {
                dispatchingHere = true;
                dispatch(assembler);
                dispatchingHere = false;
            }
            assembler.reset();
        }
        ++rxPos;
    }
    rxBuffer.clear();
    rxPos = 0;
}

void COMPROTOCOL::dispatch(const FrameAssembler &frame)
{
    const QByteArray &body = frame.bodyRef();
    const auto *bytes = reinterpret_cast<const quint8 *>(body.constData());
    const int bodySize = body.size();
    int remaining = frame.length() - 2;
    int p = 0;
    for (;;) {
        const quint8 id = p < bodySize ? bytes[p] : 0;
        const quint8 n = p + 1 < bodySize ? bytes[p + 1] : 0;
        if (n + 2 > remaining)
            return;
        record.id = id;
        record.len = n;
        // Filled in place: the record's buffer is reused unless a receiver
        // kept a copy of it, in which case it is detached first.
        record.data.resize(0);
        record.data.append(body.constData() + p + 2, n);
        emit COMRxCmd(&record);
        remaining -= n + 2;
        p += n + 2;
        if (remaining <= 2)
            return;
    }
}

QByteArray COMPROTOCOL::packFrame(quint8 id, const QByteArray &payload, quint8 n) const
{
    return packLinkFrame(id, payload, n, head1, head2);
}
