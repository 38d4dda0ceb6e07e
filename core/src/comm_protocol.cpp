#include "comm_protocol.h"

#include "protocol_logging.h"
#include "serial_if.h"

#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

Q_LOGGING_CATEGORY(lcProtocol, "trivo.protocol", QtInfoMsg)
Q_LOGGING_CATEGORY(lcProtocolHex, "trivo.protocol.hex", QtInfoMsg)

namespace {

// Short name used in the printf-style diagnostics (the full build path is noise).
constexpr const char kSourceFile[] = "comm_protocol.cpp";

constexpr qint64 kHeaderHuntMs = 2000;
constexpr qint64 kLengthFieldMs = 250;
constexpr qint64 kPayloadMs = 1250;
constexpr qint64 kCrcMs = 250;
// No port read waits longer than this, so that a cancel request is seen promptly.
constexpr qint64 kCancelCheckMs = 50;

constexpr uint32_t kHeaderBytes = 8;
constexpr uint32_t kCrcBytes = 4;

// Offsets of the fixed words in parameter replies.
constexpr uint32_t kParamIdOffset = 0;
constexpr uint32_t kStatusOffset = 4;
constexpr uint32_t kValueOffset = 8; // "P32C" value, "PSTC" text
constexpr uint32_t kValueTypeOffset = 8; // "PIDC"
constexpr uint32_t kPidcValueOffset = 12;

enum ParamStatus : uint32_t
{
    kStatusOK = 0,
    kStatusNoSuchParam = 1,
    kStatusWrongType = 2
};
enum PidcValueType : uint32_t
{
    kValueTypeInt = 0,
    kValueTypeText = 1
};

// The four characters of a type as a terminated string, safe for any printf format.
struct TypeText
{
    explicit TypeText(uint32_t type) { std::memcpy(chars.data(), &type, 4); }
    const char *c_str() const { return chars.data(); }
    std::array<char, 5> chars {};
};

uint32_t toBigEndian(uint32_t v)
{
    const uint8_t b[4] = { uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v) };
    uint32_t out;
    std::memcpy(&out, b, 4);
    return out;
}

uint32_t fromBigEndian(uint32_t v)
{
    uint8_t b[4];
    std::memcpy(b, &v, 4);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
}

uint32_t loadBe32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void storeBe32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

struct DescRow
{
    char type[5];
    uint32_t binary, min, max;
};

constexpr DescRow kDescRows[] = {
    { "NACK", 0, 8, 8 },
    { "HWDY", 4, 4, 4 },
    { "HIYA", 4, 4, 4 },
    { "YUHU", 0, 0, 0 },
    { "2U2!", 0, 0, 0 },
    { "PG32", 4, 4, 4 },
    { "P32C", 12, 12, 12 },
    { "PS32", 8, 8, 8 },
    { "PGST", 4, 4, 4 },
    { "PSTC", 8, 8, 16392 },
    { "PSST", 4, 4, 16388 },
    { "PGID", 4, 4, 4 },
    { "PIDC", 12, 12, 16396 },
    { "PSID", 4, 4, 16388 },
    { "PGNM", 0, 1, 16384 },
    { "PSNM", 0, 1, 16384 },
    { "EDTM", 4, 4, 4 },
    { "DTMI", 4, 4, 4 },
    { "HURU", 0, 0, 0 },
    { "IAMA", 0, 1, 16384 },
};

struct ReplyRow
{
    char request[5];
    char reply[5];
};

constexpr ReplyRow kReplyRows[] = {
    { "HWDY", "HIYA" },
    { "YUHU", "2U2!" },
    { "PG32", "P32C" },
    { "PS32", "P32C" },
    { "PGST", "PSTC" },
    { "PSST", "PSTC" },
    { "PGID", "PIDC" },
    { "PSID", "PIDC" },
    { "PGNM", "PIDC" },
    { "PSNM", "PIDC" },
    { "EDTM", "DTMI" },
    { "HURU", "IAMA" },
};

