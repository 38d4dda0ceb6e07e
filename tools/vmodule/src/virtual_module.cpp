#include "virtual_module.h"

#include "comm_protocol.h"
#include "module_model.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QtEndian>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcVmodule, "trivo.vmodule", QtInfoMsg)

namespace {

// A partial frame that sees no new byte for this long is garbage: hunt past it.
constexpr qint64 kStaleFrameMs = 1500;
constexpr int kPollIntervalMs = 5;
constexpr int kWriteStallMs = 1000;
// Bytes that can never form a packet type, so noise cannot fake a header.
const char kNoise[] = { '\x00', '\xFF', '\x55', '\xAA', '\x0D', '\x0A', '\x7E' };

void makeRaw(int fd)
{
    termios tio {};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
}

QString escapeField(QString s)
{
    return s.replace('\\', "\\\\").replace('\t', "\\t").replace('\n', "\\n");
}

} // namespace

bool VmLogFile::open(const QString &path)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFile.setFileName(path);
    return mFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void VmLogFile::write(const QString &module, const VmRequest &r)
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mFile.isOpen())
        return;
    const QString line = QStringList { escapeField(module), escapeField(r.type),
        escapeField(r.param), escapeField(r.value) }
                             .join('\t');
    mFile.write(line.toUtf8() + '\n');
    mFile.flush();
}

VirtualModule::VirtualModule(const VmConfig &config, const QString &linkDir)
    : mConfig(config)
    , mLinkDir(linkDir)
{
    vmCompleteConfig(mConfig);
    if (mConfig.name.isEmpty())
        mConfig.name = mConfig.productId;
    mLinkPath = QDir(linkDir).filePath(mConfig.name);
    mModel = std::make_unique<ModuleModel>(mConfig);
}

VirtualModule::~VirtualModule()
{
    stop();
}

qint64 VirtualModule::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() - mStartMs;
}

bool VirtualModule::start(QString *error)
{
    std::unique_lock<std::mutex> lock(mMutex);
    if (mThread.joinable())
        return true;
    mStartMs = 0;
    mStartMs = nowMs();
    if (!QDir().mkpath(mLinkDir)) {
        if (error)
            *error = QString("cannot create %1").arg(mLinkDir);
        return false;
    }
    if (!plugLocked(error))
        return false;
    mStop = false;
    mThread = std::thread([this] { run(); });
    return true;
}

void VirtualModule::stop()
{
    mStop = true;
    if (mThread.joinable())
        mThread.join();
    std::lock_guard<std::mutex> lock(mMutex);
    unplugLocked(nowMs(), -1, false);
}

bool VirtualModule::plugLocked(QString *error)
{
    const auto failWith = [&](const QString &what) {
        if (error)
            *error = QString("%1: %2").arg(what, QString::fromLocal8Bit(strerror(errno)));
        if (mSlave >= 0)
            ::close(mSlave);
        if (mMaster >= 0)
            ::close(mMaster);
        mSlave = mMaster = -1;
        return false;
    };
    mMaster = posix_openpt(O_RDWR | O_NOCTTY);
    if (mMaster < 0)
        return failWith("posix_openpt");
    if (grantpt(mMaster) != 0 || unlockpt(mMaster) != 0)
        return failWith("grantpt/unlockpt");
    const char *slaveName = ptsname(mMaster);
    if (!slaveName)
        return failWith("ptsname");
    mDevicePath = QString::fromLocal8Bit(slaveName);
    mSlave = ::open(slaveName, O_RDWR | O_NOCTTY);
    if (mSlave < 0)
        return failWith("open " + mDevicePath);
    // Raw on both ends: no echo of our replies, no line editing of binary frames.
    makeRaw(mMaster);
    makeRaw(mSlave);
    fcntl(mMaster, F_SETFL, fcntl(mMaster, F_GETFL) | O_NONBLOCK);

    QFile::remove(mLinkPath);
    if (::symlink(slaveName, QFile::encodeName(mLinkPath).constData()) != 0)
        return failWith("symlink " + mLinkPath);
    mRx.clear();
    mPending.clear();
    mTransfer.reset();
    ++mPlugCount;
    mModel->boot(nowMs());
    qCInfo(lcVmodule).noquote() << mConfig.name << "plugged in on" << mDevicePath;
    mPlugChanged.notify_all();
    return true;
}

