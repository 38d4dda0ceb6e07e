#pragma once

// Shared between the Kermit packet layer and the sender; not part of the public interface.

#include <QLoggingCategory>
#include <cstdint>

Q_DECLARE_LOGGING_CATEGORY(lcKermit)

// Printable encoding of a small number (0..94) and back, modulo 256.
inline uint8_t kermitToChar(int x)
{
    return uint8_t(x + 32);
}

inline int kermitUnChar(int c)
{
    return (c - 32) & 0xFF;
}