// Built during static initialisation, before main and before any worker thread, and
// never written again.
[[maybe_unused]] const bool kTablesBuilt
    = (CCommProtocol::descriptorTable(), CCommProtocol::replyTable(), true);

const CCommProtocol::pktDesc_t *findDesc(uint32_t type)
{
    const auto &table = CCommProtocol::descriptorTable();
    const auto it = table.find(type);
    return it == table.end() ? nullptr : it->second;
}

// Text of a received value: UTF-8 up to the first NUL (the terminator travels on the wire).
QString textOf(const uint8_t *p, uint32_t n)
{
    if (!p || n == 0)
        return QString();
    const auto *end = static_cast<const uint8_t *>(std::memchr(p, 0, n));
    const uint32_t len = end ? uint32_t(end - p) : n;
    return QString::fromUtf8(reinterpret_cast<const char *>(p), int(len));
}

eResult_t nakToResult(eNak_t nak)
{
    static const std::map<eNak_t, eResult_t> kMap = {
        { eNakOK, eResultOK },
        { eNakTimedOut, eResultTimeout },
        { eNakPayloadTooLong, eResultPayloadTooLong },
        { eNakPayloadTooShort, eResultPayloadTooShort },
        { eNakInvalidCRC, eResultInvalidChecksum },
        { eNakUnsupportedCmd, eResultUnsupportedCmd },
        { eNakDaemonizerKilled, eResultDaemonizerKilled },
        { eNakDisconnected, eResultDisconnected },
    };
    const auto it = kMap.find(nak);
    if (it != kMap.end())
        return it->second;
    fprintf(
        stderr, "%s:%d recvpkt() got unknown result code of %d\n", kSourceFile, __LINE__, int(nak));
    return eResultUnknownResponse;
}

eResult_t nackReasonToResult(const pkt_t &pkt)
{
    static const std::map<QByteArray, eResult_t> kReasons = {
        { "TIMEDOUT", eResultTimeout },
        { "PYLLLONG", eResultPayloadTooLong },
        { "PYLLSHRT", eResultPayloadTooShort },
        { "INVLDCRC", eResultInvalidChecksum },
        { "UNSUPCMD", eResultUnsupportedCmd },
    };
    if (!pkt.payload || pkt.payloadLen == 0)
        return eResultUnknownError;
    const uint32_t n = std::min<uint32_t>(pkt.payloadLen, 8);
    const auto *nul = static_cast<const uint8_t *>(std::memchr(pkt.payload, 0, n));
    const QByteArray reason(
        reinterpret_cast<const char *>(pkt.payload), int(nul ? nul - pkt.payload : n));
    const auto it = kReasons.find(reason);
    return it == kReasons.end() ? eResultUnknownError : it->second;
}

eResult_t unhandledType(uint32_t type, int line)
{
    fprintf(stderr, "%s:%d: got unhandled response pkt type of %.4s\n", kSourceFile, line,
        TypeText(type).c_str());
    return eResultUnknownResponse;
}

// Common head of the parameter replies: ID check, then status. Returns eResultOK with
// 'decode' set when the value may be taken from the payload.
eResult_t checkParamReply(const pkt_t &pkt, uint32_t expectedID, bool allowWildcard, bool &decode)
{
    decode = false;
    const uint32_t id = loadBe32(pkt.payload + kParamIdOffset);
    if (id != expectedID && !(allowWildcard && expectedID == kWildcardParamID)) {
        fprintf(stderr,
            "Mismatched paramID response in %s:%d.  Expected %08x, got %08x.  Tossing it.\n",
            kSourceFile, __LINE__, expectedID, id);
        return eResultUnknownError;
    }
    switch (loadBe32(pkt.payload + kStatusOffset)) {
    case kStatusOK:
        decode = true;
        return eResultOK;
    case kStatusNoSuchParam:
        return eResultGetSetCmdNoSuchParamID;
    case kStatusWrongType:
        return eResultGetSetCmdWrongType;
    default:
        // Statuses the program does not know carry no value: success, text untouched.
        return eResultOK;
    }
}

