#pragma once

// Kermit file sender: packet layer and send-only step engine.
//
// The module is always the receiver; every incoming packet answers the last packet
// sent. The engine has no thread of its own: the caller initialises a transfer, asks
// for the Send-Init and then hands every packet the reader delivers to kermitStep.
// Reader, writer and file access go through the callbacks stored in the record.
//
// Every piece of a transfer's state lives in its record (port, open input file, the
// reader's and the file's buffers), so transfers on different ports may run at once,
// one thread each.

#include <atomic>
#include <cstdint>
#include <cstdio>

class CSerialIF;

constexpr int kKermitMaxPacketBytes = 2048; // longest packet either side uses
constexpr int kKermitSendBufBytes = 2056;
constexpr int kKermitDataBufBytes = 2050;
constexpr int kKermitRecvBufBytes = 2056; // reader may store limit + 1 bytes and a zero
constexpr int kKermitRecvSlots = 31;
constexpr int kKermitFileBufBytes = 4096;
constexpr int kKermitReaderBufBytes = 10240;
constexpr int kKermitRemainBytes = 6;
constexpr int kKermitFileNameBytes = 1024;
constexpr int kKermitDefaultTimeoutSec = 5;
constexpr int kKermitRequestedTimeoutSec = 40;
constexpr int kKermitDefaultRetryLimit = 10;
constexpr int kKermitDataStateReadBytes = 8; // an acknowledgement with a 3-character check

constexpr uint8_t kKermitSOH = 1;
constexpr uint8_t kKermitCR = 13;

// kermitStep actions.
enum KermitAction
{
    kKermitActionInit = 0,
    kKermitActionRun = 1,
    kKermitActionStatus = 2,
    kKermitActionQuit = 4,
    kKermitActionError = 5,
    kKermitActionSend = 6,
};

// kermitStep results.
enum KermitResult
{
    kKermitResultError = -1,
    kKermitResultContinue = 0,
    kKermitResultDone = 3,
    kKermitResultStatus = 4,
    kKermitResultNoSlot = 5,
};

// Protocol states.
enum KermitState
{
    kKermitStateIdleReceive = 0,
    kKermitStateSendInitWait = 1,
    kKermitStateFileWait = 2,
    kKermitStateAttrWait = 3,
    kKermitStateData = 4,
    kKermitStateEofWait = 5,
    kKermitStateBreakWait = 6,
};

// Capability bits of CAPAS.
constexpr uint16_t kKermitCapLongPackets = 2;
constexpr uint16_t kKermitCapWindows = 4;
constexpr uint16_t kKermitCapAttributes = 8;

// Filled for the caller.
struct KermitStatus
{
    int16_t state;
    char filename[kKermitFileNameBytes];
    char filedate[20];
    int32_t filesize;
    int32_t bytesSoFar; // file bytes consumed by the encoder
};

struct KermitRecvSlot
{
    uint8_t buf[kKermitRecvBufBytes];
    int32_t len; // -1 claimed and not yet filled, 0 free
    int16_t seq;
    char type;
    uint8_t *data;
};

struct KermitTransfer;

using KermitReadPacketFn = int (*)(KermitTransfer *k, uint8_t *buf, int capacity);
using KermitWriteFn = int (*)(KermitTransfer *k, const uint8_t *bytes, int count);
using KermitInputCheckFn = int (*)(KermitTransfer *k);
using KermitOpenFileFn = int (*)(KermitTransfer *k, const char *name, int mode);
using KermitFileInfoFn = int32_t (*)(
    KermitTransfer *k, const char *name, char *date, int dateLen, int16_t *type, int16_t mode);
using KermitReadFileFn = int (*)(KermitTransfer *k);
using KermitWriteFileFn = int (*)(KermitTransfer *k, const uint8_t *bytes, int count);
using KermitCloseFileFn = int (*)(KermitTransfer *k, char code, int mode);
using KermitTraceFn = void (*)(const char *text);

