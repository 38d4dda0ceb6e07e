// Feeds arbitrary bytes to the packet reader and reply decoder through an in-memory port.
//
// Input: byte 0 picks the request being answered (bits 0-3), how many bytes one port read
// delivers (bits 4-6) and the mode (bit 7); bytes 1-4 are the expected parameter ID
// (big-endian). In raw mode the rest arrives on the line as it is. In framed mode the rest
// is a list of [type index, 16-bit length, payload] entries that are sent as frames with a
// correct CRC, so the decoder behind the CRC check gets explored too. The port reports
// itself unplugged once the bytes are used up, so no input waits for a time-out.
#include "comm_protocol.h"
#include "fake_serial_if.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

constexpr const char *kRequests[] = { "HWDY", "YUHU", "PG32", "PS32", "PGST", "PSST", "PGID",
    "PSID", "PGNM", "PSNM", "EDTM", "HURU", "NACK" };
constexpr size_t kRequestCount = sizeof kRequests / sizeof kRequests[0];
constexpr int kMaxPacketsPerInput = 8;

// Frames the entries of a framed-mode input; the CRC is the one a module would send.
QByteArray framedInput(const uint8_t *p, size_t n)
{
    const auto &table = CCommProtocol::descriptorTable();
    QByteArray out;
    while (n >= 3) {
        auto it = table.begin();
        std::advance(it, p[0] % table.size());
        const size_t len = std::min<size_t>(size_t(p[1]) << 8 | p[2], n - 3);
        p += 3;
        n -= 3;
        uint8_t header[8] = {};
        std::memcpy(header, &it->first, 4);
        for (int i = 0; i < 4; ++i)
            header[4 + i] = uint8_t(len >> (24 - 8 * i));
        const uint32_t crc = crc32Compute(p, len, crc32Compute(header, sizeof header));
        const bool hasLength = it->second->minPayloadLen != 0;
        out.append(reinterpret_cast<const char *>(header), hasLength ? 8 : 4);
        out.append(reinterpret_cast<const char *>(p), int(len));
        for (int i = 0; i < 4; ++i)
            out.append(char(crc >> (24 - 8 * i)));
        p += len;
        n -= len;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    uint32_t request;
    std::memcpy(&request, kRequests[(data[0] & 0x0F) % kRequestCount], 4);
    const uint32_t expected = uint32_t(data[1]) << 24 | uint32_t(data[2]) << 16
        | uint32_t(data[3]) << 8 | uint32_t(data[4]);

    FakeSerialIF port;
    port.flushDiscardsInput = false;
    if (data[0] & 0x80)
        port.queueInput(framedInput(data + 5, size - 5));
    else
        port.queueInput(QByteArray(reinterpret_cast<const char *>(data + 5), int(size - 5)));
    port.disconnectAfterReadBytes = int(port.input.size());
    port.maxReadChunk = ((data[0] >> 4) & 0x07) + 1; // vary how bytes are split across reads

    CCommProtocol proto(&port, nullptr);
    for (int i = 0; i < kMaxPacketsPerInput && port.IsOpen(); ++i) {
        QString value = QStringLiteral("seed");
        const eResult_t r = proto.recvPkt(request, value, expected);
        if (r < eResultOK || r > eResultUnknownError)
            __builtin_trap();
    }
    return 0;
}