eResult_t decodeWordValue(const pkt_t &pkt, QString &value, uint32_t)
{
    value = QString::number(loadBe32(pkt.payload));
    return eResultOK;
}

eResult_t decodeNothing(const pkt_t &, QString &, uint32_t)
{
    return eResultOK;
}

eResult_t decodeProductId(const pkt_t &pkt, QString &value, uint32_t)
{
    value = textOf(pkt.payload, pkt.payloadLen);
    return eResultOK;
}

eResult_t decodeP32C(const pkt_t &pkt, QString &value, uint32_t expectedID)
{
    bool decode;
    const eResult_t r = checkParamReply(pkt, expectedID, false, decode);
    if (decode)
        value = QString::number(loadBe32(pkt.payload + kValueOffset));
    return r;
}

eResult_t decodePSTC(const pkt_t &pkt, QString &value, uint32_t expectedID)
{
    bool decode;
    const eResult_t r = checkParamReply(pkt, expectedID, false, decode);
    if (decode)
        value = textOf(pkt.payload + kValueOffset, pkt.payloadLen - kValueOffset);
    return r;
}

eResult_t decodePIDC(const pkt_t &pkt, QString &value, uint32_t expectedID)
{
    if (pkt.payloadLen < kPidcValueOffset) {
        fprintf(stderr,
            "Payload too short in %s:%d.  Wanted at least 12 bytes, only got %d for ParamID "
            "%08x.  Tossing it.\n",
            kSourceFile, __LINE__, int(pkt.payloadLen), expectedID);
        return eResultPayloadTooShort;
    }
    bool decode;
    const eResult_t r = checkParamReply(pkt, expectedID, true, decode);
    if (!decode)
        return r;
    switch (loadBe32(pkt.payload + kValueTypeOffset)) {
    case kValueTypeInt:
        // An integer reply without its value word must not be read past its end.
        if (pkt.payloadLen < kPidcValueOffset + 4) {
            fprintf(stderr,
                "Payload too short in %s:%d.  Wanted at least 16 bytes, only got %d for "
                "ParamID %08x.  Tossing it.\n",
                kSourceFile, __LINE__, int(pkt.payloadLen), expectedID);
            return eResultPayloadTooShort;
        }
        value = QString::number(loadBe32(pkt.payload + kPidcValueOffset));
        return eResultOK;
    case kValueTypeText:
        value = textOf(pkt.payload + kPidcValueOffset, pkt.payloadLen - kPidcValueOffset);
        return eResultOK;
    default:
        return eResultGetSetCmdInvalidTypeRecvd;
    }
}

using Decoder = eResult_t (*)(const pkt_t &, QString &, uint32_t expectedID);

const std::map<uint32_t, Decoder> &decoders()
{
    static const std::map<uint32_t, Decoder> kDecoders = {
        { PktType("HIYA"), decodeWordValue },
        { PktType("DTMI"), decodeWordValue },
        { PktType("2U2!"), decodeNothing },
        { PktType("IAMA"), decodeProductId },
        { PktType("P32C"), decodeP32C },
        { PktType("PSTC"), decodePSTC },
        { PktType("PIDC"), decodePIDC },
    };
    return kDecoders;
}

void hexDump(const char *direction, const QByteArray &bytes)
{
    qCDebug(lcProtocolHex).noquote() << direction << bytes.size() << bytes.toHex(' ');
}

} // namespace

const CCommProtocol::DescTable &CCommProtocol::descriptorTable()
{
    // Intentionally never freed: the table outlives every protocol object, including
    // ones destroyed during static clean-up.
    static const DescTable &table = *[] {
        auto *t = new DescTable;
        for (const DescRow &r : kDescRows)
            (*t)[PktType(r.type)] = new pktDesc_t(r.binary, r.min, r.max);
        return t;
    }();
    return table;
}

const CCommProtocol::ReplyTable &CCommProtocol::replyTable()
{
    static const ReplyTable table = [] {
        ReplyTable t;
        for (const ReplyRow &r : kReplyRows)
            t[PktType(r.request)] = PktType(r.reply);
        return t;
    }();
    return table;
}

