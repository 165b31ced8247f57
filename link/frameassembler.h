// One link frame under construction; the parser feeds it byte by byte and it
// keeps its stage between blocks, so a frame may arrive in any number of reads.
#ifndef FRAMEASSEMBLER_H
#define FRAMEASSEMBLER_H

#include <QByteArray>
#include <QtGlobal>

class FrameAssembler
{
public:
    enum Stage : quint8 {
        Hunting = 0,
        GotHead1 = 1,
        GotHeads = 2,
        CollectingBody = 3,
        BodyComplete = 4,
        GotCrcLow = 5,
        Complete = 6,
    };

    void reset();
    void takeHead1(quint8 b) { m_rxHead1 = b; ++m_stage; }
    void takeHead2(quint8 b) { m_rxHead2 = b; ++m_stage; }
    void takeLength(quint8 b);
    void takeBodyByte(quint8 b);
    // The same as takeBodyByte for each of count bytes, in one step.
    void takeBodyBytes(const char *bytes, int count);
    void takeCrcLow(quint8 b) { m_crcLow = b; ++m_stage; }
    void takeCrcHigh(quint8 b) { m_crcHigh = b; ++m_stage; }

    quint8 stage() const { return m_stage; }
    quint8 length() const { return m_length; }
    // Body bytes still to come while collecting the body.
    int bodyBytesMissing() const { return m_length - 2 - m_body.size(); }
    QByteArray body() const { return m_body; }
    const QByteArray &bodyRef() const { return m_body; }
    bool isValid() const;

private:
    quint8 m_length = 0;
    quint8 m_rxHead1 = 0;
    quint8 m_rxHead2 = 0;
    QByteArray m_body;
    quint8 m_crcLow = 0;
    quint8 m_crcHigh = 0;
    quint8 m_stage = Hunting;
};

#endif // FRAMEASSEMBLER_H
