#include "frameassembler.h"

#include "linkframe.h"

void FrameAssembler::reset()
{
    m_length = 0;
    m_rxHead1 = 0;
    m_rxHead2 = 0;
    m_body.clear();
    m_crcLow = 0;
    m_crcHigh = 0;
    m_stage = Hunting;
}

void FrameAssembler::takeHead1(quint8 b)
{
    m_rxHead1 = b;
    ++m_stage;
}

void FrameAssembler::takeHead2(quint8 b)
{
    m_rxHead2 = b;
    ++m_stage;
}

void FrameAssembler::takeLength(quint8 b)
{
    m_length = b;
    m_body.clear();
    if (m_body.capacity() < 256)
        m_body.reserve(256);
    ++m_stage;
}

void FrameAssembler::takeBodyByte(quint8 b)
{
    m_body.append(static_cast<char>(b));
    if (m_body.size() == m_length - 2)
        ++m_stage;
}

void FrameAssembler::takeCrcLow(quint8 b)
{
    m_crcLow = b;
    ++m_stage;
}

void FrameAssembler::takeCrcHigh(quint8 b)
{
    m_crcHigh = b;
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
