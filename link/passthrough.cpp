#include "passthrough.h"

#include "linkframe.h"

namespace
{
quint8 byteAt(const QByteArray &data, int i)
{
    return i < data.size() ? quint8(data.at(i)) : 0;
}
} // namespace

QByteArray PassThrough::wrap(Direction direction, quint8 deviceCode, quint8 id,
                             const QByteArray &payload, quint8 n)
{
    QByteArray inner;
    inner.reserve(PASSTHROUGH_HEADER_SIZE + n);
    inner.append(char(n < 8 ? PASSTHROUGH_KIND_SHORT : PASSTHROUGH_KIND_LONG));
    inner.append(char(direction));
    inner.append(char(deviceCode));
    inner.append(char(id));
    inner.append(char(n));
    inner.append(payload.left(n));
    if (payload.size() < n)
        inner.append(n - payload.size(), '\0');
    return inner;
}

QByteArray PassThrough::forwardFrame(quint8 deviceCode, quint8 id, const QByteArray &payload)
{
    const QByteArray inner = wrap(Direction::ToDevice, deviceCode, id, payload);
    return packLinkFrame(MSG_FC_FORWARD, inner, quint8(inner.size()));
}

QByteArray PassThrough::returnFrame(quint8 deviceCode, quint8 id, const QByteArray &payload)
{
    const QByteArray inner = wrap(Direction::FromDevice, deviceCode, id, payload);
    return packLinkFrame(MSG_FC_RETURN, inner, quint8(inner.size()));
}

bool PassThrough::unwrap(const QByteArray &outer, Direction direction, quint8 deviceCode,
                         Inner *inner)
{
    if (outer.size() < 3)
        return false;
    const quint8 kind = byteAt(outer, 0);
    if ((kind != PASSTHROUGH_KIND_SHORT && kind != PASSTHROUGH_KIND_LONG)
        || byteAt(outer, 1) != quint8(direction) || byteAt(outer, 2) != deviceCode)
        return false;
    inner->id = byteAt(outer, 3);
    inner->len = byteAt(outer, 4);
    inner->data = outer.mid(PASSTHROUGH_HEADER_SIZE, inner->len);
    return true;
}
