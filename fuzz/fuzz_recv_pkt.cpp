// Feeds arbitrary bytes to the packet reader and reply decoder through an in-memory port.
//
// Input: byte 0 picks the request being answered, bytes 1-4 the expected parameter ID
// (big-endian), the rest is what arrives on the line. The port reports itself unplugged
// once the bytes are used up, so no input waits for a time-out.
#include "comm_protocol.h"
#include "fake_serial_if.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr const char *kRequests[] = { "HWDY", "YUHU", "PG32", "PS32", "PGST", "PSST", "PGID",
    "PSID", "PGNM", "PSNM", "EDTM", "HURU", "NACK" };
constexpr size_t kRequestCount = sizeof kRequests / sizeof kRequests[0];
constexpr int kMaxPacketsPerInput = 8;

// Unplugs itself once the scripted bytes are used up.
class DrainingPort : public FakeSerialIF
{
public:
    uint32_t Read(uint8_t *buffer, uint32_t length) override
    {
        if (input.isEmpty()) {
            setOpen(false);
            return 0;
        }
        return FakeSerialIF::Read(buffer, length);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    uint32_t request;
    std::memcpy(&request, kRequests[data[0] % kRequestCount], 4);
    const uint32_t expected = uint32_t(data[1]) << 24 | uint32_t(data[2]) << 16
        | uint32_t(data[3]) << 8 | uint32_t(data[4]);

    DrainingPort port;
    port.flushDiscardsInput = false;
    port.queueInput(QByteArray(reinterpret_cast<const char *>(data + 5), int(size - 5)));
    port.maxReadChunk = (data[0] >> 4) + 1; // vary how the bytes are split across reads

    CCommProtocol proto(&port, nullptr);
    for (int i = 0; i < kMaxPacketsPerInput && port.IsOpen(); ++i) {
        QString value = QStringLiteral("seed");
        const eResult_t r = proto.recvPkt(request, value, expected);
        if (r < eResultOK || r > eResultUnknownError)
            __builtin_trap();
    }
    return 0;
}
