#include "gkermit_peer.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWaitPollMs = 5;

QString program()
{
    return QStandardPaths::findExecutable(QStringLiteral("gkermit"));
}

} // namespace

GkermitPeer::~GkermitPeer()
{
    wait(0);
}

bool GkermitPeer::available()
{
    return !program().isEmpty();
}

bool GkermitPeer::start(const QStringList &args, const QString &ttyPath, const QString &workDir)
{
    const QByteArray exe = program().toLocal8Bit();
    const QByteArray tty = ttyPath.toLocal8Bit();
    const QByteArray dir = workDir.toLocal8Bit();
    if (exe.isEmpty())
        return false;
    std::vector<QByteArray> argBytes;
    for (const QString &a : args)
        argBytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(exe.constData()));
    for (QByteArray &a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    mPid = ::fork();
    if (mPid < 0)
        return false;
    if (mPid == 0) {
        // Child: its own session with the terminal as standard input and output.
        ::setsid();
        const int fd = ::open(tty.constData(), O_RDWR);
        const int null = ::open("/dev/null", O_WRONLY);
        if (fd < 0 || null < 0 || ::chdir(dir.constData()) != 0)
            ::_exit(127);
        ::dup2(fd, 0);
        ::dup2(fd, 1);
        ::dup2(null, 2);
        ::execv(exe.constData(), argv.data());
        ::_exit(127);
    }
    return true;
}

int GkermitPeer::wait(int timeoutMs)
{
    if (mPid <= 0)
        return -1;
    QElapsedTimer t;
    t.start();
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(mPid, &status, WNOHANG);
        if (r == mPid) {
            mPid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (r < 0 || t.elapsed() >= timeoutMs)
            break;
        QThread::msleep(kWaitPollMs);
    }
    ::kill(mPid, SIGKILL);
    ::waitpid(mPid, nullptr, 0);
    mPid = -1;
    return -1;
}
