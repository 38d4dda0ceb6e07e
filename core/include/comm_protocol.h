#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <map>

class CSerialIF;

// Result of every exchange and of every engine operation.
enum eResult_t
{
    eResultOK = 0,
    eResultTimeout = 1,
    eResultPayloadTooShort = 2,
    eResultPayloadTooLong = 3,
    eResultInvalidChecksum = 4,
    eResultUnsupportedCmd = 5,
    eResultDaemonizerKilled = 6,
    eResultGetSetCmdNoSuchParamID = 7,
    eResultGetSetCmdWrongType = 8,
    eResultGetSetCmdInvalidTypeRecvd = 9,
    eResultUnknownResponse = 10,
    eResultDisconnected = 11,
    eResultUnknownError = 12,
};

// Result of reading one packet off the wire.
enum eNak_t
{
    eNakOK = 0,
    eNakTimedOut = 1,
    eNakPayloadTooLong = 2,
    eNakPayloadTooShort = 3,
    eNakInvalidCRC = 4,
    eNakUnsupportedCmd = 5,
    eNakDaemonizerKilled = 6,
    eNakDisconnected = 7,
};

// Sink for a fraction 0..1 of work done (upload or commit progress).
class CProgressIF
{
public:
    virtual ~CProgressIF() = default;
    virtual void SetProgress(float fraction) = 0;
    virtual float GetProgress() = 0;
};

// Four ASCII characters held in one 32-bit value, in wire (reading) order.
inline uint32_t PktType(const char (&s)[5])
{
    uint32_t v;
    static_assert(sizeof v == 4, "packet type is 4 bytes");
    std::memcpy(&v, s, 4);
    return v;
}

// In-memory packet record. While a request is built and sent, payloadLen holds the
// length in network byte order; after a successful receive, in host byte order.
struct pkt_t
{
    uint32_t type;
    uint32_t payloadLen = 0;
    uint8_t *payload = nullptr; // owned; released by CCommProtocol::freePkt
    uint32_t crc = 0; // network byte order

    pkt_t()
        : type(PktType("NVLD"))
    { }
};

// Standard CRC-32 (zlib/PNG). Pass the previous result to continue, 0 to start.
uint32_t crc32Compute(const void *data, size_t length, uint32_t previous = 0);

// Highest protocol version this program speaks.
constexpr uint32_t kHighestProtocolVersion = 2;
// Parameter ID that a "PIDC" reply may carry whatever was asked.
constexpr uint32_t kWildcardParamID = 0x7F7F7F7F;

class CCommProtocol : public QObject
{
    Q_OBJECT

public:
    // Allowed payload lengths of one packet type.
    struct pktDesc_t
    {
        pktDesc_t(uint32_t binary, uint32_t min, uint32_t max)
            : binaryPayloadLen(binary)
            , minPayloadLen(min)
            , maxPayloadLen(max)
        { }
        virtual ~pktDesc_t() = default;
        uint32_t binaryPayloadLen;
        uint32_t minPayloadLen;
        uint32_t maxPayloadLen;
    };
    using DescTable = std::map<uint32_t, pktDesc_t *>;
    using ReplyTable = std::map<uint32_t, uint32_t>;

    // cancel: the owner's cancel flag (e.g. set when the program is closing), as for
    // SetCancelFlag. May be null.
    CCommProtocol(CSerialIF *serialIF, CProgressIF *progress,
        const std::atomic<bool> *cancel = nullptr, QObject *parent = nullptr);
    ~CCommProtocol() override;

    virtual uint32_t setProtocolVersion(uint32_t version);
    virtual uint32_t getProtocolVersion();
    virtual void makePktWordsAndBytes(pkt_t *pkt, uint32_t type, uint32_t wordCount,
        const uint32_t *words, uint32_t byteCount, const uint8_t *bytes);
    virtual void makePktWordAndBytes(
        pkt_t *pkt, uint32_t type, uint32_t word, uint32_t byteCount, const uint8_t *bytes);
    virtual void makePktBytesAndWord(
        pkt_t *pkt, uint32_t type, uint32_t byteCount, const uint8_t *bytes, uint32_t word);
    virtual void makePktBytes(pkt_t *pkt, uint32_t type, uint32_t byteCount, const uint8_t *bytes);
    virtual void makePktWords(pkt_t *pkt, uint32_t type, uint32_t wordCount, const uint32_t *words);
    virtual void makePktWord(pkt_t *pkt, uint32_t type, ...);
    virtual void makeEmptyPkt(pkt_t *pkt, uint32_t type);
    virtual void freePkt(pkt_t *pkt);
    virtual uint32_t computeCRC(pkt_t *pkt);

    void sendPkt(pkt_t *pkt);
    eNak_t readPkt(pkt_t *pkt);
    eResult_t recvPkt(uint32_t requestType, QString &value, uint32_t expectedParamID);
    // One upload at a time per protocol: a second call while one runs returns false at once.
    bool sendFile(const char *path);

    // Once the flag (may be null) is true, every wait for the module ends within about
    // 100 ms: a reply being read gives eResultDisconnected (eNakDisconnected), as the port
    // is being given up, and an upload sends the Kermit "E" packet "User Quit" and fails.
    // Writes still go out, so a parameter write after the stop reaches the module. The
    // flag is read from the thread that runs the exchange; it may be set from any thread.
    void SetCancelFlag(const std::atomic<bool> *flag) { mCancel.store(flag); }
    bool cancelled() const
    {
        const std::atomic<bool> *flag = mCancel.load();
        return flag && flag->load();
    }
    // Test-only: scales the wait for each Kermit reply during sendFile (1 normally).
    void SetKermitTimeScaleForTesting(double scale) { mKermitTimeScale = scale; }

    static QString enumToString(int value);

    // Process-wide tables, built before main and read-only afterwards.
    static const DescTable &descriptorTable();
    static const ReplyTable &replyTable();
    // Runs the descriptor check over any table; returns false at the first faulty entry.
    static bool checkDescriptorTable(const DescTable &table);

    // Frames a record as it goes on the wire (8 bytes without payload, N + 12 with).
    static QByteArray frame(const pkt_t *pkt);
    // Printable four characters of a type.
    static QString typeToString(uint32_t type);

    CSerialIF *serialIF() const { return mSerialIF; }
    CProgressIF *progressSink() const { return mProgress; }

signals:
    void CommandProtocol(QString message, QString messageTxt);

private:
    uint32_t mProtocolVersion = kHighestProtocolVersion;
    CSerialIF *mSerialIF;
    CProgressIF *mProgress;
    std::atomic<const std::atomic<bool> *> mCancel;
    std::atomic<bool> mUploadBusy { false };
    double mKermitTimeScale = 1.0;
};
