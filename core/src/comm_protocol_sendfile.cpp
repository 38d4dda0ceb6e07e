// File upload: "EDTM" switches the module to a Kermit transfer on the same port.

#include "comm_protocol.h"
#include "kermit.h"
#include "serial_if.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

Q_LOGGING_CATEGORY(lcUpload, "trivo.upload", QtInfoMsg)

// Holds a protocol's one upload for the length of a call.
class UploadClaim
{
public:
    explicit UploadClaim(std::atomic<bool> &busy)
        : mBusy(busy)
        , mHeld(!busy.exchange(true))
    { }
    ~UploadClaim()
    {
        if (mHeld)
            mBusy = false;
    }
    UploadClaim(const UploadClaim &) = delete;
    UploadClaim &operator=(const UploadClaim &) = delete;
    bool held() const { return mHeld; }

private:
    std::atomic<bool> &mBusy;
    const bool mHeld;
};

struct TransferDeleter
{
    void operator()(KermitTransfer *k) const
    {
        kermitFinishTransfer(k); // the input file is closed on every way out
        delete k;
    }
};

} // namespace

bool CCommProtocol::sendFile(const char *path)
{
    const UploadClaim claim(mUploadBusy);
    if (!claim.held()) {
        qCDebug(lcUpload).noquote() << "CCommProtocol::sendFile() - another upload is running";
        return false;
    }
    if (mProgress)
        mProgress->SetProgress(0.0f);
    // Checked before "EDTM" so that a path the sender cannot take leaves the module alone.
    if (!path || std::strlen(path) >= size_t(kKermitFileNameBytes) || !mSerialIF || cancelled())
        return false;

    // One-entry file list; the transfer record is about 85 KB, so it lives on the heap.
    auto name = std::make_unique<char[]>(kKermitFileNameBytes);
    std::strncpy(name.get(), path, kKermitFileNameBytes - 1);
    name[kKermitFileNameBytes - 1] = 0;
    char *fileList[2] = { name.get(), nullptr };
    const std::unique_ptr<KermitTransfer, TransferDeleter> k(new KermitTransfer());
    const auto status = std::make_unique<KermitStatus>();
    if (kermitInitTransfer(k.get(), status.get(), fileList, mSerialIF) != 0)
        return false;
    k->stopFlag = mCancel.load();
    k->timeScale = mKermitTimeScale;
    const auto quit = [&] {
        kermitStep(kKermitActionError, k.get(), -1, 0, "User Quit", status.get());
        return false;
    };

    pkt_t pkt;
    makePktWord(&pkt, PktType("EDTM"), uint32_t(0));
    sendPkt(&pkt);
    QString value;
    if (recvPkt(PktType("EDTM"), value, kWildcardParamID) != eResultOK)
        return cancelled() ? quit() : false; // the module may be waiting for a transfer
    if (kermitStep(kKermitActionSend, k.get(), -1, 0, "", status.get()) == kKermitResultError)
        return false;

    for (;;) {
        if (cancelled())
            return quit();
        uint8_t *buf = nullptr;
        const int slot = getRecvSlot(k.get(), &buf);
        int len = readpkt(k.get(), buf, kKermitRecvBufBytes);
        if (len < 1 || cancelled()) {
            freeRecvSlot(k.get(), slot);
            if (cancelled())
                return quit();
            if (len < 0)
                return false;
            len = 0;
        }
        const int rc = kermitStep(kKermitActionRun, k.get(), slot, len, "", status.get());
        if (rc == kKermitResultError)
            return false;
        if (rc == kKermitResultDone)
            return true;
        if (rc == kKermitResultContinue && mProgress) {
            // An empty file has no fraction to report.
            const float fraction = status->filesize > 0
                ? std::min(1.0f, float(status->bytesSoFar) / float(status->filesize))
                : 0.0f;
            mProgress->SetProgress(fraction);
        }
    }
}
