// Round-trip cost of one "PGID"/"PIDC" exchange over a pseudo-terminal, with a minimal
// responder thread on the master side, against the raw round trip of the same bytes on
// the same pty (flush, write the request, read the reply in one go).
#include "comm_protocol.h"
#include "posix_serial_if.h"

#include <QByteArray>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRounds = 300;
constexpr uint32_t kRequestBytes = 16;
constexpr uint32_t kParamId = 0x101;

QByteArray pidcReply(uint32_t id)
{
    pkt_t p;
    CCommProtocol proto(nullptr, nullptr);
    const uint32_t words[] = { id, 0, 0, 12345678 };
    proto.makePktWords(&p, PktType("PIDC"), 4, words);
    QByteArray f = CCommProtocol::frame(&p);
    proto.freePkt(&p);
    return f;
}

// The module's side: answers every 16-byte request with the same reply.
class Responder
{
public:
    Responder(int master, QByteArray reply)
        : mThread([this, master, reply] {
            QByteArray pending;
            char buf[256];
            while (!mStop) {
                pollfd p { master, POLLIN, 0 };
                if (::poll(&p, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n <= 0)
                    return;
                pending.append(buf, int(n));
                while (pending.size() >= int(kRequestBytes)) {
                    pending.remove(0, kRequestBytes);
                    if (::write(master, reply.constData(), size_t(reply.size())) < 0)
                        return;
                }
            }
        })
    { }
    ~Responder()
    {
        mStop = true;
        mThread.join();
    }

private:
    std::atomic<bool> mStop { false };
    std::thread mThread;
};

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
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("pseudo-terminal");
        return 1;
    }
    termios tio {};
    tcgetattr(master, &tio);
    cfmakeraw(&tio);
    tcsetattr(master, TCSANOW, &tio);

    CPosixSerialIF port;
    if (!port.OpenDevicePath(QString::fromLocal8Bit(ptsname(master)))) {
        std::fprintf(stderr, "cannot open the slave side\n");
        return 1;
    }
    const QByteArray reply = pidcReply(kParamId);
    Responder responder(master, reply);
    CCommProtocol proto(&port, nullptr);

    const Stats full = summarise(timeRounds([&] {
        pkt_t p;
        proto.makePktWord(&p, PktType("PGID"), kParamId);
        proto.sendPkt(&p);
        QString value;
        return proto.recvPkt(PktType("PGID"), value, kParamId) == eResultOK
            && value == QLatin1String("12345678");
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
    ::close(master);
    return 0;
}