// The record of one transfer (about 85 KB with its receive slots and buffers).
struct KermitTransfer
{
    const char *version;
    int16_t remote; // enables the triple Ctrl-C abort of the reader
    int16_t xferMode; // 1 manual: the file type is taken as given
    int16_t binary;
    int16_t state;
    int16_t role; // 2 receive, 1 send
    int16_t s_first; // 1 new input, 0 encoding, -1 input exhausted
    int16_t sendSeq; // sequence number of the last packet sent
    int16_t expectedSeq;
    int16_t startMarkSent, startMarkExpected;
    int16_t endMarkSent, endMarkExpected;
    int32_t size, prevSize; // of xdata
    int32_t ownTimeoutSec; // the receiver's TIME; how long the reader waits
    int32_t requestedTimeoutSec;
    int32_t recvLimit; // longest packet we accept
    int32_t sendMax; // longest packet the receiver accepts
    int16_t window;
    int16_t activeSlots;
    int16_t parity;
    int16_t retryLimit;
    int16_t cancel; // 1 cancel the file, 2 cancel the group
    char ctlPrefixSent, ctlPrefixExpected;
    char ebqPrefix;
    char ebqOn;
    char rptPrefix;
    int32_t rptCount;
    int16_t rptOn;
    int16_t bct; // block-check type 1..3
    uint16_t capas;
    uint16_t crcT1[16], crcT2[16];
    uint8_t s_remain[kKermitRemainBytes + 1];
    int16_t remainLen;
    int lastByte; // encoder look-ahead kept between getpkt calls
    KermitRecvSlot rslots[kKermitRecvSlots];
    uint8_t sendBuf[kKermitSendBufBytes];
    int32_t sendLen; // kept packet length, end mark included
    uint8_t xdata[kKermitDataBufBytes];
    char sparBuf[14];
    char **fileList;
    const char *fileName;
    const char *inputText; // when set, getpkt encodes this instead of the file
    KermitReadPacketFn rxd;
    KermitWriteFn txd;
    KermitInputCheckFn ixd;
    KermitOpenFileFn openf;
    KermitFileInfoFn finfo;
    KermitReadFileFn readf;
    KermitWriteFileFn writef;
    KermitCloseFileFn closef;
    KermitTraceFn dbf;
    uint8_t *zinbuf;
    int32_t zincnt;
    int32_t zinlen;
    uint8_t *zinptr;
    int32_t forceType3;
    // Replies in a row that did not move the transfer on (time-outs, NAKs, bad or
    // unexpected packets); past retryLimit the transfer ends with "Too many retries".
    int16_t retries;
    int16_t fileStopped; // the receiver stopped a file: the transfer is incomplete
    int16_t inputError; // reading the input file failed
    CSerialIF *serial; // the port the callbacks use
    std::FILE *inputFile;
    uint8_t fileBuf[kKermitFileBufBytes + 1];
    // Bytes the reader took from the port beyond the packet it was reading.
    uint8_t readerBuf[kKermitReaderBufBytes];
    int32_t readerCount, readerPos;
    // Set by the owner (may stay null): the reader gives up its wait once it is true.
    const std::atomic<bool> *stopFlag;
    double timeScale; // test-only: scales the wait for a reply (1 normally)
};

// Result of checking one incoming packet.
enum KermitCheck
{
    kKermitCheckGood = 0,
    kKermitCheckShort = 1,
    kKermitCheckBadHeader = 2,
    kKermitCheckBadBlock = 3,
};

struct KermitPacketInfo
{
    int seq;
    char type;
    uint8_t *data;
    int dataLen;
};

// --- Sender (step engine) ---
int kermitInitTransfer(KermitTransfer *k, KermitStatus *s, char **fileList, CSerialIF *serial);
int kermitStep(int action, KermitTransfer *k, int slot, int len, const char *msg, KermitStatus *s);

// --- Packet layer ---
int getRecvSlot(KermitTransfer *k, uint8_t **buf);
int freeRecvSlot(KermitTransfer *k, int slot);

// Reader callback: the packet without its marks followed by a zero byte. Returns the
// count stored; 0 when the packet was too long, no reply came within the receiver's
// time-out, or the stop flag was set; -1 when the port is closed or after three Ctrl-C.
int readpkt(KermitTransfer *k, uint8_t *buf, int capacity);
// Writer callback: 0 when all bytes were written within ten write calls, else -1.
int tx_data(KermitTransfer *k, const uint8_t *bytes, int count);

// Frames and sends one packet with the current block-check type; len < 0 means data
// is zero-terminated. Keeps it for resend. 0 or -1.
int spkt(char type, int seq, int len, const uint8_t *data, KermitTransfer *k);
int resend(KermitTransfer *k);

void encodeByte(KermitTransfer *k, int byte, int next);
int getpkt(KermitTransfer *k, KermitStatus *s);

// Checks over a zero-terminated byte string (they stop at the first zero byte).
int blockCheck1(const uint8_t *p);
int blockCheck2(const uint8_t *p);
unsigned blockCheck3(const KermitTransfer *k, const uint8_t *p);
// Fills the two 16-entry CRC tables of the record.
void kermitFillCrcTables(KermitTransfer *k);

// Validates a packet as stored by the reader (LEN SEQ TYPE ... CHECK, length len).
KermitCheck kermitCheckPacket(KermitTransfer *k, uint8_t *buf, int len, KermitPacketInfo *info);

// Releases what a transfer holds (the input file); safe to call more than once.
void kermitFinishTransfer(KermitTransfer *k);
