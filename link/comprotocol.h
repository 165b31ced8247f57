// The link parser and frame builder: turns the received byte stream into
// decoded sub-records (signal COMRxCmd) and builds one frame per message.
#ifndef COMPROTOCOL_H
#define COMPROTOCOL_H

#include "frameassembler.h"
#include "linkframe.h"

#include <QObject>

class COMPROTOCOL : public QObject
{
    Q_OBJECT
public:
    explicit COMPROTOCOL(QObject *parent = nullptr);
    ~COMPROTOCOL() override;

    // Feeds one block of received bytes; emits COMRxCmd synchronously once per
    // sub-record of every verified frame completed by this block.
    void receive(const QByteArray &bytes);

    // One frame with a single sub-record: head1 head2 n+4 id n payload crcLo crcHi.
    QByteArray packFrame(quint8 id, const QByteArray &payload, quint8 n) const;

    quint8 head1 = 0xAB;
    quint8 head2 = 0x0E;

signals:
    void COMRxCmd(tNKLinkData *NKdata);

private:
    void dispatch(const FrameAssembler &frame);

    QByteArray rxBuffer;
    int rxPos = 0; // next unconsumed byte of rxBuffer
    bool dispatchingHere = false; // this parser is inside dispatch()
    FrameAssembler assembler;
    tNKLinkData record;
};

#endif // COMPROTOCOL_H
