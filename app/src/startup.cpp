#include "startup.h"

#include "app_settings.h"
#include "single_application.h"

#include <QApplication>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
Q_LOGGING_CATEGORY(lcStartup, "trivo.startup", QtInfoMsg)

void SetIdentity()
{
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganisationName));
    QCoreApplication::setOrganizationDomain(QString::fromLatin1(kOrganisationDomain));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    // Wayland's app id, which must name the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.velto.TrivoSetup"));
}

// The signals that end the program are turned into a byte on a pipe, read on the GUI thread:
// only there may the window be closed.
int gQuitPipe[2] = { -1, -1 };

void NoteQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gQuitPipe[1], &byte, 1);
}

// Closes the window on SIGTERM, SIGINT or SIGHUP, then leaves the event loop (a window not
// yet shown would not end it by closing).
void CloseOnQuitSignals(QApplication &app, const QPointer<QWidget> &window)
{
    if (::pipe2(gQuitPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcStartup).noquote() << "No quit signal pipe; signals end the program at once";
        return;
    }
    auto *notifier = new QSocketNotifier(gQuitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [window] {
        char bytes[16];
        while (::read(gQuitPipe[0], bytes, sizeof bytes) > 0) { }
        qCDebug(lcStartup).noquote() << "Quit signal: closing the window";
        if (window)
            window->close();
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = NoteQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(signal, &action, nullptr);
}
} // namespace

// The resources live in a static library, whose registration the linker does
// not pull in by itself. The macro declares a global function, so it is used
// outside any namespace.
static void InitResources()
{
    Q_INIT_RESOURCE(app);
}

int ReportRunningInstance(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SetIdentity();
    // Connect and leave without a message: the running instance only raises its
    // window for a message. As at start, only an absent or refusing server means
    // no instance.
    QLocalSocket probe;
    probe.connectToServer(SingleApplication::ServerPath(SingleApplication::DefaultKey()));
    const bool running = probe.waitForConnected(kInstanceMessageTimeoutMs)
        || (probe.error() != QLocalSocket::ServerNotFoundError
            && probe.error() != QLocalSocket::ConnectionRefusedError);
    std::printf(
        "%s\n", running ? "trivoconfig already runs for this user" : "trivoconfig does not run");
    return running ? 0 : 1;
}

int RunApplication(int argc, char **argv, std::function<QWidget *()> makeWindow)
{
    // The key depends on the application name, which the application object sets.
    return RunApplication(argc, argv, std::move(makeWindow), QString());
}

int RunApplication(
    int argc, char **argv, std::function<QWidget *()> makeWindow, const QString &instanceKey)
{
    InitResources();
    QApplication app(argc, argv);
    SetIdentity();

    SingleApplication instance(
        instanceKey.isEmpty() ? SingleApplication::DefaultKey() : instanceKey);
    if (instance.isRunning()) {
        const bool delivered
            = instance.sendMessage(QStringLiteral("hi"), kInstanceMessageTimeoutMs);
        qCDebug(lcStartup).noquote() << "RunApplication() - already running; message"
                                     << (delivered ? "delivered" : "not delivered");
        return delivered ? 0 : 1;
    }

    QPointer<QWidget> window = makeWindow ? makeWindow() : nullptr;
    if (window.isNull())
        return 0;
    instance.setActivationWindow(window);
    CloseOnQuitSignals(app, window);
    const int exitCode = app.exec();
    delete window.data();
    return exitCode;
}
