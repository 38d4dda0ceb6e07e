#pragma once

#include <QByteArray>
#include <QString>
#include <zlib.h>

// Frames as a module sends them, built independently of the code under test: zlib supplies
// the CRC. Users link ZLIB::ZLIB.
namespace wire {

inline QByteArray be32(quint32 v)
{
    const char b[4] = { char(v >> 24), char(v >> 16), char(v >> 8), char(v) };
    return QByteArray(b, 4);
}

inline quint32 zcrc(const QByteArray &bytes)
{
    return quint32(
        crc32(0L, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

inline QByteArray withNul(const QString &text)
{
    return text.toUtf8() + QByteArray(1, '\0');
}

// The length field is sent when the payload is not empty or when 'forceLength' is set (types
// whose length field is mandatory); the CRC always covers the full 8-byte header.
inline QByteArray frame(const QByteArray &type, const QByteArray &payload, bool forceLength = false)
{
    const QByteArray header = type.left(4) + be32(quint32(payload.size()));
    const QByteArray crc = be32(zcrc(header + payload));
    return forceLength || !payload.isEmpty() ? header + payload + crc : type.left(4) + crc;
}

// A "PIDC" reply carrying an integer value.
inline QByteArray pidcInt(quint32 id, quint32 status, quint32 value)
{
    return frame("PIDC", be32(id) + be32(status) + be32(0) + be32(value));
}

} // namespace wire
