#pragma once

#include "comm_protocol.h"
#include "product_id.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>

class CSerialIF;
class CAppIF;

// Receives error reports for the engine's users; the engine itself never calls it.
class CErrorReportIF
{
public:
    virtual ~CErrorReportIF() = default;
    virtual void ReportError(QString message) = 0;
};

// Result of ConnectModule.
enum eConnectResult_t
{
    eConnectOK = 0,
    eConnectWrongModule = 1,
    eConnectUnsupportedModule = 2,
    eConnectError = 3,
    eConnectError2 = 4,
    eConnectProtocolMismatch = 5,
    eConnectUnknownDevice = 6,
};

// The conversation with one module over its serial port.
class CCmdEngine : public QObject, public CProgressIF
{
    Q_OBJECT

public:
    // Fixed underlying type: values outside the enumerators reach the engine (they are
    // passed through to the module) and must be representable.
    enum eNetIf_t : int
    {
        eNetIfControl = 0,
        eNetIfMedia = 1,
        eNetIfMedia2 = 2,
    };

    // Takes ownership of serialIF. closing (may be null) is the owner's closing flag;
    // once it is set every wait for the module ends within a moment (writes still go out,
    // so an upload can tell the module it stopped).
    CCmdEngine(CSerialIF *serialIF, CErrorReportIF *errorReport, CAppIF *appIF, uint32_t boardID,
        QObject *parent = nullptr, const std::atomic<bool> *closing = nullptr);
    ~CCmdEngine() override;

    // Identification and connection.
    bool IsModule();
    eConnectResult_t ConnectModule();
    eResult_t NegotiateProtocolVersion();
    eResult_t GetModuleProductID(QString &productID);

    // Parameter primitives.
    eResult_t GetIntParamByID(uint32_t id, uint32_t &value);
    eResult_t GetIntParamByName(const QString &name, uint32_t &value);
    eResult_t GetStringParamByID(uint32_t id, QString &text);
    eResult_t GetStringParamByName(const QString &name, QString &text);
    eResult_t GetStringParam(uint32_t id, QString &text);
    eResult_t GetNetworkDottedIPParamByName(const QString &name, QString &text);
    eResult_t SetIntParamByID(uint32_t id, uint32_t value);
    eResult_t SetIntParamByName(const QString &name, int32_t value);
    eResult_t SetStringParamByID(uint32_t id, const QString &text, QString *answer = nullptr);
    eResult_t SetStringParamByName(const QString &name, const QString &text, QString &answer);

    // Module queries and network configuration.
    eResult_t GetModuleName(QString &name);
    eResult_t SetModuleName(const QString &name, QString &answer);
    eResult_t GetModuleSerialNumber(QString &serial);
    eResult_t GetModuleSWVersion(QString &version);
    eResult_t GetModuleSafebootVersion(QString &version);
    eResult_t GetModuleBootloaderVersion(QString &version);
    eResult_t GetModulePCBRevision(uint32_t &revision);
    eResult_t GetModuleSafebootMode(uint32_t &mode);
    eResult_t GetModuleIdle(bool &idle);
    eResult_t GetModuleAuthenticationEnabled(bool &enabled);
    eResult_t SetModuleAuthenticationEnabled(bool enabled);
    eResult_t ResetModulePassword();
    eResult_t GetModuleIpState(eNetIf_t netIf, uint32_t &mode);
    eResult_t SetModuleIpState(eNetIf_t netIf, uint32_t mode);
    eResult_t GetModuleIpAddress(eNetIf_t netIf, QString &text, bool dhcpSet);
    eResult_t GetModuleSubnetMask(eNetIf_t netIf, QString &text, bool dhcpSet);
    eResult_t GetModuleGateway(eNetIf_t netIf, QString &text, bool dhcpSet);
    eResult_t GetModuleIpAddressActive(eNetIf_t netIf, QString &text);
    eResult_t GetModuleSubnetMaskActive(eNetIf_t netIf, QString &text);
    eResult_t GetModuleGatewayActive(eNetIf_t netIf, QString &text);
    eResult_t GetModuleMACAddress(eNetIf_t netIf, QString &text);
    eResult_t GetModuleSpeedActual(eNetIf_t netIf, QString &text);
    eResult_t GetModuleNetworkConnected(eNetIf_t netIf, bool &connected);
    eResult_t GetModuleUPnPEnabled(eNetIf_t netIf, bool &enabled);
    eResult_t SetModuleUPnPEnabled(eNetIf_t netIf, bool enabled);
    eResult_t GetModuleDHCPNegotiationRunning(
        eNetIf_t netIf, bool &running, bool &bound, bool &networkRootWarning);
    eResult_t SetModuleNetworkConfiguration(
        eNetIf_t netIf, QString ip, QString mask, QString gateway, QString speed);

