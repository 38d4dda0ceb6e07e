#pragma once

#include <QByteArray>
#include <zlib.h>

// Frames built independently of the code under test: zlib supplies the CRC.
namespace ptest {

inline QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    b[0] = char(v >> 24);
    b[1] = char(v >> 16);
    b[2] = char(v >> 8);
    b[3] = char(v);
    return b;
}

inline quint32 zcrc(const QByteArray &bytes)
{
    return quint32(
        crc32(0L, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

// A frame as the far end sends it. The length field is present when the payload is not empty
// or when 'forceLength' is set (types whose length field is mandatory).
inline QByteArray wireFrame(
    const QByteArray &type, const QByteArray &payload, bool forceLength = false)
{
    const bool hasLength = forceLength || !payload.isEmpty();
    const QByteArray header = type.left(4) + be32(quint32(payload.size()));
    const QByteArray crc = be32(zcrc(header + payload));
    return hasLength ? header + payload + crc : type.left(4) + crc;
}

} // namespace ptest
