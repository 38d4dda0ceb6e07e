#pragma once

#include <QString>
#include <cstdint>

// Byte transport over one module's serial port. Ports are addressed by their
// index in the list built by EnumeratePorts; the index stays valid until the
// next enumeration.
class CSerialIF
{
public:
    // Why the last OpenSerialPort failed, so callers can tell "no permission" or "busy"
    // apart from "no module" without knowing the platform's port class.
    enum class OpenError
    {
        None,
        NoSuchPort,
        PermissionDenied,
        Busy,
        Other
    };

    virtual ~CSerialIF() = default;

    virtual void EnumeratePorts() = 0;
    virtual bool OpenSerialPort(int index) = 0;
    virtual bool CloseSerialPort() = 0;
    virtual bool IsOpen() = 0;
    virtual int GetNumPorts() = 0;
    virtual int GetPortNumber(int index)
    {
        (void)index;
        return 0;
    }
    // Returns the number of bytes read: 0 after a time-out, an error, or with no port open.
    virtual uint32_t Read(uint8_t *buffer, uint32_t length) = 0;
    // Reads up to length bytes, waiting at most maxWaitMs for the first of them (0: only what
    // is already waiting); returns as soon as some arrived, with their count, else 0. Callers
    // that need more read again, so a wait never outlasts the caller's own deadline.
    // Ports override this; the default can only ask Read for one byte, which bounds the
    // overrun to the port's own wait for a single byte.
    virtual uint32_t ReadWithin(uint8_t *buffer, uint32_t length, int maxWaitMs)
    {
        (void)maxWaitMs;
        return length ? Read(buffer, 1) : 0;
    }
    // True only when every byte was written; *written receives the count the system reported.
    virtual bool Write(const uint8_t *buffer, uint32_t length, uint32_t *written) = 0;
    virtual void FlushInput() = 0;

    virtual OpenError LastOpenError() const { return OpenError::None; }
    // The device path of a port index, for messages ("" when unknown).
    virtual QString PortPath(int index) const
    {
        (void)index;
        return QString();
    }
};
