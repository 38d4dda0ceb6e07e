#pragma once

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

// What the window last read of one network interface of the module.
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

// Device model of the connected module: one record per interface
// (index = CCmdEngine::eNetIf_t), authentication state and system name.
class CTrivo : public CDeviceIF
{
public:
    CTrivo(CCmdEngine *cmdEngine, int mediaLanCount);
    ~CTrivo() override;

    // Device setup file hooks: nothing of the model is kept there.
    virtual bool Save(QSettings &settings);
    virtual bool Load(QSettings &settings);

    int mInterfaceCount;
    std::vector<TrivoInterface> mInterfaces;
    bool mAuthenticationEnabled = false;
    QString mSystemName;
};
