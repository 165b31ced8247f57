#include "portrecord.h"

const QVector<quint32> &PortRecord::uartBaudRates()
{
    static const QVector<quint32> rates{2400,  4800,   9600,   19200,  38400,
                                        57600, 115200, 230400, 460800, 921600};
    return rates;
}

const QVector<quint32> &PortRecord::canBitRates()
{
    static const QVector<quint32> rates{666666, 1000000, 500000};
    return rates;
}

int PortRecord::canRatePosition(quint32 rate)
{
    return canBitRates().indexOf(rate);
}

quint32 PortRecord::canRateAt(int position)
{
    return position >= 0 && position < canBitRates().size() ? canBitRates().at(position) : 0;
}

int PortRecord::protocolCode(int position)
{
    if (position < 0 || position > MaxProtocolPosition)
        return -1;
    return position <= 2 ? position : position + 13;
}

int PortRecord::protocolPosition(qint8 code)
{
    return code > 2 ? code - 13 : code;
}

quint32 PortRecord::readRate(const QByteArray &record)
{
    quint32 rate = 0;
    for (int i = 3; i >= 0; --i)
        rate = (rate << 8) | quint8(record.at(RateOffset + i));
    return rate;
}

void PortRecord::appendRate(QByteArray &record, quint32 rate)
{
    for (int i = 0; i < 4; ++i)
        record.append(char((rate >> (8 * i)) & 0xFF));
}

PortRecord::PortRecord(const QByteArray &bytes) : data(bytes) {}

PortRecord PortRecord::encode(const PortSettings &settings)
{
    QByteArray record;
    record.reserve(Size);
    record.append(char(settings.kind));
    appendRate(record, settings.baud);
    if (settings.kind == Uart) {
        if ((settings.dataBits != 8 && settings.dataBits != 9) ||
            (settings.stopBits != 1 && settings.stopBits != 2))
            return PortRecord();
        record.append(char(settings.parity));
        record.append(char(settings.dataBits - 8));
        record.append(char(settings.stopBits - 1));
        record.append(char(settings.level));
    } else {
        record.append(4, char(0));
    }
    record.append(char(settings.receiveCode));
    record.append(char(settings.sendCode));
    return PortRecord(record);
}

PortRecord::Refusal PortRecord::refusal(const PortTraits &port) const
{
    if (!isValid())
        return Refusal::WrongLength;
    switch (kind()) {
    case Uart:
        if (!port.uartOffered)
            return Refusal::UartNotOffered;
        return uartBaudRates().contains(rate()) ? Refusal::None : Refusal::UartRateNotListed;
    case Can:
        if (!port.canOffered)
            return Refusal::CanNotOffered;
        return canRatePosition(rate()) >= 0 ? Refusal::None : Refusal::CanRateNotListed;
    default:
        return Refusal::UnknownKind;
    }
}
