#pragma once

#include "comm_protocol.h"

#include <QString>
#include <cstdint>
#include <vector>

class CCmdEngine;
class QSettings;

// Base of the device models: only keeps the engine the model was read through.
class CDeviceIF
{
public:
    explicit CDeviceIF(CCmdEngine *cmdEngine)
        : mCmdEngine(cmdEngine)
    { }
    virtual ~CDeviceIF() = default;

    CCmdEngine *CmdEngine() const { return mCmdEngine; }

protected:
    CCmdEngine *mCmdEngine;
};

// What was last read of one network interface of the module.
struct TrivoInterface
{
    uint32_t addressType = 0; // 0 not read yet, 1 DHCP, 2 static
    QString ipAddress;
    QString gateway;
    QString subnetMask;
    bool upnpEnabled = false;
    QString macAddress;
    bool networkConnected = false;
    QString speedActual; // media LANs only
};

// Which of the optional status values a read takes.
struct StatusReadOptions
{
    bool upnp = false; // models with interface-state parameters
    bool speed[3] = { false, false, false }; // per interface; only pages that show it
    // After this many ms of reading, the pass stops and the next call goes on where it
    // stopped (-1: the whole pass at once). Keeps a slow module from blocking the caller.
    int budgetMs = -1;
};

// How a status read ended.
struct StatusReadResult
{
    bool changed = false; // a value read differs from the model's
    // The read that ended the pass early (eResultDisconnected or eResultTimeout), else eResultOK.
    eResult_t stopResult = eResultOK;
    int stopPoint = 0; // where it ended: 1 name, 10 * (interface + 1) + n, 99 authentication
    bool complete = false; // the pass reached its last read
};

// Device model of the connected module: one record per interface
// (index = CCmdEngine::eNetIf_t), authentication state and system name.
class CTrivo : public CDeviceIF
{
public:
    CTrivo(CCmdEngine *cmdEngine, int mediaLanCount);
    ~CTrivo() override;

    // Reads name, every interface's state and authentication into the model, or the next
    // part of that pass within options.budgetMs. Values read successfully replace the
    // model's; a module that went away or a read that timed out ends the pass at once, and
    // the next call starts a new one.
    StatusReadResult ReadStatus(const StatusReadOptions &options);
    int StatusReadCount() const; // reads in a whole pass

    // Device setup file hooks: nothing of the model is kept there.
    virtual bool Save(QSettings &settings);
    virtual bool Load(QSettings &settings);

    int mInterfaceCount;
    std::vector<TrivoInterface> mInterfaces;
    bool mAuthenticationEnabled = false;
    QString mSystemName;

private:
    // Read number step of a pass into the model; false when it ended the pass.
    bool readOne(int step, const StatusReadOptions &options, StatusReadResult &result);
    int mNextRead = 0;
};
