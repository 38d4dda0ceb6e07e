#pragma once

#include "kermit_receiver.h"
#include "virtual_module.h"
#include "vmodule_config.h"

#include <QByteArray>
#include <QHash>
#include <functional>
#include <vector>

// The module's side of the parameter conversation: the parameter table, the values it holds,
// and the timed behaviour behind DHCP, verification and commit. No I/O here.
class ModuleModel
{
public:
    enum class After
    {
        Nothing,
        EnterTransfer,
        Reboot
    };
    struct Reply
    {
        uint32_t type = 0;
        QByteArray payload;
        After after = After::Nothing;
    };

    explicit ModuleModel(const VmConfig &config);

    // Power-up (first start and every return after a reboot).
    void boot(qint64 nowMs);
    // Answers one well-formed request frame and logs it.
    Reply handle(uint32_t type, const QByteArray &payload, qint64 nowMs, VmRequest &log);
    // A file that arrived by Kermit becomes the image to verify.
    void storeUpload(const KermitReceivedFile &file);
    // What a reboot changes: update state, lock and image gone; a committed image runs.
    void applyReboot(qint64 nowMs);
    void factoryReset();

    // The value a read of this parameter gives now, as text ("" and false when absent).
    // key: an eParamID_ name, or a numeric ID ("0x108", "264").
    bool peek(const QString &key, qint64 nowMs, QString &value);

    bool usesNumericIDs() const { return mNumeric; }
    const VmConfig &config() const { return mConfig; }

private:
    enum class Form
    {
        Int,
        Text
    };
    enum class Role
    {
        Plain,
        ReadOnly,
        SwVersion,
        IpConfig,
        NumActive,
        NamedLease,
        NetCounter,
        NetworkCommand,
        DhcpState,
        NetworkState,
        VerifyState,
        Commit,
        CommitState,
        CommitProgress,
        Reboot,
        VerifyRequest,
        UploadLocation,
        FactoryReset,
    };
    struct Value
    {
        uint32_t i = 0;
        QByteArray t;
    };
    struct Row
    {
        QByteArray name;
        uint32_t id = 0;
        unsigned idAvail = 0;
        unsigned nameAvail = 0;
        Form form = Form::Int;
        Role role = Role::Plain;
        int lan = -1; // interface the parameter belongs to (-1: none)
        int which = 0; // 0 address, 1 mask, 2 gateway for the address rows
        std::function<Value(const VmConfig &)> init;
    };
    struct Dhcp
    {
        bool active = false;
        qint64 startMs = 0;
        bool bound = false;
    };
    struct Addr
    {
        QString ip, mask, gateway;
        QString at(int which) const { return which == 0 ? ip : which == 1 ? mask : gateway; }
    };

    void buildRows();
    void resetValues();
    void forgetUpdate(); // no upload, no verification or commit under way
    int rowById(uint32_t id) const;
    int rowByName(const QByteArray &name) const;
    bool available(const Row &row, bool byId) const;
    Value get(int row, qint64 nowMs);
    // Returns the reply status (0 ok, 2 wrong type).
    uint32_t set(int row, bool isText, uint32_t i, const QByteArray &t, qint64 nowMs, After &after);
    void tick(qint64 nowMs);
    void startDhcp(int lan, qint64 nowMs);
    void applyNetwork(int lan, qint64 nowMs);
    QByteArray dhcpWord(int lan, qint64 nowMs);
    uint32_t networkState(qint64 nowMs);
    uint32_t verifyState(qint64 nowMs) const;
    uint32_t commitRaw(qint64 nowMs) const;
    uint32_t commitState(qint64 nowMs) const;

    Reply paramReply(uint32_t replyType, uint32_t id, int row, uint32_t status, qint64 nowMs);

    VmConfig mConfig;
    bool mNumeric = false;
    std::vector<Row> mRows;
    std::vector<Value> mValues;
    QHash<uint32_t, int> mById;
    QHash<QByteArray, int> mByName;

    QString mSwVersion;
    qint64 mBootMs = 0;
    Dhcp mDhcp[kVmInterfaceCount];
    int mLastDhcpLan = -1;
    Addr mInForce[kVmInterfaceCount];
    Addr mNamedLease;
    bool mHaveUpload = false;
    KermitReceivedFile mUpload;
    qint64 mVerifyStartMs = -1;
    qint64 mCommitStartMs = -1;
    bool mCommitVerified = false;
};