bool CCommProtocol::checkDescriptorTable(const DescTable &table)
{
    for (const auto &[type, desc] : table) {
        const TypeText name(type);
        if (desc->binaryPayloadLen % 4 != 0) {
            fprintf(stderr,
                "*** CCommProtocol: The binary payload length in the pktDesc for %s is %u. "
                "Must be a multiple of 4.\n",
                name.c_str(), desc->binaryPayloadLen);
            return false;
        }
        const bool binaryOverMin = desc->binaryPayloadLen > desc->minPayloadLen;
        const bool maxUnderMin = desc->maxPayloadLen < desc->minPayloadLen;
        const bool binaryOverMax = desc->binaryPayloadLen > desc->maxPayloadLen;
        if (!binaryOverMin && !maxUnderMin && !binaryOverMax)
            continue;
        fprintf(stderr, "*** CCommProtocol: Bad payload length(s) in the pktDesc for %s\n",
            name.c_str());
        if (binaryOverMin)
            fprintf(stderr, "    binaryPayloadLen is greater than minPayloadLen\n");
        if (maxUnderMin)
            fprintf(stderr, "    maxPayloadLen is less than minPayloadLen\n");
        if (binaryOverMax)
            fprintf(stderr, "    binaryPayloadLen is greater than maxPayloadLen\n");
        fprintf(stderr, "    { binary = %u, min = %u, max = %u }\n", desc->binaryPayloadLen,
            desc->minPayloadLen, desc->maxPayloadLen);
        return false;
    }
    return true;
}

CCommProtocol::CCommProtocol(
    CSerialIF *serialIF, CProgressIF *progress, const std::atomic<bool> *cancel, QObject *parent)
    : QObject(parent)
    , mSerialIF(serialIF)
    , mProgress(progress)
    , mCancel(cancel)
{
    static std::once_flag checked;
    std::call_once(checked, [] { checkDescriptorTable(descriptorTable()); });
}

CCommProtocol::~CCommProtocol() = default;

uint32_t CCommProtocol::setProtocolVersion(uint32_t version)
{
    mProtocolVersion = std::min(version, kHighestProtocolVersion);
    return getProtocolVersion();
}

uint32_t CCommProtocol::getProtocolVersion()
{
    return mProtocolVersion;
}

void CCommProtocol::makePktWordsAndBytes(pkt_t *pkt, uint32_t type, uint32_t wordCount,
    const uint32_t *words, uint32_t byteCount, const uint8_t *bytes)
{
    freePkt(pkt); // a reused record must not leak its old payload
    pkt->type = type;
    const uint32_t len = wordCount * 4 + byteCount;
    if (len != 0) {
        pkt->payload = new uint8_t[len](); // zeros stand in for a missing byte source
        for (uint32_t i = 0; words && i < wordCount; ++i)
            storeBe32(pkt->payload + 4 * i, words[i]);
        if (byteCount && bytes)
            std::memcpy(pkt->payload + 4 * wordCount, bytes, byteCount);
    }
    pkt->payloadLen = toBigEndian(len);
    computeCRC(pkt);
}

void CCommProtocol::makePktWordAndBytes(
    pkt_t *pkt, uint32_t type, uint32_t word, uint32_t byteCount, const uint8_t *bytes)
{
    makePktWordsAndBytes(pkt, type, 1, &word, byteCount, bytes);
}

void CCommProtocol::makePktBytesAndWord(
    pkt_t *pkt, uint32_t type, uint32_t byteCount, const uint8_t *bytes, uint32_t word)
{
    std::vector<uint8_t> buf(size_t(byteCount) + 4);
    if (byteCount && bytes)
        std::memcpy(buf.data(), bytes, byteCount);
    storeBe32(buf.data() + byteCount, word);
    makePktWordsAndBytes(pkt, type, 0, nullptr, uint32_t(buf.size()), buf.data());
}

void CCommProtocol::makePktBytes(
    pkt_t *pkt, uint32_t type, uint32_t byteCount, const uint8_t *bytes)
{
    makePktWordsAndBytes(pkt, type, 0, nullptr, byteCount, bytes);
}

