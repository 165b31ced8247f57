// Bytes of the conversation with the module, built independently of the
// program: frames, pass-through wrapping in both directions, port records and
// the requests a whole read or write puts on the link.
#ifndef LINKBYTES_H
#define LINKBYTES_H

#include "linkframe.h"
#include "passthrough.h"
#include "testbytes.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QMetaType>
#include <QtEndian>

// How the program reaches the module.
enum class Route { Direct, FlightController, GroundStation };
Q_DECLARE_METATYPE(Route)

namespace LinkBytes
{

using TestBytes::byte;
using TestBytes::frame;
using TestBytes::frameOf;
using TestBytes::hex;
using TestBytes::message;

// A command wrapped for the flight controller, as the program sends it.
inline QByteArray forward(quint8 device, quint8 id, const QByteArray &payload)
{
    return PassThrough::forwardFrame(device, id, payload);
}

// A module reply unwrapped by the flight controller; kind and declared inner
// length can be forced to make malformed replies.
inline QByteArray returned(quint8 device, quint8 id, const QByteArray &payload, int kind = -1,
                           int declaredLength = -1)
{
    QByteArray inner = PassThrough::wrap(PassThrough::Direction::FromDevice, device, id, payload);
    if (kind >= 0)
        inner[0] = char(kind);
    if (declaredLength >= 0)
        inner[4] = char(declaredLength);
    return frame(MSG_FC_RETURN, inner);
}

inline quint8 deviceCode(bool r7)
{
    return r7 ? DEVICE_R7 : DEVICE_TOVRIN;
}

inline int portsOf(bool r7)
{
    return r7 ? 6 : 5;
}

// A request as it travels on the route: bare on the direct link, wrapped otherwise.
inline QByteArray request(Route route, bool r7, quint8 id, const QByteArray &payload)
{
    return route == Route::Direct ? frame(id, payload) : forward(deviceCode(r7), id, payload);
}

inline QByteArray uart(quint32 baud, int parity, int dataBits, int stopBits, int level, int rx,
                       int tx)
{
    QByteArray baudBytes(4, '\0');
    qToLittleEndian(baud, reinterpret_cast<uchar *>(baudBytes.data()));
    return byte(0) + baudBytes + byte(parity) + byte(dataBits) + byte(stopBits) + byte(level) +
           byte(rx) + byte(tx);
}

inline QByteArray can(quint32 rate, int rx, int tx)
{
    QByteArray rateBytes(4, '\0');
    qToLittleEndian(rate, reinterpret_cast<uchar *>(rateBytes.data()));
    return byte(1) + rateBytes + QByteArray(4, '\0') + byte(rx) + byte(tx);
}

// The record the simulator holds when given no records, and the record of a
// freshly built UART card: 57600 8N1, RS-232, the first protocols.
inline QByteArray defaultRecord()
{
    return uart(57600, 0, 0, 0, 0, 0, 0);
}

// Records unlike the defaults in every field a card shows. Tovrin ports 3
// and 5 (indexes 2 and 4) offer CAN, the level of a Tovrin card is hidden but
// still carried; in R7 function mode five UART ports come before the
// CAN-only one.
inline QByteArrayList sampleRecords(bool r7)
{
    if (r7)
        return {uart(230400, 1, 0, 1, 1, 0x10, 0x10), uart(4800, 0, 1, 0, 0, 0x11, 1),
                uart(921600, 2, 0, 0, 1, 2, 0x12),    uart(19200, 0, 0, 1, 0, 0x14, 0),
                uart(460800, 1, 1, 1, 1, 1, 0x13),    can(1000000, 0x10, 0x11)};
    return {uart(115200, 1, 0, 0, 1, 0x10, 0x11), uart(9600, 2, 1, 1, 0, 1, 2),
            can(500000, 0x12, 0), uart(38400, 0, 0, 0, 0, 2, 0x10), can(666666, 0, 0x13)};
}

// What freshly built cards give: UART defaults, and CAN at 666.666 kbit/s on
// the CAN-only port of R7 function mode.
inline QByteArrayList cardDefaults(bool r7)
{
    QByteArrayList records;
    for (int i = 0; i < 5; ++i)
        records.append(defaultRecord());
    if (r7)
        records.append(can(666666, 0, 0));
    return records;
}

inline QByteArray join(const QByteArrayList &records)
{
    QByteArray all;
    for (const QByteArray &r : records)
        all += r;
    return all;
}

// Every request of an open: the version query, then the read it chains into.
inline QByteArrayList readRequests(Route route, bool r7)
{
    QByteArrayList requests{request(route, r7, MSG_VERSION, byte(0))};
    if (route == Route::Direct) {
        requests.append(frame(MSG_READ_ALL, byte(0)));
        return requests;
    }
    for (int i = 0; i < portsOf(r7); ++i)
        requests.append(request(route, r7, MSG_READ_PORT, byte(i)));
    return requests;
}

// Every request of a write of the given records.
inline QByteArrayList writeRequests(Route route, bool r7, const QByteArrayList &records)
{
    if (route == Route::Direct)
        return {frame(MSG_WRITE_ALL, join(records))};
    QByteArrayList requests;
    for (int i = 0; i < records.size(); ++i)
        requests.append(request(route, r7, MSG_WRITE_PORT, byte(i) + records.at(i)));
    return requests;
}

} // namespace LinkBytes

#endif // LINKBYTES_H
