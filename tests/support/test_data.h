#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>
#include <cstdint>

// Payloads and files for the transfer tests.

inline QByteArray sha256Hex(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

inline bool writeTestFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// Incompressible bytes with long runs mixed in (repeat counts) and every byte value.
inline QByteArray testPayload(int size, uint32_t seed)
{
    QByteArray out;
    out.reserve(size);
    uint32_t x = seed | 1;
    while (out.size() < size) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        if ((x & 0xFC) == 0)
            out.append(int(x >> 8) % 200 + 1, char(x >> 24));
        else
            out.append(char(x >> 16));
    }
    out.truncate(size);
    return out;
}