void CCommProtocol::makePktWords(
    pkt_t *pkt, uint32_t type, uint32_t wordCount, const uint32_t *words)
{
    makePktWordsAndBytes(pkt, type, wordCount, words, 0, nullptr);
}

void CCommProtocol::makePktWord(pkt_t *pkt, uint32_t type, ...)
{
    va_list args;
    va_start(args, type);
    const uint32_t word = va_arg(args, uint32_t);
    va_end(args);
    makePktWords(pkt, type, 1, &word);
}

void CCommProtocol::makeEmptyPkt(pkt_t *pkt, uint32_t type)
{
    makePktWordsAndBytes(pkt, type, 0, nullptr, 0, nullptr);
}

void CCommProtocol::freePkt(pkt_t *pkt)
{
    delete[] pkt->payload;
    pkt->payload = nullptr;
    pkt->payloadLen = 0;
}

uint32_t CCommProtocol::computeCRC(pkt_t *pkt)
{
    uint8_t header[kHeaderBytes];
    std::memcpy(header, &pkt->type, 4);
    std::memcpy(header + 4, &pkt->payloadLen, 4);
    uint32_t crc = crc32Compute(header, sizeof header);
    const uint32_t len = fromBigEndian(pkt->payloadLen);
    if (len != 0 && pkt->payload)
        crc = crc32Compute(pkt->payload, len, crc);
    pkt->crc = toBigEndian(crc);
    return crc;
}

QByteArray CCommProtocol::frame(const pkt_t *pkt)
{
    const uint32_t len = pkt->payload ? fromBigEndian(pkt->payloadLen) : 0;
    QByteArray out(int(len ? len + kHeaderBytes + kCrcBytes : kHeaderBytes), '\0');
    auto *p = reinterpret_cast<uint8_t *>(out.data());
    std::memcpy(p, &pkt->type, 4);
    if (len) {
        std::memcpy(p + 4, &pkt->payloadLen, 4);
        std::memcpy(p + kHeaderBytes, pkt->payload, len);
    }
    std::memcpy(p + out.size() - kCrcBytes, &pkt->crc, 4);
    return out;
}

QString CCommProtocol::typeToString(uint32_t type)
{
    return QString::fromLatin1(TypeText(type).c_str(), 4);
}

void CCommProtocol::sendPkt(pkt_t *pkt)
{
    const QByteArray bytes = frame(pkt);
    freePkt(pkt);
    if (!mSerialIF)
        return;
    hexDump("tx", bytes);
    mSerialIF->FlushInput();
    uint32_t written = 0;
    // A failed write is seen by the following recvPkt as a time-out or a disconnection.
    mSerialIF->Write(
        reinterpret_cast<const uint8_t *>(bytes.constData()), uint32_t(bytes.size()), &written);
}

namespace {

enum class PhaseEnd
{
    Complete,
    TimedOut,
    Disconnected,
    Cancelled
};

int waitSliceMs(qint64 leftMs)
{
    return int(std::min(leftMs, kCancelCheckMs));
}

// Reads until 'want' bytes are in 'buf' or 'limitMs' passed since the phase began; no
// port read waits past the limit, whatever the port is sent.
PhaseEnd readPhase(const CCommProtocol &proto, uint8_t *buf, uint32_t want, qint64 limitMs,
    uint32_t &got, qint64 &elapsedMs)
{
    CSerialIF *port = proto.serialIF();
    QElapsedTimer timer;
    timer.start();
    got = 0;
    PhaseEnd end = PhaseEnd::TimedOut;
    while (got < want) {
        const qint64 leftMs = limitMs - timer.elapsed();
        if (proto.cancelled()) {
            end = PhaseEnd::Cancelled;
            break;
        }
        if (leftMs <= 0)
            break;
        const uint32_t asked = want - got;
        const uint32_t n = port->ReadWithin(buf + got, asked, waitSliceMs(leftMs));
        if (n > asked) {
            fprintf(stderr, "Read more bytes than expected: asked for %d, got %d\n", int(asked),
                int(n));
            got = want;
        } else {
            got += n;
        }
        if (got == want)
            break; // complete: a port that closes right after does not spoil it
        if (!port->IsOpen()) {
            end = PhaseEnd::Disconnected;
            break;
        }
    }
    elapsedMs = timer.elapsed();
    return got == want ? PhaseEnd::Complete : end;
}

// An exchange that ends before its time: the port went away, or the owner cancelled it.
eNak_t reportAbort(PhaseEnd end, int line)
{
    qCDebug(lcProtocol).noquote() << "CCommProtocol::readPkt" << line
                                  << (end == PhaseEnd::Cancelled
                                             ? "exchange cancelled, aborting with eNakDisconnected"
                                             : "device unplug detected, aborting with "
                                               "eNakDisconnected");
    return eNakDisconnected;
}

} // namespace

