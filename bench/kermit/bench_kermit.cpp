// File-content throughput of our Kermit sender against gkermit's sender, each sending
// to "gkermit -r" over the same pair of joined pseudo-terminals. Prints figures.

#include "gkermit_peer.h"
#include "kermit.h"
#include "kermit_drive.h"
#include "posix_serial_if.h"
#include "pty_relay.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kSmallBytes = 4 * kMiB;
constexpr qint64 kLargeBytes = 64 * kMiB;
constexpr int kReceiverExitMs = 120000;

enum class Sender
{
    Ours,
    GkermitStopAndWait,
    GkermitStreaming
};

const char *label(Sender s)
{
    switch (s) {
    case Sender::Ours:
        return "ours (stop-and-wait)";
    case Sender::GkermitStopAndWait:
        return "gkermit -S -i -s (stop-and-wait)";
    default:
        return "gkermit -i -s (streaming)";
    }
}

QByteArray sha256File(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result().toHex();
}

// One transfer of sendDir/name into a fresh receiver; seconds, or -1 on failure
// (including a received file whose SHA-256 differs).
double runOnce(Sender sender, const QStringList &receiverArgs, const QString &sendDir,
    const QString &name, const QByteArray &expectedSha)
{
    QTemporaryDir recvDir;
    PtyRelay relay;
    if (!recvDir.isValid() || !relay.isValid())
        return -1;
    GkermitPeer receiver;
    if (!receiver.start(QStringList { "-r", "-q" } + receiverArgs, relay.path(0), recvDir.path()))
        return -1;

    QElapsedTimer t;
    t.start();
    bool sent = false;
    if (sender == Sender::Ours) {
        // The file is announced by a relative name so that it lands in recvDir.
        const QString oldCwd = QDir::currentPath();
        QDir::setCurrent(sendDir);
        CPosixSerialIF port;
        auto k = std::make_unique<KermitTransfer>();
        KermitStatus st {};
        QByteArray fileName = QFile::encodeName(name);
        char *list[2] = { fileName.data(), nullptr };
        sent = port.OpenDevicePath(relay.path(1))
            && kermitInitTransfer(k.get(), &st, list, &port) == 0
            && ktest::driveTransfer(k.get(), &st) == kKermitResultDone;
        QDir::setCurrent(oldCwd);
    } else {
        QStringList args { "-q", "-i" };
        if (sender == Sender::GkermitStopAndWait)
            args << "-S";
        args << "-s" << name;
        GkermitPeer gsender;
        sent = gsender.start(args, relay.path(1), sendDir) && gsender.wait(kReceiverExitMs) == 0;
    }
    const bool received = receiver.wait(kReceiverExitMs) == 0;
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    if (!sent || !received)
        return -1;
    // gkermit's sender announces the name in its common (upper-case) form: take the
    // one file that arrived.
    const QStringList got = QDir(recvDir.path()).entryList(QDir::Files);
    if (got.size() != 1)
        return -1;
    return sha256File(recvDir.filePath(got.first())) == expectedSha ? seconds : -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int runs = 1;
    const QStringList args = app.arguments();
    const int at = int(args.indexOf("--runs"));
    if (at >= 0 && at + 1 < args.size())
        runs = std::max(1, args.at(at + 1).toInt());

    if (!GkermitPeer::available()) {
        std::fprintf(stderr, "gkermit is not installed\n");
        return 1;
    }
    QTemporaryDir sendDir;
    const struct
    {
        qint64 bytes;
        const char *name;
    } files[] = { { kSmallBytes, "small.bin" }, { kLargeBytes, "large.bin" } };
    QByteArray sha[2];
    for (int i = 0; i < 2; ++i) {
        QByteArray data(int(files[i].bytes), Qt::Uninitialized);
        QRandomGenerator rng(1234 + i);
        rng.fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
        QFile f(sendDir.filePath(files[i].name));
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            return 1;
        sha[i] = QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
    }

    std::printf("Kermit file-content throughput over pseudo-terminals\n");
    std::printf("Method: every sender talks to a fresh \"gkermit -r\" whose terminal is joined\n"
                "to the sender's terminal by two relay threads, one per direction, copying\n"
                "between the two pty masters (the same path for all three senders).\n"
                "Random files of 4 MiB and\n"
                "64 MiB; time from the start of the sender to the end of both sides;\n"
                "each received file is checked by SHA-256 (a mismatch counts as a failure).\n"
                "Steady-state rate = 60 MiB / (t(64 MiB) - t(4 MiB)), which removes start-up\n"
                "and per-transfer costs. Median of %d run(s) per size. Our sender runs\n"
                "in this process through CPosixSerialIF, gkermit's as a separate process.\n"
                "Packet length and check type are whatever each sender negotiates with\n"
                "the receiver (ours takes at most 2048-byte packets); a second round\n"
                "holds the receiver to 2048-byte packets for all. Runs are interleaved\n"
                "across senders; the machine is shared, so expect some noise.\n\n",
        runs);

    const Sender senders[] = { Sender::Ours, Sender::GkermitStopAndWait, Sender::GkermitStreaming };
    // The receiver's defaults, then its packet length held to ours, so that the
    // comparison per packet is visible apart from the packet length.
    const struct
    {
        QStringList args;
        const char *title;
    } receivers[] = { { {}, "Receiver \"gkermit -r\" with its defaults" },
        { { "-e", "2048" }, "Receiver \"gkermit -r -e 2048\" (packet length held to ours)" } };
    for (const auto &rcv : receivers) {
        // times[sender][size], runs interleaved so that load changes hit all alike
        std::vector<double> times[3][2];
        for (int r = 0; r < runs; ++r)
            for (int s = 0; s < 3; ++s)
                for (int i = 0; i < 2; ++i) {
                    const double secs
                        = runOnce(senders[s], rcv.args, sendDir.path(), files[i].name, sha[i]);
                    if (secs < 0) {
                        std::printf(
                            "%-34s %s: transfer FAILED\n", label(senders[s]), files[i].name);
                        return 1;
                    }
                    times[s][i].push_back(secs);
                }
        std::printf("%s:\n", rcv.title);
        double rate[3] = {};
        for (int s = 0; s < 3; ++s) {
            const double t0 = median(times[s][0]);
            const double t1 = median(times[s][1]);
            rate[s] = double(kLargeBytes - kSmallBytes) / kMiB / (t1 - t0);
            std::printf("  %-34s t(4 MiB) %7.3f s  t(64 MiB) %7.3f s  steady %7.2f MiB/s\n",
                label(senders[s]), t0, t1, rate[s]);
        }
        std::printf("  ours / gkermit stop-and-wait: %.2f\n", rate[0] / rate[1]);
        std::printf("  ours / gkermit streaming:     %.2f\n\n", rate[0] / rate[2]);
        std::fflush(stdout);
    }
    return 0;
}
