#pragma once

#include "serial_if.h"

#include <QByteArray>
#include <QStringList>
#include <functional>

// In-memory CSerialIF for unit tests: scripted input, captured output and an
// optional responder that answers each write. With nothing to read, Read pauses
// emptyReadDelayMs and ReadWithin its whole wait, as a silent line would; time-outs
// measured by the caller stay real.
class FakeSerialIF : public CSerialIF
{
public:
    // Called with the bytes of each Write; returns bytes to queue as input.
    using Responder = std::function<QByteArray(const QByteArray &written)>;

    explicit FakeSerialIF(int numPorts = 1)
        : mNumPorts(numPorts)
    { }

    void EnumeratePorts() override { ++enumerateCalls; }
    bool OpenSerialPort(int index) override;
    bool CloseSerialPort() override;
    bool IsOpen() override { return mOpen; }
    int GetNumPorts() override { return mNumPorts; }
    int GetPortNumber(int index) override { return index; }
    uint32_t Read(uint8_t *buffer, uint32_t length) override;
    uint32_t ReadWithin(uint8_t *buffer, uint32_t length, int maxWaitMs) override;
    bool Write(const uint8_t *buffer, uint32_t length, uint32_t *written) override;
    void FlushInput() override;

    // Test controls.
    void queueInput(const QByteArray &bytes) { input.append(bytes); }
    void setResponder(Responder r) { responder = std::move(r); }
    void setOpen(bool open) { mOpen = open; }
    void setNumPorts(int n) { mNumPorts = n; }

    QByteArray input; // bytes waiting to be read
    QByteArray output; // everything written
    QList<QByteArray> writes; // each Write call's bytes
    Responder responder;
    int emptyReadDelayMs = 1; // pause of a read that finds nothing
    int maxReadChunk = 0; // >0: deliver at most this many bytes per read
    int disconnectAfterReadBytes = -1; // >=0: port closes at the read after this many bytes
    int shortWriteAfterBytes = -1; // >=0: a write past this total is cut short and closes
    bool flushDiscardsInput = true; // FlushInput empties 'input'
    int flushCalls = 0;
    int enumerateCalls = 0;
    int openIndex = -1;
    qint64 totalRead = 0;

private:
    // Bytes for one read; -1 when nothing is waiting (or the port is closed).
    int take(uint8_t *buffer, uint32_t length);

    bool mOpen = true;
    int mNumPorts;
};