void VirtualModule::unplugLocked(qint64 now, int returnMs, bool reboot)
{
    if (mMaster < 0 && mSlave < 0)
        return;
    QFile::remove(mLinkPath);
    if (mSlave >= 0)
        ::close(mSlave);
    if (mMaster >= 0)
        ::close(mMaster);
    mSlave = mMaster = -1;
    mDevicePath.clear();
    mRx.clear();
    mPending.clear();
    if (mTransfer) {
        mLastTransferError = "unplugged during the transfer";
        mTransfer.reset();
    }
    if (reboot)
        mModel->applyReboot(now);
    mReplugAtMs = returnMs >= 0 ? now + returnMs : -1;
    qCInfo(lcVmodule).noquote() << mConfig.name << (reboot ? "rebooting" : "unplugged");
    mPlugChanged.notify_all();
}

void VirtualModule::unplug(int returnMs)
{
    std::lock_guard<std::mutex> lock(mMutex);
    unplugLocked(nowMs(), returnMs, false);
}

QString VirtualModule::devicePath() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mDevicePath;
}

bool VirtualModule::isPlugged() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mMaster >= 0;
}

int VirtualModule::plugCount() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPlugCount;
}

bool VirtualModule::waitPlugged(bool plugged, int timeoutMs, int minPlugCount) const
{
    std::unique_lock<std::mutex> lock(mMutex);
    return mPlugChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
        [&] { return (mMaster >= 0) == plugged && mPlugCount >= minPlugCount; });
}

QList<VmRequest> VirtualModule::requests() const
{
    // A list of its own: a shared one would be detached later, without the lock, while the
    // module's thread appends to it.
    std::lock_guard<std::mutex> lock(mMutex);
    return QList<VmRequest>(mRequests.cbegin(), mRequests.cend());
}

void VirtualModule::clearRequests()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRequests.clear();
}

void VirtualModule::setLogFile(std::shared_ptr<VmLogFile> log)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mLogFile = std::move(log);
}

void VirtualModule::setFaults(const VmFaults &faults)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mConfig.faults = faults;
    mRequestCount = 0;
    mReplyCount = 0;
}

VmFaults VirtualModule::faults() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mConfig.faults;
}

QList<KermitReceivedFile> VirtualModule::receivedFiles() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return QList<KermitReceivedFile>(mReceived.cbegin(), mReceived.cend());
}

QString VirtualModule::lastTransferError() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLastTransferError;
}

QString VirtualModule::peek(const QString &key) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    QString value;
    mModel->peek(key, nowMs(), value);
    return value;
}

void VirtualModule::logLocked(const VmRequest &request)
{
    mRequests.append(request);
    if (mLogFile)
        mLogFile->write(mConfig.name, request);
}

void VirtualModule::writeLocked(const QByteArray &bytes)
{
    qint64 done = 0;
    qint64 stalledSince = -1;
    while (mMaster >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(mMaster, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            stalledSince = -1;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        // Nobody drains the line: give up rather than hang the module.
        const qint64 now = nowMs();
        if (stalledSince < 0)
            stalledSince = now;
        else if (now - stalledSince > kWriteStallMs)
            return;
        pollfd p { mMaster, POLLOUT, 0 };
        ::poll(&p, 1, kPollIntervalMs);
    }
}

void VirtualModule::run()
{
    QByteArray buffer(4096, '\0');
    while (!mStop) {
        int fd;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            fd = mMaster;
        }
        bool gotBytes = false;
        if (fd >= 0) {
            pollfd p { fd, POLLIN, 0 };
            if (::poll(&p, 1, kPollIntervalMs) > 0 && (p.revents & POLLIN)) {
                std::lock_guard<std::mutex> lock(mMutex);
                if (mMaster == fd) {
                    const ssize_t n = ::read(fd, buffer.data(), size_t(buffer.size()));
                    if (n > 0) {
                        gotBytes = true;
                        onBytesLocked(buffer.left(int(n)), nowMs());
                    }
                }
            } else if (p.revents & (POLLHUP | POLLERR)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(kPollIntervalMs));
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollIntervalMs));
        }

        std::lock_guard<std::mutex> lock(mMutex);
        const qint64 now = nowMs();
        // Replies that are due, in order.
        while (!mPending.isEmpty() && mPending.first().dueMs <= now) {
            const Pending p = mPending.takeFirst();
            writeLocked(p.bytes);
            if (p.after == int(ModuleModel::After::EnterTransfer)) {
                KermitReceiverOptions o;
                o.chkt = mConfig.kermitChkt;
                o.longPackets = mConfig.kermitLongPackets;
                o.maxPacketLen = mConfig.kermitMaxLen;
                o.window = mConfig.kermitWindow;
                o.attributes = mConfig.kermitAttributes;
                o.qbin = mConfig.kermitQbin;
                o.rept = mConfig.kermitRept;
                o.timeoutMs = mConfig.kermitTimeoutMs;
                o.nakEvery = mConfig.faults.kermitNakEvery;
                o.prevSeqCount = mConfig.faults.kermitPrevSeq;
                mTransfer = std::make_unique<KermitReceiver>(o);
                // Bytes that came in behind the request are already the sender's.
                const QByteArray early = mRx;
                mRx.clear();
                if (!early.isEmpty())
                    feedTransferLocked(early, now);
            } else if (p.after == int(ModuleModel::After::Reboot)) {
                mUnplugAtMs = now + mConfig.rebootDelayMs;
                mRebootPending = true;
            }
        }
        if (mTransfer) {
            writeLocked(mTransfer->poll(now));
            if (mTransfer && mTransfer->status() != KermitReceiver::Status::Running)
                finishTransferLocked(now);
        }
        if (mUnplugAtMs >= 0 && now >= mUnplugAtMs) {
            mUnplugAtMs = -1;
            const bool reboot = mRebootPending;
            mRebootPending = false;
            unplugLocked(now, reboot ? mConfig.returnDelayMs : -1, reboot);
        }
        if (mMaster < 0 && mReplugAtMs >= 0 && now >= mReplugAtMs) {
            mReplugAtMs = -1;
            QString error;
            if (!plugLocked(&error))
                qCWarning(lcVmodule).noquote() << mConfig.name << "cannot come back:" << error;
        }
        // A frame that stopped half-way: skip its first byte and hunt again.
        if (!gotBytes && !mTransfer && mRx.size() >= 4 && now - mLastRxMs > kStaleFrameMs) {
            mRx.remove(0, 1);
            parseFramesLocked(now);
        }
    }
}

