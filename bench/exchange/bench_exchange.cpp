// Round-trip cost of one "PGID"/"PIDC" exchange over a pseudo-terminal, with a minimal
// responder thread on the master side, against the raw round trip of the same bytes on
// the same pty (flush, write the request, read the reply in one go).
#include "comm_protocol.h"
#include "posix_serial_if.h"
#include "pty_param_responder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRounds = 300;
constexpr uint32_t kRequestBytes = 16;
constexpr uint32_t kParamId = 0x101;

struct Stats
{
    double medianUs, meanUs, p95Us;
};

Stats summarise(std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us)
        sum += v;
    return { us[us.size() / 2], sum / double(us.size()), us[us.size() * 95 / 100] };
}

template <typename F> std::vector<double> timeRounds(F &&round)
{
    std::vector<double> us;
    us.reserve(kRounds);
    for (int i = 0; i < kRounds; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!round()) {
            std::fprintf(stderr, "round %d failed\n", i);
            std::exit(1);
        }
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    return us;
}

} // namespace

int main()
{
    PtyPair pty;
    CPosixSerialIF port;
    if (!pty.isValid() || !port.OpenDevicePath(pty.path())) {
        std::fprintf(stderr, "cannot open a pseudo-terminal\n");
        return 1;
    }
    const QByteArray reply = wire::pidcInt(kParamId, 0, kParamId + 1);
    const QString value = QString::number(kParamId + 1);
    PtyParamResponder responder(pty);
    CCommProtocol proto(&port, nullptr);

    const Stats full = summarise(timeRounds([&] {
        pkt_t p;
        proto.makePktWord(&p, PktType("PGID"), kParamId);
        proto.sendPkt(&p);
        QString got;
        return proto.recvPkt(PktType("PGID"), got, kParamId) == eResultOK && got == value;
    }));

    pkt_t req;
    proto.makePktWord(&req, PktType("PGID"), kParamId);
    const QByteArray request = CCommProtocol::frame(&req);
    proto.freePkt(&req);
    QByteArray in(reply.size(), '\0');
    const Stats raw = summarise(timeRounds([&] {
        port.FlushInput();
        uint32_t written = 0;
        if (!port.Write(
                reinterpret_cast<const uint8_t *>(request.constData()), kRequestBytes, &written))
            return false;
        return port.Read(reinterpret_cast<uint8_t *>(in.data()), uint32_t(in.size()))
            == uint32_t(reply.size());
    }));

    std::printf(
        "exchange over pty, %d rounds, %d-byte reply (microseconds)\n", kRounds, int(reply.size()));
    std::printf("  protocol PGID/PIDC : median %8.1f  mean %8.1f  p95 %8.1f\n", full.medianUs,
        full.meanUs, full.p95Us);
    std::printf("  raw flush+write+read: median %8.1f  mean %8.1f  p95 %8.1f\n", raw.medianUs,
        raw.meanUs, raw.p95Us);
    std::printf("  protocol / raw (median): %.2fx\n", full.medianUs / raw.medianUs);
    port.CloseSerialPort();
    return 0;
}
