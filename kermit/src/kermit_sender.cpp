// Kermit sender: Send-Init negotiation, the step engine and the file callbacks.

#include "kermit.h"
#include "kermit_private.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

namespace {

constexpr const char *kKermitVersion = "1.7";
constexpr int kMaxRemoteLongPacket = kKermitMaxPacketBytes;
constexpr int kLongPacketFloor = 10; // a smaller MAXLX gives the fallback below
constexpr int kLongPacketFallback = 60;
constexpr int kShortPacketFloor = 20; // below this no data fits after the overhead
constexpr int kShortPacketDefault = 80;
constexpr int kMaxWindow = 31;
constexpr int kAttrTextLimit = 45; // attributes are kept within a short packet
constexpr int kInfoDateMinBytes = 18;
constexpr int kSparLength = 13;
constexpr const char *kTooManyRetries = "Too many retries";
constexpr const char *kReadFailed = "Cannot read the file";

bool isPrefixChar(int c)
{
    return (c >= 33 && c <= 62) || (c >= 96 && c <= 126);
}

int inputCheck(KermitTransfer *)
{
    return 0;
}

int writeFileUnused(KermitTransfer *, const uint8_t *, int)
{
    return -1;
}

int openFile(KermitTransfer *k, const char *name, int mode)
{
    if (mode != 1 || !name)
        return -1;
    kermitFinishTransfer(k);
    k->inputFile = std::fopen(name, "rb");
    if (!k->inputFile)
        return -1;
    k->s_first = 1;
    k->zincnt = 0;
    k->zinptr = k->zinbuf;
    return 0;
}

int32_t fileInfo(
    KermitTransfer *, const char *name, char *date, int dateLen, int16_t *type, int16_t)
{
    if (!date || dateLen < kInfoDateMinBytes || !name)
        return -1;
    struct stat st;
    if (::stat(name, &st) != 0)
        return -1;
    std::tm tm {};
    const std::time_t mtime = st.st_mtime;
    localtime_r(&mtime, &tm);
    std::snprintf(date, size_t(dateLen), "%04d%02d%02d %02d:%02d:%02d", tm.tm_year + 1900,
        tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    if (type)
        *type = 1; // binary: the content is never examined
    return int32_t(st.st_size);
}

int readFile(KermitTransfer *k)
{
    if (!k->zinptr)
        return -1;
    if (k->zincnt < 1) {
        if (!k->inputFile)
            return -1;
        const size_t n = std::fread(k->zinbuf, 1, size_t(k->zinlen), k->inputFile);
        k->zinbuf[n] = 0;
        if (n == 0) {
            // Not the end of the file: the upload must not pass for complete.
            if (std::ferror(k->inputFile))
                k->inputError = 1;
            return -1;
        }
        k->zincnt = int32_t(n);
        k->zinptr = k->zinbuf;
    }
    --k->zincnt;
    return *k->zinptr++;
}

int closeFile(KermitTransfer *k, char, int mode)
{
    if (mode != 1)
        return 0; // no output file is ever open when sending
    if (!k->inputFile)
        return 0;
    const int rc = std::fclose(k->inputFile);
    k->inputFile = nullptr;
    return rc == 0 ? 0 : -1;
}

void closeInput(KermitTransfer *k)
{
    if (k->closef)
        k->closef(k, 0, 1);
}

// Every way the transfer ends in failure: the input file does not stay open.
int failed(KermitTransfer *k)
{
    closeInput(k);
    return kKermitResultError;
}

void clearStatus(KermitStatus *s)
{
    if (s)
        std::memset(s, 0, sizeof *s);
}

void resetTransfer(KermitTransfer *k)
{
    k->version = kKermitVersion;
    k->remote = 1;
    k->xferMode = 1;
    k->binary = 1;
    k->state = kKermitStateIdleReceive;
    k->role = 2;
    k->s_first = 1;
    k->sendSeq = 0;
    k->expectedSeq = 0;
    k->startMarkSent = k->startMarkExpected = kKermitSOH;
    k->endMarkSent = k->endMarkExpected = kKermitCR;
    k->size = k->prevSize = 0;
    k->ownTimeoutSec = kKermitDefaultTimeoutSec;
    k->requestedTimeoutSec = kKermitRequestedTimeoutSec;
    k->recvLimit = kKermitMaxPacketBytes;
    k->sendMax = kKermitMaxPacketBytes;
    k->window = kMaxWindow;
    k->activeSlots = 1;
    k->parity = 0;
    k->retryLimit = kKermitDefaultRetryLimit;
    k->cancel = 0;
    k->ctlPrefixSent = k->ctlPrefixExpected = '#';
    k->ebqPrefix = 'Y';
    k->ebqOn = 0;
    k->rptPrefix = '~';
    k->rptCount = 0;
    k->rptOn = 0;
    k->bct = 3;
    k->capas = kKermitCapLongPackets | kKermitCapWindows | kKermitCapAttributes;
    kermitFillCrcTables(k);
    k->remainLen = 0;
    k->lastByte = -1;
    for (KermitRecvSlot &slot : k->rslots) {
        slot.len = 0;
        slot.seq = -1;
        slot.type = ' ';
        slot.data = nullptr;
    }
    k->sendLen = 0;
    k->xdata[0] = 0;
    k->fileName = nullptr;
    k->inputText = nullptr;
    k->retries = 0;
    k->fileStopped = 0;
    k->inputError = 0;
    k->readerCount = k->readerPos = 0;
}

int sendError(KermitTransfer *k, const char *msg)
{
    if (!k->forceType3)
        k->bct = 1;
    return spkt('E', 0, -1, reinterpret_cast<const uint8_t *>(msg ? msg : ""), k);
}

// Our Send-Init parameters; with type 'S' they also go out as the Send-Init packet.
int spar(KermitTransfer *k, char type)
{
    if (k->parity && k->ebqPrefix == 'Y')
        k->ebqPrefix = '&';
    char *p = k->sparBuf;
    p[0] = char(kermitToChar(94));
    p[1] = char(kermitToChar(k->requestedTimeoutSec));
    p[2] = char(kermitToChar(0));
    p[3] = char(0 ^ 64);
    p[4] = char(kermitToChar(k->endMarkExpected));
    p[5] = k->ctlPrefixSent;
    p[6] = k->ebqPrefix;
    p[7] = k->forceType3 ? '5' : char('0' + k->bct);
    p[8] = k->rptPrefix;
    p[9] = char(kermitToChar(k->capas));
    p[10] = char(kermitToChar(k->window));
    p[11] = char(kermitToChar(k->recvLimit / 95));
    p[12] = char(kermitToChar(k->recvLimit % 95));
    p[kSparLength] = 0;
    if (type != 'S')
        return 0;
    const int16_t bct = k->bct;
    if (!k->forceType3)
        k->bct = 1; // the receiver does not know our check type yet
    const int rc = spkt('S', 0, kSparLength, reinterpret_cast<const uint8_t *>(p), k);
    if (!k->forceType3)
        k->bct = bct;
    return rc;
}

// Applies the receiver's Send-Init parameters.
void rpar(KermitTransfer *k, const uint8_t *d, int n)
{
    if (n >= 1) {
        const int maxl = kermitUnChar(d[0]);
        // A blank or tiny MAXL leaves no room for data; the protocol's default applies.
        k->sendMax = maxl < kShortPacketFloor ? kShortPacketDefault : maxl;
    }
    if (n >= 2)
        k->ownTimeoutSec = kermitUnChar(d[1]);
    if (n >= 5 && kermitUnChar(d[4]) != 0)
        k->endMarkSent = int16_t(kermitUnChar(d[4]));
    if (n >= 6)
        k->ctlPrefixExpected = char(d[5]);
    if (n >= 7) {
        const char q = char(d[6]);
        k->ebqPrefix = q;
        if (isPrefixChar(q)) {
            k->ebqOn = 1;
            if (!k->parity)
                k->parity = 1;
        } else if (q == 'Y' && k->parity) {
            k->ebqPrefix = '&';
            k->ebqOn = 1;
        } else {
            k->ebqOn = 0;
        }
    }
    if (n >= 8) {
        const int t = d[7] - '0';
        k->bct = int16_t(t >= 1 && t <= 3 ? t : 1);
    } else {
        k->bct = 1; // a receiver that states no check type only knows type 1
    }
    if (k->forceType3)
        k->bct = 3;
    if (n >= 9 && isPrefixChar(d[8])) {
        k->rptPrefix = char(d[8]);
        k->rptOn = 1;
    }
    constexpr uint16_t kNegotiated
        = kKermitCapLongPackets | kKermitCapWindows | kKermitCapAttributes;
    if (n < 10) {
        // Without CAPAS the receiver has agreed to none of them.
        k->capas &= uint16_t(~(kNegotiated | 16 | 32));
        return;
    }
    const int theirs = kermitUnChar(d[9]);
    k->capas = uint16_t((k->capas & ~(kNegotiated | 16 | 32)) | (k->capas & theirs & kNegotiated));
    int last = 9; // the last CAPAS character; further ones follow while bit 1 is set
    while (last + 1 < n && (kermitUnChar(d[last]) & 1))
        ++last;
    const int windo = last + 1;
    if ((k->capas & kKermitCapLongPackets) && n > windo + 2) {
        int maxlx = kermitUnChar(d[windo + 1]) * 95 + kermitUnChar(d[windo + 2]);
        maxlx = std::min(maxlx, kMaxRemoteLongPacket);
        k->sendMax = maxlx < kLongPacketFloor ? kLongPacketFallback : maxlx;
    }
    if ((k->capas & kKermitCapWindows) && n > windo) {
        int w = std::min(int(uint8_t(kermitUnChar(d[windo]))), kMaxWindow);
        if (w == 0)
            w = 1;
        k->window = int16_t(w);
        if (w > 1 && w > k->retryLimit)
            k->retryLimit = int16_t(w + 1);
    }
}

// Attribute packet: type, length and date of the file.
int sattr(KermitTransfer *k, KermitStatus *s)
{
    char date[20] = {};
    int16_t type = 0;
    const int32_t size
        = k->finfo ? k->finfo(k, k->fileName, date, int(sizeof date), &type, k->xferMode) : -1;
    if (size < 0)
        date[0] = 0;
    char *x = reinterpret_cast<char *>(k->xdata);
    int at = 0;
    x[at++] = '"';
    x[at++] = char(kermitToChar(2));
    x[at++] = 'B';
    x[at++] = '8';
    if (size >= 0) {
        if (s)
            s->filesize = size;
        char digits[16];
        const int n = std::snprintf(digits, sizeof digits, "%d", int(size));
        if (at + n < kAttrTextLimit) {
            x[at++] = '1';
            x[at++] = char(kermitToChar(n));
            std::memcpy(x + at, digits, size_t(n));
            at += n;
        }
    }
    const int dateLen = int(std::strlen(date));
    if (dateLen > 0 && at + dateLen < kAttrTextLimit) {
        x[at++] = '#';
        x[at++] = char(kermitToChar(17));
        std::memcpy(x + at, date, size_t(dateLen));
        at += dateLen;
        if (s) {
            const size_t kept = std::min(size_t(dateLen), sizeof s->filedate - 1);
            std::memcpy(s->filedate, date, kept);
            s->filedate[kept] = 0;
        }
    }
    x[at++] = '@';
    x[at++] = char(kermitToChar(0));
    x[at] = 0;
    k->size = at;
    return spkt('A', k->sendSeq, at, k->xdata, k);
}

// Next data packet: its size, 0 at the end of the file, -1 when the write failed.
int sdata(KermitTransfer *k, KermitStatus *s)
{
    if (k->cancel)
        return 0;
    const int n = getpkt(k, s);
    if (k->inputError) {
        sendError(k, kReadFailed);
        return -1;
    }
    if (n < 1)
        return 0;
    return spkt('D', k->sendSeq, n, k->xdata, k) < 0 ? -1 : n;
}

int endOfFile(KermitTransfer *k)
{
    const int rc = spkt('Z', k->sendSeq, 0, nullptr, k);
    closeInput(k);
    k->state = kKermitStateEofWait;
    return rc;
}

// Opens and announces the next file of the list, or ends the transfer with "B".
int nextFile(KermitTransfer *k, KermitStatus *s)
{
    if (!k->fileList || !*k->fileList) {
        k->state = kKermitStateBreakWait;
        return spkt('B', k->sendSeq, 0, nullptr, k);
    }
    const char *name = *k->fileList++;
    k->fileName = name;
    if (s) {
        std::strncpy(s->filename, name, sizeof s->filename - 1);
        s->filename[sizeof s->filename - 1] = 0;
    }
    if (!k->openf || k->openf(k, name, 1) < 0) {
        qCDebug(lcKermit).noquote() << "kermitStep() - cannot open" << name;
        return -1;
    }
    k->inputText = name;
    k->s_first = 1;
    const int n = getpkt(k, s);
    k->inputText = nullptr;
    k->s_first = 1;
    const int rc = spkt('F', k->sendSeq, n, k->xdata, k);
    if (s)
        s->bytesSoFar = 0;
    k->state = kKermitStateFileWait;
    return rc;
}

// A reply that does not move the transfer on: send the last packet again, unless the
// receiver has had its share of retries.
int retry(KermitTransfer *k)
{
    if (k->retries++ > k->retryLimit) {
        qCDebug(lcKermit).noquote() << "kermitStep() -" << k->retries << "retries, giving up";
        sendError(k, kTooManyRetries);
        return failed(k);
    }
    return resend(k) < 0 ? failed(k) : kKermitResultContinue;
}

// One reply of the receiver.
int run(KermitTransfer *k, int slotIndex, int len, const char *msg, KermitStatus *s)
{
    if (slotIndex < 0 || slotIndex >= kKermitRecvSlots)
        return kKermitResultNoSlot;
    KermitRecvSlot &slot = k->rslots[slotIndex];
    slot.len = len;
    KermitPacketInfo info {};
    if (len < 4 || kermitCheckPacket(k, slot.buf, len, &info) != kKermitCheckGood) {
        freeRecvSlot(k, slotIndex);
        return retry(k);
    }
    slot.seq = int16_t(info.seq);
    slot.type = info.type;
    slot.data = info.data;
    // The receiver wants type 3 on everything from now on.
    if (k->state == kKermitStateSendInitWait && info.type == 'Y' && info.dataLen >= 8
        && info.data[7] == '5')
        k->forceType3 = 1;
    if (info.type == 'E') {
        freeRecvSlot(k, slotIndex);
        qCDebug(lcKermit).noquote() << "kermitStep() - error packet from the receiver:"
                                    << reinterpret_cast<const char *>(info.data);
        return failed(k);
    }
    if (info.seq != k->expectedSeq || info.type != 'Y') {
        freeRecvSlot(k, slotIndex);
        return retry(k);
    }
    k->retries = 0;
    const uint8_t *data = info.data;
    const int dataLen = info.dataLen;
    freeRecvSlot(k, slotIndex);

    if (k->state == kKermitStateData
        && ((dataLen > 0 && (data[0] == 'X' || data[0] == 'Z')) || k->cancel)) {
        // The receiver stops this file (or the group, with "Z"): it ends cleanly with
        // "Z" and "B", but the upload has failed.
        qCDebug(lcKermit).noquote() << "kermitStep() - the receiver stopped the file";
        k->fileStopped = 1;
        closeInput(k);
        k->sendSeq = int16_t((k->sendSeq + 1) % 64);
        const bool skipGroup = (dataLen > 0 && data[0] == 'Z') || k->cancel == 2;
        const int rc = spkt('Z', k->sendSeq, 0, nullptr, k);
        if (skipGroup && k->fileList)
            while (*k->fileList)
                ++k->fileList;
        k->state = kKermitStateEofWait;
        k->expectedSeq = k->sendSeq;
        return rc < 0 ? failed(k) : kKermitResultContinue;
    }

    if (k->state == kKermitStateBreakWait)
        return k->fileStopped ? kKermitResultError : kKermitResultDone;

    int rc = 0;
    const bool known = k->state >= kKermitStateSendInitWait && k->state <= kKermitStateEofWait;
    if (!known) {
        sendError(k, msg);
        return failed(k);
    }
    k->sendSeq = int16_t((k->sendSeq + 1) % 64);
    k->size = 0;
    k->xdata[0] = 0;
    switch (k->state) {
    case kKermitStateSendInitWait:
        rpar(k, data, dataLen);
        rc = nextFile(k, s);
        break;
    case kKermitStateEofWait:
        rc = nextFile(k, s);
        break;
    case kKermitStateFileWait:
        if (k->capas & kKermitCapAttributes) {
            rc = sattr(k, s);
            k->state = kKermitStateAttrWait;
            break;
        }
        [[fallthrough]];
    case kKermitStateAttrWait:
        k->state = kKermitStateData;
        [[fallthrough]];
    case kKermitStateData: {
        const int n = sdata(k, s);
        if (n < 0)
            return failed(k);
        if (n == 0)
            rc = endOfFile(k);
        break;
    }
    default:
        break;
    }
    if (rc < 0)
        return failed(k);
    k->expectedSeq = k->sendSeq;
    return kKermitResultContinue;
}

} // namespace

void kermitFinishTransfer(KermitTransfer *k)
{
    if (k && k->inputFile) {
        std::fclose(k->inputFile);
        k->inputFile = nullptr;
    }
}

int kermitInitTransfer(KermitTransfer *k, KermitStatus *s, char **fileList, CSerialIF *serial)
{
    if (!k)
        return -1;
    // Zero-filled first: no trace, force type 3 off, an empty input buffer. The init
    // step sets the protocol values and clears the status record.
    std::memset(static_cast<void *>(k), 0, sizeof *k);
    k->fileList = fileList;
    k->zinbuf = k->fileBuf;
    k->zinlen = kKermitFileBufBytes;
    k->rxd = readpkt;
    k->txd = tx_data;
    k->ixd = inputCheck;
    k->openf = openFile;
    k->finfo = fileInfo;
    k->readf = readFile;
    k->writef = writeFileUnused;
    k->closef = closeFile;
    k->serial = serial;
    k->timeScale = 1.0;
    return kermitStep(kKermitActionInit, k, -1, 0, "", s);
}

int kermitStep(int action, KermitTransfer *k, int slot, int len, const char *msg, KermitStatus *s)
{
    if (!k)
        return kKermitResultError;
    int rc = 0;
    switch (action) {
    case kKermitActionInit:
        resetTransfer(k);
        clearStatus(s);
        break;
    case kKermitActionSend:
        k->role = 1;
        k->sendSeq = 0;
        k->expectedSeq = 0;
        k->state = kKermitStateSendInitWait;
        rc = spar(k, 'S') < 0 ? kKermitResultError : 0;
        break;
    case kKermitActionRun:
        rc = run(k, slot, len, msg, s);
        break;
    case kKermitActionStatus:
        rc = kKermitResultStatus;
        break;
    case kKermitActionQuit:
        closeInput(k);
        rc = kKermitResultDone;
        break;
    case kKermitActionError:
        sendError(k, msg);
        closeInput(k);
        rc = kKermitResultDone;
        break;
    default:
        rc = kKermitResultError;
        break;
    }
    if (s)
        s->state = k->state;
    return rc;
}