void VirtualModule::onBytesLocked(const QByteArray &bytes, qint64 now)
{
    mLastRxMs = now;
    if (mTransfer) {
        feedTransferLocked(bytes, now);
        return;
    }
    mRx += bytes;
    parseFramesLocked(now);
}

void VirtualModule::feedTransferLocked(const QByteArray &bytes, qint64 now)
{
    writeLocked(mTransfer->feed(bytes, now));
    const qint64 limit = mConfig.faults.unplugAfterBytes;
    if (limit >= 0 && mTransfer->bytesReceived() >= limit) {
        unplugLocked(now, mConfig.faults.unplugReturnMs, false);
        return;
    }
    if (mTransfer->status() != KermitReceiver::Status::Running)
        finishTransferLocked(now);
}

void VirtualModule::finishTransferLocked(qint64 now)
{
    VmRequest log;
    log.ms = now;
    log.type = "KRMT";
    if (mTransfer->status() == KermitReceiver::Status::Complete) {
        mLastTransferError.clear();
        for (const KermitReceivedFile &f : mTransfer->files()) {
            mReceived.append(f);
            if (f.complete)
                mModel->storeUpload(f);
            if (!mConfig.storeDir.isEmpty()) {
                QDir().mkpath(mConfig.storeDir);
                QFile out(QDir(mConfig.storeDir).filePath(QFileInfo(f.name).fileName()));
                if (out.open(QIODevice::WriteOnly))
                    out.write(f.data);
            }
            log.param = f.name;
            log.value = QString::number(f.data.size());
        }
    } else {
        mLastTransferError = mTransfer->error();
        log.value = mLastTransferError;
    }
    logLocked(log);
    mTransfer.reset();
}

VmFrame vmTakeFrame(QByteArray &rx)
{
    const CCommProtocol::DescTable &table = CCommProtocol::descriptorTable();
    VmFrame f;
    int start = -1;
    for (int i = 0; i + 4 <= rx.size(); ++i) {
        std::memcpy(&f.type, rx.constData() + i, 4);
        if (table.count(f.type)) {
            start = i;
            break;
        }
    }
    if (start < 0) {
        if (rx.size() > 3)
            rx.remove(0, rx.size() - 3);
        return f;
    }
    rx.remove(0, start);
    const CCommProtocol::pktDesc_t *desc = table.at(f.type);
    const bool hasLength = desc->minPayloadLen != 0;
    if (rx.size() < 8)
        return f;
    uint32_t n = 0;
    if (hasLength) {
        n = qFromBigEndian<uint32_t>(rx.constData() + 4);
        if (n < desc->minPayloadLen || n > desc->maxPayloadLen) {
            rx.remove(0, 4);
            f.kind = VmFrame::Kind::Refused;
            f.nackReason = n < desc->minPayloadLen ? "PYLLSHRT" : "PYLLLONG";
            return f;
        }
    }
    const int headerLen = hasLength ? 8 : 4;
    const int frameLen = headerLen + int(n) + 4;
    if (rx.size() < frameLen)
        return f;
    f.payload = rx.mid(headerLen, int(n));
    uint8_t header[8] = {};
    std::memcpy(header, rx.constData(), size_t(headerLen));
    const uint32_t crc
        = crc32Compute(f.payload.constData(), size_t(n), crc32Compute(header, sizeof header, 0));
    const uint32_t got = qFromBigEndian<uint32_t>(rx.constData() + headerLen + n);
    rx.remove(0, frameLen);
    if (crc != got) {
        f.kind = VmFrame::Kind::Refused;
        f.nackReason = "INVLDCRC";
        f.payload.clear();
        return f;
    }
    f.kind = VmFrame::Kind::Request;
    return f;
}