    // Update and maintenance commands.
    eResult_t GetModuleUpdateState(uint32_t &state);
    eResult_t SetModuleUpdateState(uint32_t state);
    eResult_t RequestFileVerification(QString path);
    eResult_t GetVerificationState(uint32_t &state);
    eResult_t CommitFirmware();
    eResult_t GetCommitState(uint32_t &state);
    eResult_t GetCommitProgress(uint32_t &percent);
    eResult_t RebootModule(uint32_t value);
    eResult_t GetUpdateLock(uint32_t &lock);
    eResult_t SetUpdateLock(uint32_t lock);
    eResult_t GetUploadLocation(QString &location);
    eResult_t FactoryReset();

    // File upload (Kermit over the same port).
    bool UploadFile(QString path);

    // CProgressIF: written by a worker, read by the window's thread.
    void SetProgress(float fraction) override;
    float GetProgress() override;

    // Accessors.
    uint32_t GetBoardID() const { return mBoardID; }
    bool IsConnected() const { return mConnected; }
    void SetConnected(bool connected) { mConnected = connected; }
    const CProductFeatures &GetProductFeatures() const { return mProductFeatures; }
    CSerialIF *GetSerialIF() const { return mSerialIF; }
    CAppIF *GetAppIF() const { return mAppIF; }
    CErrorReportIF *GetErrorReport() const { return mErrorReport; }
    CCommProtocol &GetCommProtocol() { return mCommProtocol; }

    static bool IsKnownBoardID(uint32_t boardID);

    // Times a thread began an exchange or upload while another thread's was still running.
    // The engine has no lock, so this must stay 0; each such start is also logged as a
    // warning containing "used by two threads at once".
    int OverlapCount() const { return mOverlaps.load(); }

    // How ConnectModule turns a product ID into a board ID; tests substitute their own
    // to reach board IDs the tables never give.
    using ProductLookup = uint32_t (*)(const QString &productID);
    void SetProductLookup(ProductLookup lookup) { mProductLookup = lookup; }

public slots:
    void DebugCommandProtocol(QString message, QString messageTxt);

private:
    // Marks the engine in use by the calling thread for its lifetime, counting overlaps.
    class UseScope
    {
    public:
        explicit UseScope(CCmdEngine &engine);
        ~UseScope();
        UseScope(const UseScope &) = delete;
        UseScope &operator=(const UseScope &) = delete;

    private:
        CCmdEngine &mEngine;
        bool mOwned = false;
    };

    // One request/response: sends pkt (and frees it), then receives the reply into value.
    eResult_t Exchange(pkt_t &pkt, QString &value, uint32_t expectedParamID);
    // The reads: by ID ("PGID", "PGST"; the reply must name that ID) or by name ("PGNM").
    // value is written only on success.
    eResult_t ReadByID(uint32_t type, uint32_t id, QString &value);
    eResult_t ReadByName(const QString &name, QString &value);
    // The three address kinds share one implementation each for reads and active reads.
    eResult_t GetModuleAddress(int kind, eNetIf_t netIf, QString &text, bool dhcpSet);
    eResult_t GetModuleAddressActive(int kind, eNetIf_t netIf, QString &text);
    eResult_t SetModuleAddress(int kind, eNetIf_t netIf, const QString &text);

    CSerialIF *mSerialIF;
    CErrorReportIF *mErrorReport;
    CAppIF *mAppIF;
    CCommProtocol mCommProtocol;
    uint32_t mBoardID;
    CProductFeatures mProductFeatures;
    std::atomic<bool> mConnected { false }; // read by workers waiting for a reconnection
    std::atomic<float> mProgress { 0.0f };
    std::atomic<Qt::HANDLE> mUser { nullptr }; // thread inside an exchange or upload
    std::atomic<int> mOverlaps { 0 };
    QString mCommandLog;
    QString mMessageLog;
    bool mLoggingEnabled = false;
    ProductLookup mProductLookup = &CProductID::GetBoardIDFromProductID;
};

Q_DECLARE_METATYPE(CCmdEngine::eNetIf_t)
