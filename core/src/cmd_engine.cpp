#include "cmd_engine.h"

#include "app_if.h"
#include "engine_logging.h"
#include "serial_if.h"

#include <QHostAddress>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

Q_LOGGING_CATEGORY(lcEngine, "trivo.engine", QtInfoMsg)

const char *engineSourceName(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

void logEngineError(
    eResult_t code, const QString &subject, const char *operation, const char *file, int line)
{
    qCDebug(lcEngine).noquote() << "Got error code" << int(code)
                                << CCommProtocol::enumToString(code) << "for" << subject << "in"
                                << operation << "() at" << engineSourceName(file) << line;
}

namespace {

// IDs whose absence is normal on some products (the media LANs' UPnP switches).
constexpr uint32_t kSilentParamIDs[] = { 0x3D, 0x97 };
constexpr int kNegotiationAttempts = 3;

// Integer values travel as decimal text; anything that is not a number reads as 0.
uint32_t parseUnsigned(const QString &text)
{
    bool ok = false;
    const uint32_t v = text.toUInt(&ok, 10);
    return ok ? v : 0;
}

QByteArray withNul(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.append('\0');
    return bytes;
}

const uint8_t *bytesOf(const QByteArray &bytes)
{
    return reinterpret_cast<const uint8_t *>(bytes.constData());
}

QString hexID(uint32_t id)
{
    return QStringLiteral("0x%1").arg(id, 8, 16, QLatin1Char('0'));
}

} // namespace

CCmdEngine::CCmdEngine(CSerialIF *serialIF, CErrorReportIF *errorReport, CAppIF *appIF,
    uint32_t boardID, QObject *parent, const std::atomic<bool> *closing)
    : QObject(parent)
    , mSerialIF(serialIF)
    , mErrorReport(errorReport)
    , mAppIF(appIF)
    , mCommProtocol(serialIF, this, closing)
    , mBoardID(boardID)
{
    static std::once_flag metaTypeOnce;
    std::call_once(
        metaTypeOnce, [] { qRegisterMetaType<CCmdEngine::eNetIf_t>("CCmdEngine::eNetIf_t"); });

    connect(
        &mCommProtocol, &CCommProtocol::CommandProtocol, this, &CCmdEngine::DebugCommandProtocol);
    if (mAppIF)
        mAppIF->NotifyModuleTypeChanged();
}

CCmdEngine::~CCmdEngine()
{
    delete mSerialIF;
}

bool CCmdEngine::IsKnownBoardID(uint32_t boardID)
{
    return CProductID::HasDevicePage(boardID);
}

void CCmdEngine::SetProgress(float fraction)
{
    mProgress.store(fraction);
}

float CCmdEngine::GetProgress()
{
    return mProgress.load();
}

void CCmdEngine::DebugCommandProtocol(QString message, QString messageTxt)
{
    if (!mLoggingEnabled)
        return;
    mCommandLog.append(message);
    mMessageLog.append(messageTxt);
}

CCmdEngine::UseScope::UseScope(CCmdEngine &engine)
    : mEngine(engine)
{
    const Qt::HANDLE self = QThread::currentThreadId();
    Qt::HANDLE user = nullptr;
    if (mEngine.mUser.compare_exchange_strong(user, self)) {
        mOwned = true;
    } else if (user != self) {
        ++mEngine.mOverlaps;
        qCWarning(lcEngine).noquote() << "CCmdEngine used by two threads at once";
    }
}

CCmdEngine::UseScope::~UseScope()
{
    if (mOwned)
        mEngine.mUser.store(nullptr);
}

eResult_t CCmdEngine::Exchange(pkt_t &pkt, QString &value, uint32_t expectedParamID)
{
    const UseScope inUse(*this);
    const uint32_t type = pkt.type;
    mCommProtocol.sendPkt(&pkt);
    return mCommProtocol.recvPkt(type, value, expectedParamID);
}

eResult_t CCmdEngine::NegotiateProtocolVersion()
{
    try {
        eResult_t rc = eResultUnknownError;
        for (int attempt = 0; attempt < kNegotiationAttempts; ++attempt) {
            if (attempt > 0)
                qCDebug(lcEngine).noquote()
                    << "CCmdEngine::NegotiateProtocolVersion" << __LINE__ << "retry" << attempt;
            pkt_t pkt;
            mCommProtocol.makePktWord(&pkt, PktType("HWDY"), uint32_t(kHighestProtocolVersion));
            QString version;
            rc = Exchange(pkt, version, kWildcardParamID);
            if (rc != eResultOK) {
                ENGINE_LOG_ERROR(rc, QStringLiteral("_commProtocol.recvPkt()"),
                    "CCmdEngine::NegotiateProtocolVersion");
                continue;
            }
            mCommProtocol.setProtocolVersion(parseUnsigned(version));
            return eResultOK;
        }
        return rc;
    } catch (...) {
        fprintf(stderr, "%s:%d: caught exception\n", engineSourceName(__FILE__), __LINE__);
        return eResultUnknownError;
    }
}

bool CCmdEngine::IsModule()
{
    if (mConnected) {
        qCDebug(lcEngine).noquote()
            << "CCmdEngine::IsModule" << __LINE__ << "Connected, returning true";
        return true;
    }
    if (NegotiateProtocolVersion() == eResultOK) {
        qCDebug(lcEngine).noquote() << "CCmdEngine::IsModule" << __LINE__
                                    << "NegotiateProtocolVersion() succeeded, returning true";
        return true;
    }
    qCDebug(lcEngine).noquote() << "CCmdEngine::IsModule" << __LINE__
                                << "NegotiateProtocolVersion() failed, returning false";
    return false;
}

eConnectResult_t CCmdEngine::ConnectModule()
{
    if (!IsModule())
        return eConnectError;

    QString productID;
    if (GetModuleProductID(productID) != eResultOK)
        return eConnectError;

    const uint32_t boardID = mProductLookup(productID);
    if (boardID == kBoardIdUninitialised) {
        qCDebug(lcEngine).noquote()
            << "Module type " << hexID(boardID)
            << "indicates unitialized data. Check source code of CProductID for missing support.";
        mBoardID = boardID;
        mConnected = false;
        return eConnectUnsupportedModule;
    }
    if (IsKnownBoardID(boardID)) {
        mBoardID = boardID;
    } else {
        qCDebug(lcEngine).noquote()
            << hexID(boardID) << "is not known, setting to undefined product.";
        mBoardID = kBoardIdUnknown;
    }

    // Reading the name proves that parameter access works; the name itself is not kept.
    QString name;
    if (GetModuleName(name) != eResultOK)
        qCDebug(lcEngine).noquote() << "Could not get name from module";

    mConnected = true;
    if (mAppIF) {
        mAppIF->NotifyModuleTypeChanged();
        mAppIF->NotifyNewConnection();
    }
    return eConnectOK;
}

eResult_t CCmdEngine::GetModuleProductID(QString &productID)
{
    // Version-1 firmware only ever ran on the USB hub, which cannot answer "HURU".
    if (mCommProtocol.getProtocolVersion() == 1) {
        productID = QStringLiteral("USBHUB");
        return eResultOK;
    }
    pkt_t pkt;
    mCommProtocol.makeEmptyPkt(&pkt, PktType("HURU"));
    QString value;
    const eResult_t rc = Exchange(pkt, value, kWildcardParamID);
    if (rc == eResultOK)
        productID = value;
    return rc;
}

eResult_t CCmdEngine::ReadByID(uint32_t type, uint32_t id, QString &value)
{
    pkt_t pkt;
    mCommProtocol.makePktWord(&pkt, type, id);
    QString text;
    const eResult_t rc = Exchange(pkt, text, id);
    if (rc == eResultOK)
        value = text;
    return rc;
}

eResult_t CCmdEngine::ReadByName(const QString &name, QString &value)
{
    const QByteArray nameBytes = withNul(name);
    pkt_t pkt;
    mCommProtocol.makePktBytes(
        &pkt, PktType("PGNM"), uint32_t(nameBytes.size()), bytesOf(nameBytes));
    QString text;
    const eResult_t rc = Exchange(pkt, text, kWildcardParamID);
    if (rc == eResultOK)
        value = text;
    return rc;
}

eResult_t CCmdEngine::GetIntParamByID(uint32_t id, uint32_t &value)
{
    QString text;
    const eResult_t rc = ReadByID(PktType("PGID"), id, text);
    if (rc == eResultOK) {
        value = parseUnsigned(text);
        return rc;
    }
    if (std::find(std::begin(kSilentParamIDs), std::end(kSilentParamIDs), id)
        == std::end(kSilentParamIDs))
        ENGINE_LOG_ERROR(rc, hexID(id), "CCmdEngine::GetIntParamByID");
    return rc;
}

eResult_t CCmdEngine::GetIntParamByName(const QString &name, uint32_t &value)
{
    QString text;
    const eResult_t rc = ReadByName(name, text);
    if (rc == eResultOK)
        value = parseUnsigned(text);
    else
        ENGINE_LOG_ERROR(rc, name, "CCmdEngine::GetIntParamByName");
    return rc;
}

eResult_t CCmdEngine::GetStringParamByID(uint32_t id, QString &text)
{
    return ReadByID(PktType("PGID"), id, text);
}

eResult_t CCmdEngine::GetStringParamByName(const QString &name, QString &text)
{
    return ReadByName(name, text);
}

eResult_t CCmdEngine::GetStringParam(uint32_t id, QString &text)
{
    const eResult_t rc = ReadByID(PktType("PGST"), id, text);
    if (rc != eResultOK)
        ENGINE_LOG_ERROR(rc, hexID(id), "CCmdEngine::GetStringParam");
    return rc;
}

eResult_t CCmdEngine::GetNetworkDottedIPParamByName(const QString &name, QString &text)
{
    uint32_t value = 0;
    const eResult_t rc = GetIntParamByName(name, value);
    if (rc == eResultOK)
        text = QHostAddress(value).toString();
    else
        ENGINE_LOG_ERROR(rc, name, "CCmdEngine::GetNetworkDottedIPParamByName");
    return rc;
}

eResult_t CCmdEngine::SetIntParamByID(uint32_t id, uint32_t value)
{
    const uint32_t words[] = { id, value };
    pkt_t pkt;
    mCommProtocol.makePktWords(&pkt, PktType("PSID"), 2, words);
    QString answer;
    return Exchange(pkt, answer, id);
}

eResult_t CCmdEngine::SetIntParamByName(const QString &name, int32_t value)
{
    const QByteArray nameBytes = withNul(name);
    pkt_t pkt;
    mCommProtocol.makePktBytesAndWord(
        &pkt, PktType("PSNM"), uint32_t(nameBytes.size()), bytesOf(nameBytes), uint32_t(value));
    QString answer;
    const eResult_t rc = Exchange(pkt, answer, kWildcardParamID);
    if (rc != eResultOK)
        ENGINE_LOG_ERROR(rc, name, "CCmdEngine::SetIntParamByName");
    return rc;
}

eResult_t CCmdEngine::SetStringParamByID(uint32_t id, const QString &text, QString *answer)
{
    const QByteArray textBytes = withNul(text);
    pkt_t pkt;
    mCommProtocol.makePktWordAndBytes(
        &pkt, PktType("PSID"), id, uint32_t(textBytes.size()), bytesOf(textBytes));
    QString value;
    const eResult_t rc = Exchange(pkt, value, id);
    if (rc == eResultOK && answer)
        *answer = value;
    return rc;
}

eResult_t CCmdEngine::SetStringParamByName(
    const QString &name, const QString &text, QString &answer)
{
    QByteArray payload = withNul(name);
    payload.append(withNul(text));

    // The module's receive buffer holds no more than the descriptor allows; refuse
    // before sending rather than have the module reject a partial write.
    const CCommProtocol::pktDesc_t *desc = CCommProtocol::descriptorTable().at(PktType("PSNM"));
    if (uint64_t(payload.size()) > uint64_t(desc->maxPayloadLen - desc->binaryPayloadLen))
        return eResultPayloadTooLong;

    pkt_t pkt;
    mCommProtocol.makePktWordsAndBytes(
        &pkt, PktType("PSNM"), 0, nullptr, uint32_t(payload.size()), bytesOf(payload));
    QString value;
    const eResult_t rc = Exchange(pkt, value, kWildcardParamID);
    if (rc == eResultOK)
        answer = value;
    else
        ENGINE_LOG_ERROR(rc, name, "CCmdEngine::SetStringParamByName");
    return rc;
}