eNak_t CCommProtocol::readPkt(pkt_t *pkt)
{
    freePkt(pkt);
    pkt->type = PktType("NVLD");
    pkt->crc = 0;
    if (!mSerialIF)
        return reportAbort(PhaseEnd::Disconnected, __LINE__);

    // Header hunt: the type field is a sliding window over the last four bytes, so a
    // frame is found behind any amount of noise.
    QElapsedTimer timer;
    timer.start();
    uint8_t window[4];
    std::memcpy(window, &pkt->type, 4);
    const pktDesc_t *desc = nullptr;
    bool shift = false;
    for (;;) {
        uint32_t type;
        std::memcpy(&type, window, 4);
        if ((desc = findDesc(type)) != nullptr)
            break;
        if (cancelled())
            return reportAbort(PhaseEnd::Cancelled, __LINE__);
        const qint64 leftMs = kHeaderHuntMs - timer.elapsed();
        if (leftMs <= 0)
            break;
        if (shift)
            std::memmove(window, window + 1, 3);
        uint8_t byte = 0;
        const uint32_t n = mSerialIF->ReadWithin(&byte, 1, waitSliceMs(leftMs));
        if (n > 1)
            fprintf(stderr, "Read more bytes than expected: asked for %d, got %d\n", 1, int(n));
        shift = n > 0;
        if (shift)
            window[3] = byte;
        if (!mSerialIF->IsOpen())
            return reportAbort(PhaseEnd::Disconnected, __LINE__);
    }
    std::memcpy(&pkt->type, window, 4);
    if (!desc) {
        qCDebug(lcProtocol).noquote()
            << "CCommProtocol::readPkt" << __LINE__ << "Failed to find header after "
            << timer.elapsed() << "msec, returning with eNakTimedOut";
        return eNakTimedOut;
    }
    const TypeText typeText(pkt->type);

    uint32_t len = 0;
    uint32_t got = 0;
    qint64 elapsed = 0;
    PhaseEnd end;
    if (desc->minPayloadLen != 0) {
        uint8_t lenBytes[4];
        switch (end = readPhase(*this, lenBytes, 4, kLengthFieldMs, got, elapsed)) {
        case PhaseEnd::Disconnected:
        case PhaseEnd::Cancelled:
            return reportAbort(end, __LINE__);
        case PhaseEnd::TimedOut:
            fprintf(stderr,
                "Timed out reading payload length.  Wanted 4 bytes, only got %d after %lld "
                "msec.\n",
                int(got), (long long)elapsed);
            return eNakTimedOut;
        case PhaseEnd::Complete:
            break;
        }
        std::memcpy(&pkt->payloadLen, lenBytes, 4); // raw, as the CRC covers it
        len = loadBe32(lenBytes);
        if (len < desc->minPayloadLen || len > desc->maxPayloadLen) {
            fprintf(stderr,
                "Invalid payload length 0x%08x for pkt type %s.  Valid range is %u to %u "
                "bytes.\n",
                len, typeText.c_str(), desc->minPayloadLen, desc->maxPayloadLen);
            pkt->payloadLen = 0;
            return len < desc->minPayloadLen ? eNakPayloadTooShort : eNakPayloadTooLong;
        }

        pkt->payload = new uint8_t[len]();
        switch (end = readPhase(*this, pkt->payload, len, kPayloadMs, got, elapsed)) {
        case PhaseEnd::Disconnected:
        case PhaseEnd::Cancelled:
            freePkt(pkt);
            return reportAbort(end, __LINE__);
        case PhaseEnd::TimedOut:
            fprintf(stderr,
                "Timed out reading payload after %lld msec for pkt type %s.  Only %u of %lu "
                "bytes received.\n",
                (long long)elapsed, typeText.c_str(), got, (unsigned long)len);
            freePkt(pkt);
            return eNakTimedOut;
        case PhaseEnd::Complete:
            break;
        }
    }

    uint8_t crcBytes[kCrcBytes];
    switch (end = readPhase(*this, crcBytes, kCrcBytes, kCrcMs, got, elapsed)) {
    case PhaseEnd::Disconnected:
    case PhaseEnd::Cancelled:
        freePkt(pkt);
        return reportAbort(end, __LINE__);
    case PhaseEnd::TimedOut:
        fprintf(stderr,
            "%s:%d Timed out reading CRC32 after %lld msec for pkt type %s. Only %d of %zu "
            "bytes received.\n",
            kSourceFile, __LINE__, (long long)elapsed, typeText.c_str(), int(got),
            size_t(kCrcBytes));
        freePkt(pkt);
        return eNakTimedOut;
    case PhaseEnd::Complete:
        break;
    }

    const uint32_t received = loadBe32(crcBytes);
    const uint32_t computed = computeCRC(pkt);
    std::memcpy(&pkt->crc, crcBytes, 4);
    if (received != computed) {
        fprintf(stderr, "%s:%d Invalid CRC32 for pkt type %s.  Received 0x%08x, computed 0x%08x.\n",
            kSourceFile, __LINE__, typeText.c_str(), received, computed);
        freePkt(pkt);
        return eNakInvalidCRC;
    }
    if (lcProtocolHex().isDebugEnabled())
        hexDump("rx", frame(pkt)); // the length field is still the raw one here
    pkt->payloadLen = len;
    return eNakOK;
}

