#include "frameassembler.h"

#include "linkframe.h"

namespace {
constexpr int kLargestBody = 253; // LEN 255

// Empties the body but keeps its buffer for the next frame.
void emptyBody(QByteArray &body)
{
    if (body.capacity() < kLargestBody)
        body.reserve(kLargestBody);
    if (!body.isEmpty())
        body.resize(0);
}
} // namespace

void FrameAssembler::reset()
{
    m_length = 0;
    m_rxHead1 = 0;
    m_rxHead2 = 0;
    emptyBody(m_body);
    m_crcLow = 0;
    m_crcHigh = 0;
    m_stage = Hunting;
}

void FrameAssembler::takeLength(quint8 b)
{
    m_length = b;
    emptyBody(m_body);
    ++m_stage;
}

void FrameAssembler::takeBodyByte(quint8 b)
{
    m_body.append(static_cast<char>(b));
    if (m_body.size() == m_length - 2)
        ++m_stage;
}

void FrameAssembler::takeBodyBytes(const char *bytes, int count)
{
    const int target = m_length - 2;
    const int before = m_body.size();
    m_body.append(bytes, count);
    if (before < target && m_body.size() >= target)
        ++m_stage;
}

bool FrameAssembler::isValid() const
{
    // The CRC over the whole frame, checksum included, is 0 for an intact frame.
    const quint8 head[3] = {m_rxHead1, m_rxHead2, m_length};
    const quint8 tail[2] = {m_crcLow, m_crcHigh};
    quint16 crc = crc16Modbus(head, 3);
    crc = crc16ModbusUpdate(crc, m_body.constData(), m_body.size());
    return crc16ModbusUpdate(crc, tail, 2) == 0;
}
