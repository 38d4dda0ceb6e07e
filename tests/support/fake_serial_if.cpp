#include "fake_serial_if.h"

#include <QThread>
#include <algorithm>
#include <cstring>

bool FakeSerialIF::OpenSerialPort(int index)
{
    if (index < 0 || index >= mNumPorts)
        return false;
    mOpen = true;
    openIndex = index;
    return true;
}

bool FakeSerialIF::CloseSerialPort()
{
    if (!mOpen)
        return false;
    mOpen = false;
    return true;
}

int FakeSerialIF::take(uint8_t *buffer, uint32_t length)
{
    if (mOpen && disconnectAfterReadBytes >= 0 && totalRead >= disconnectAfterReadBytes)
        mOpen = false;
    if (!mOpen || input.isEmpty())
        return -1;
    qint64 n = std::min<qint64>(length, input.size());
    if (maxReadChunk > 0)
        n = std::min<qint64>(n, maxReadChunk);
    if (disconnectAfterReadBytes >= 0)
        n = std::min<qint64>(n, disconnectAfterReadBytes - totalRead);
    std::memcpy(buffer, input.constData(), size_t(n));
    input.remove(0, n);
    totalRead += n;
    return int(n);
}

uint32_t FakeSerialIF::Read(uint8_t *buffer, uint32_t length)
{
    const int n = take(buffer, length);
    if (n < 0 && mOpen && emptyReadDelayMs > 0)
        QThread::msleep(emptyReadDelayMs);
    return uint32_t(std::max(n, 0));
}

uint32_t FakeSerialIF::ReadWithin(uint8_t *buffer, uint32_t length, int maxWaitMs)
{
    const int n = take(buffer, length);
    if (n < 0 && mOpen && maxWaitMs > 0)
        QThread::msleep(maxWaitMs);
    return uint32_t(std::max(n, 0));
}

bool FakeSerialIF::Write(const uint8_t *buffer, uint32_t length, uint32_t *written)
{
    if (!mOpen)
        return false;
    uint32_t n = length;
    if (shortWriteAfterBytes >= 0 && output.size() + qint64(length) > shortWriteAfterBytes)
        n = uint32_t(std::max<qint64>(0, shortWriteAfterBytes - output.size()));
    const QByteArray bytes(reinterpret_cast<const char *>(buffer), int(n));
    output.append(bytes);
    writes.append(bytes);
    if (written)
        *written = n;
    if (n != length) {
        mOpen = false;
        return false;
    }
    if (responder)
        input.append(responder(bytes));
    return true;
}

void FakeSerialIF::FlushInput()
{
    ++flushCalls;
    if (mOpen && flushDiscardsInput)
        input.clear();
}