eResult_t CCommProtocol::recvPkt(uint32_t requestType, QString &value, uint32_t expectedParamID)
{
    pkt_t pkt;
    const eNak_t nak = readPkt(&pkt);
    eResult_t result;
    if (nak != eNakOK) {
        result = nakToResult(nak);
    } else {
        const auto &replies = replyTable();
        const auto reply = replies.find(requestType);
        if (reply != replies.end() && pkt.type == reply->second) {
            const auto decoder = decoders().find(pkt.type);
            result = decoder == decoders().end() ? unhandledType(pkt.type, __LINE__)
                                                 : decoder->second(pkt, value, expectedParamID);
        } else if (pkt.type == PktType("NACK")) {
            result = nackReasonToResult(pkt);
        } else {
            result = unhandledType(pkt.type, __LINE__);
        }
    }
    freePkt(&pkt);
    return result;
}

QString CCommProtocol::enumToString(int value)
{
    static const char *const kNames[] = {
        "eResultOK",
        "eResultTimeout",
        "eResultPayloadTooShort",
        "eResultPayloadTooLong",
        "eResultInvalidChecksum",
        "eResultUnsupportedCmd",
        "eResultDaemonizerKilled",
        "eResultGetSetCmdNoSuchParamID",
        "eResultGetSetCmdWrongType",
        "eResultGetSetCmdInvalidTypeRecvd",
        "eResultUnknownResponse",
        "eResultDisconnected",
        "eResultUnknownError",
    };
    constexpr int kCount = int(sizeof kNames / sizeof kNames[0]);
    if (value >= 0 && value < kCount)
        return QString::fromLatin1(kNames[value]);
    return QStringLiteral("Missing enum in switch for value + %1 in %2, line:%3, function: %4")
        .arg(value)
        .arg(QLatin1String(kSourceFile))
        .arg(__LINE__)
        .arg(QLatin1String("CCommProtocol::enumToString"));
}
