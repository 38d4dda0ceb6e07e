#pragma once

#include "serial_if.h"

#include <QString>
#include <QStringList>
#include <functional>

// CSerialIF over a POSIX terminal device (USB ACM/serial adapters, pseudo-terminals).
//
// Line settings: raw, 38400 baud, 8-N-1. The port is held exclusively (TIOCEXCL and
// flock), so neither another program nor a second instance can open it meanwhile.
// A hang-up or I/O error on read or write closes the port, so IsOpen() turns false
// as soon as the device goes away.
class CPosixSerialIF : public CSerialIF
{
public:
    // Produces the candidate device paths; the default one lists USB serial
    // devices with the modules' vendor/product IDs plus any extra ports.
    // Returning false means the system could not give the list (numbered-port fallback).
    using PortLister = std::function<bool(QStringList &paths)>;

    CPosixSerialIF();
    ~CPosixSerialIF() override;

    void EnumeratePorts() override;
    bool OpenSerialPort(int index) override;
    bool CloseSerialPort() override;
    bool IsOpen() override;
    int GetNumPorts() override;
    int GetPortNumber(int index) override;
    uint32_t Read(uint8_t *buffer, uint32_t length) override;
    // Bounded by maxWaitMs in either time-out mode.
    uint32_t ReadWithin(uint8_t *buffer, uint32_t length, int maxWaitMs) override;
    bool Write(const uint8_t *buffer, uint32_t length, uint32_t *written) override;
    void FlushInput() override;

    void SetTimeoutMode(bool bounded);

    // Not part of CSerialIF: for the platform layer, tests and tools.
    void SetPortLister(PortLister lister);
    void SetPortList(const QStringList &paths); // replaces the list directly (no enumeration)
    QStringList PortList() const { return mPortList; }
    QString PortPath(int index) const override; // "" when none
    QString OpenPortPath() const { return mOpenPath; }
    bool OpenDevicePath(const QString &path); // open a path that is not in the list
    OpenError LastOpenError() const override { return mLastOpenError; }
    int LastOpenErrno() const { return mLastOpenErrno; }
    bool EnumerationFailed() const { return mEnumerationFailed; }

    // Numbered-port fallback after a failed enumeration: index n is this path.
    static QString NumberedPortPath(int index);

private:
    bool openPath(const QString &path);
    void handleDeviceGone();
    // One poll() of at most waitMs (-1: no limit) and one read(): the count read, 0 when
    // nothing came, -1 when the device went away.
    int readSome(uint8_t *buffer, uint32_t length, qint64 waitMs);

    int mFd = -1;
    bool mBoundedTimeouts = true;
    QStringList mPortList;
    bool mEnumerationFailed = false;
    PortLister mLister;
    QString mOpenPath;
    OpenError mLastOpenError = OpenError::None;
    int mLastOpenErrno = 0;
};
