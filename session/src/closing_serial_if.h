#pragma once

#include "serial_if.h"

#include <atomic>
#include <memory>

// Wraps the engine's serial interface so that a probe or exchange running on a worker
// ends promptly once the window is closing: the port then reads as gone, which every
// exchange already treats as an unplugged module. Without this, probing a silent port
// holds a worker for several seconds, longer than the owner waits for it at close.
class ClosingSerialIF : public CSerialIF
{
public:
    ClosingSerialIF(CSerialIF *inner, const std::atomic<bool> *closing)
        : mInner(inner)
        , mClosing(closing)
    { }

    CSerialIF *Inner() const { return mInner.get(); }

    void EnumeratePorts() override { mInner->EnumeratePorts(); }
    bool OpenSerialPort(int index) override { return !closing() && mInner->OpenSerialPort(index); }
    bool CloseSerialPort() override { return mInner->CloseSerialPort(); }
    bool IsOpen() override { return !closing() && mInner->IsOpen(); }
    int GetNumPorts() override { return mInner->GetNumPorts(); }
    int GetPortNumber(int index) override { return mInner->GetPortNumber(index); }
    uint32_t Read(uint8_t *buffer, uint32_t length) override
    {
        return closing() ? 0 : mInner->Read(buffer, length);
    }
    bool Write(const uint8_t *buffer, uint32_t length, uint32_t *written) override
    {
        if (closing()) {
            if (written)
                *written = 0;
            return false;
        }
        return mInner->Write(buffer, length, written);
    }
    void FlushInput() override
    {
        if (!closing())
            mInner->FlushInput();
    }
    OpenError LastOpenError() const override { return mInner->LastOpenError(); }
    QString PortPath(int index) const override { return mInner->PortPath(index); }

private:
    bool closing() const { return mClosing && mClosing->load(); }

    std::unique_ptr<CSerialIF> mInner;
    const std::atomic<bool> *mClosing;
};
