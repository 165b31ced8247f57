// Pass-through rules of the flight controller's relay, written once for the
// program, the simulator and the tests: a command for the module travels
// inside MSG_FC_FORWARD, its answer inside MSG_FC_RETURN, each behind a
// five-byte header (kind, direction, device code, inner id, inner length).
#ifndef PASSTHROUGH_H
#define PASSTHROUGH_H

#include "linkframe.h"

#include <QByteArray>

namespace PassThrough
{

enum class Direction : quint8 { ToDevice = PASSTHROUGH_TO_DEVICE, FromDevice = PASSTHROUGH_FROM_DEVICE };

// The inner payload: header, then the first n bytes of payload (zero-padded).
// Kind F0 for n below 8, F1 from 8.
QByteArray wrap(Direction direction, quint8 deviceCode, quint8 id, const QByteArray &payload,
                quint8 n);
inline QByteArray wrap(Direction direction, quint8 deviceCode, quint8 id,
                       const QByteArray &payload)
{
    return wrap(direction, deviceCode, id, payload, quint8(payload.size()));
}

// A whole MSG_FC_FORWARD frame carrying a command for the module.
QByteArray forwardFrame(quint8 deviceCode, quint8 id, const QByteArray &payload);
// A whole MSG_FC_RETURN frame carrying an answer of the module.
QByteArray returnFrame(quint8 deviceCode, quint8 id, const QByteArray &payload);

struct Inner {
    quint8 id = 0;
    quint8 len = 0;       // as the header declares it
    QByteArray data;      // at most len bytes: what the frame really carries
    bool complete() const { return data.size() == len; }
};

// Checks a pass-through payload (the data of an MSG_FC_FORWARD or
// MSG_FC_RETURN record): at least the kind, direction and device bytes, kind
// F0 or F1, the given direction and device code. A missing id or length
// counts as 0. Returns false, leaving *inner alone, when a check fails.
bool unwrap(const QByteArray &outer, Direction direction, quint8 deviceCode, Inner *inner);

} // namespace PassThrough

#endif // PASSTHROUGH_H
