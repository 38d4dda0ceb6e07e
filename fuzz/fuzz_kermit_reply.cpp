// Feeds arbitrary receiver bytes to the Kermit sender: its reader, the packet check and the
// step engine, from a chosen point of a transfer.
//
// Input: byte 0 picks how far the virtual module's receiver takes the transfer before the
// rest of the input answers instead (bits 0-1: right after the Send-Init, the file header,
// the attributes or the first data packet), the block check that receiver offers (bits 2-3:
// 1, 2, 3 or 5) and how many bytes one port read delivers (bits 4-6). The port reports
// itself unplugged once the bytes are used up, so no input waits for a time-out.
//
// Besides the sanitizers, a finding is: a result the step engine does not define, "done"
// before the end-of-transfer exchange, a receive slot never given back, or an input file
// left open when the transfer has ended.
#include "fake_serial_if.h"
#include "kermit.h"
#include "kermit_receiver.h"

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::string gFile;

void removeFile()
{
    ::unlink(gFile.c_str());
}

constexpr int kReaderFailed = -100;

// One step of the upload loop: the step result, or kReaderFailed.
int step(KermitTransfer *k, KermitStatus *st)
{
    uint8_t *buf = nullptr;
    const int slot = getRecvSlot(k, &buf);
    if (slot < 0)
        __builtin_trap();
    int len = readpkt(k, buf, kKermitRecvBufBytes);
    if (len < 1) {
        freeRecvSlot(k, slot);
        if (len < 0)
            return kReaderFailed;
        len = 0;
    }
    const int stateBefore = k->state;
    const int rc = kermitStep(kKermitActionRun, k, slot, len, "", st);
    if (rc != kKermitResultError && rc != kKermitResultContinue && rc != kKermitResultDone)
        __builtin_trap();
    if (rc == kKermitResultDone && stateBefore != kKermitStateBreakWait)
        __builtin_trap();
    return rc;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A file of a few data packets, with runs and control characters.
    char name[] = "/tmp/fuzz_kermit_reply.XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0)
        std::abort();
    std::string content;
    for (int i = 0; i < 6000; ++i)
        content += char(i % 7 == 0 ? 0x0D : (i / 50) % 3 ? i * 31 : 'A');
    if (::write(fd, content.data(), content.size()) != ssize_t(content.size()))
        std::abort();
    ::close(fd);
    gFile = name;
    std::atexit(removeFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const int kStopStates[] = { kKermitStateSendInitWait, kKermitStateFileWait,
        kKermitStateAttrWait, kKermitStateData };
    const int stopState = kStopStates[data[0] & 3];
    KermitReceiverOptions options;
    options.chkt = "1235"[(data[0] >> 2) & 3];
    KermitReceiver receiver(options);

    FakeSerialIF port;
    port.setResponder([&receiver](const QByteArray &w) { return receiver.feed(w, 0); });
    auto k = std::make_unique<KermitTransfer>();
    KermitStatus st {};
    char *files[2] = { gFile.data(), nullptr };
    if (kermitInitTransfer(k.get(), &st, files, &port) != 0
        || kermitStep(kKermitActionSend, k.get(), -1, 0, "", &st) != 0)
        __builtin_trap();
    int rc = kKermitResultContinue;
    while (k->state != stopState && rc == kKermitResultContinue)
        rc = step(k.get(), &st);

    // From here the input answers.
    port.setResponder({});
    port.input = QByteArray(reinterpret_cast<const char *>(data + 1), int(size - 1));
    port.disconnectAfterReadBytes = int(port.totalRead + port.input.size());
    port.maxReadChunk = ((data[0] >> 4) & 7) + 1;
    while (rc == kKermitResultContinue)
        rc = step(k.get(), &st);
    if (rc != kReaderFailed && k->inputFile)
        __builtin_trap();
    kermitFinishTransfer(k.get());
    return 0;
}