void VirtualModule::parseFramesLocked(qint64 now)
{
    while (!mTransfer) {
        const VmFrame f = vmTakeFrame(mRx);
        if (f.kind == VmFrame::Kind::Incomplete)
            return;
        if (f.kind == VmFrame::Kind::Refused)
            nackLocked(f.nackReason, f.type, now);
        else
            dispatchLocked(f.type, f.payload, now);
    }
}

void VirtualModule::nackLocked(const char *reason, uint32_t type, qint64 now)
{
    VmRequest log;
    log.ms = now;
    log.type = CCommProtocol::typeToString(type);
    log.value = reason;
    logLocked(log);
    queueReplyLocked(PktType("NACK"), QByteArray(reason, 8), 0, now);
}

void VirtualModule::dispatchLocked(uint32_t type, const QByteArray &payload, qint64 now)
{
    const VmFaults &f = mConfig.faults;
    ++mRequestCount;
    VmRequest log;
    log.ms = now;
    if (f.silenceAfter >= 0 && mRequestCount > f.silenceAfter) {
        log.type = CCommProtocol::typeToString(type);
        log.value = "(silent)";
        logLocked(log);
        return;
    }
    const bool nackParam = f.nackParam == 0
        || (payload.size() >= 4 && qFromBigEndian<uint32_t>(payload.constData()) == f.nackParam);
    if (!f.nackReason.isEmpty() && nackParam
        && (f.nackType.isEmpty() || f.nackType == CCommProtocol::typeToString(type).toLatin1())) {
        log.type = CCommProtocol::typeToString(type);
        log.value = "NACK " + QString::fromLatin1(f.nackReason);
        logLocked(log);
        QByteArray reason = f.nackReason.left(8);
        reason.append(8 - reason.size(), '\0');
        queueReplyLocked(PktType("NACK"), reason, 0, now);
        return;
    }
    const ModuleModel::Reply reply = mModel->handle(type, payload, now, log);
    logLocked(log);
    queueReplyLocked(reply.type, reply.payload, int(reply.after), now);
}

void VirtualModule::queueReplyLocked(
    uint32_t type, const QByteArray &payload, int after, qint64 now)
{
    const VmFaults &f = mConfig.faults;
    ++mReplyCount;
    const bool unansweredReboot = f.rebootUnanswered && after == int(ModuleModel::After::Reboot);
    if (unansweredReboot || (f.dropEvery > 0 && mReplyCount % f.dropEvery == 0)) {
        // The request was carried out; only its answer is lost. A lost "DTMI" leaves the
        // module in packet mode, as the sender never starts.
        if (after == int(ModuleModel::After::Reboot))
            mPending.append({ now + f.slowReplyMs, QByteArray(), after });
        return;
    }
    const uint32_t n = uint32_t(payload.size());
    pkt_t pkt;
    pkt.type = type;
    pkt.payloadLen = qToBigEndian(n);
    pkt.payload
        = n ? reinterpret_cast<uint8_t *>(const_cast<char *>(payload.constData())) : nullptr;
    uint8_t header[8];
    std::memcpy(header, &pkt.type, 4);
    std::memcpy(header + 4, &pkt.payloadLen, 4);
    pkt.crc = qToBigEndian(crc32Compute(payload.constData(), n, crc32Compute(header, 8, 0)));
    QByteArray frame = CCommProtocol::frame(&pkt);
    if (f.badCrcEvery > 0 && mReplyCount % f.badCrcEvery == 0)
        frame[frame.size() - 1] = char(frame[frame.size() - 1] ^ 0x5A);
    QByteArray bytes;
    for (int i = 0; i < f.noiseBytes; ++i)
        bytes += kNoise[i % int(sizeof kNoise)];
    bytes += frame;
    if (f.stallAfterBytes >= 0)
        bytes.truncate(f.stallAfterBytes);
    mPending.append({ now + f.slowReplyMs, bytes, after });
}
