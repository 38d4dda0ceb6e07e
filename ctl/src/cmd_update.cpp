// update FILE: the window's whole firmware update, through the widget-free sequence, on
// every chosen module at once (one thread, port and sequence each), with progress on
// standard error and the new version read back. Models without update support are skipped
// under --all and refused otherwise.
#include "cmd_engine.h"
#include "commands.h"
#include "ctl_confirm.h"
#include "ctl_output.h"
#include "fleet.h"
#include "model_registry.h"
#include "module_action.h"
#include "module_session.h"
#include "update_prompts.h"
#include "update_reconnector.h"
#include "update_sequence.h"
#include "update_workers.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>
#include <unistd.h>

namespace {

constexpr int kTickMs = 250;
constexpr int kTerminalLineMs = 2000; // several modules: one progress line each this often
constexpr int kJsonEventMs = 1000;
constexpr double kMiB = 1024.0 * 1024.0;

// Progress of every module's update on standard error: phase messages, and during the
// upload bytes, rate and time left. One module on a terminal rewrites its line; several
// print a line each now and then; --json prints one event per line.
class ProgressBoard
{
public:
    ProgressBoard(const CtlOutput &out, int modules)
        : mOut(out)
        , mTerminal(!out.isJson() && ::isatty(STDERR_FILENO))
        , mSeveral(modules > 1)
    { }

    void phase(const QString &path, const QString &text)
    {
        if (mOut.isJson()) {
            event({ { "event", "phase" }, { "port", path }, { "text", text } });
            return;
        }
        write(PlainText(path + QStringLiteral(": ") + text), false);
    }

    // The upload has sent bytes of total, since elapsedMs.
    void upload(const QString &path, qint64 bytes, qint64 total, qint64 elapsedMs, bool due)
    {
        const double rate = elapsedMs > 0 ? double(bytes) * 1000.0 / double(elapsedMs) : 0.0;
        const qint64 left = rate > 0 ? qint64(double(total - bytes) / rate + 0.5) : -1;
        if (mOut.isJson()) {
            if (due)
                event({ { "event", "progress" }, { "port", path }, { "bytes", bytes },
                    { "total", total }, { "rate", qint64(rate) }, { "secondsLeft", left } });
            return;
        }
        if (!mTerminal || (mSeveral && !due))
            return;
        const int percent = total > 0 ? int(bytes * 100 / total) : 0;
        QString text = CtlTr("%1: %2% %3 of %4 MiB, %5 MiB/s")
                           .arg(PlainText(path))
                           .arg(percent)
                           .arg(double(bytes) / kMiB, 0, 'f', 1)
                           .arg(double(total) / kMiB, 0, 'f', 1)
                           .arg(rate / kMiB, 0, 'f', 2);
        if (left >= 0)
            text += CtlTr(", %1 s left").arg(left);
        write(text, !mSeveral);
    }

    static int EventIntervalMs(const CtlOutput &out)
    {
        return out.isJson() ? kJsonEventMs : kTerminalLineMs;
    }

private:
    void event(const QJsonObject &object)
    {
        write(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)), false);
    }

    // A whole line at once; a rewritable line is ended by the next whole one.
    void write(const QString &text, bool rewritable)
    {
        QMutexLocker locker(&mMutex);
        QString line;
        if (mLineOpen)
            line = rewritable ? QStringLiteral("\r\x1b[K") : QStringLiteral("\n");
        line += text;
        if (!rewritable)
            line += QLatin1Char('\n');
        mLineOpen = rewritable;
        CtlWrite(stderr, line.toUtf8());
    }

    const CtlOutput &mOut;
    const bool mTerminal;
    const bool mSeveral;
    QMutex mMutex;
    bool mLineOpen = false;
};

// The update's questions, answered from --yes or the terminal; the package is the one given.
class CtlPrompts : public UpdatePrompts
{
public:
    CtlPrompts(const QString &package, const Confirmation &confirmation, const QString &path,
        ProgressBoard &board)
        : mPackage(package)
        , mConfirmation(confirmation)
        , mPath(path)
        , mBoard(board)
    { }

    bool Declined() const { return mDeclined; }
    bool LockRefused() const { return mLockRefused; }

    QString PickPackage(const PackageRequest &) override { return mPackage; }
    bool ConfirmUpdate(const QString &displayName, const QString &fileName) override
    {
        return answer(ConfirmUpdateTitle(), ConfirmUpdateText(displayName, fileName));
    }
    bool ConfirmCommit(const QString &title, const QString &message) override
    {
        return answer(title, message);
    }
    void RebootNotice(const QString &displayName) override
    {
        mBoard.phase(mPath, RebootNoticeText(displayName));
    }
    // The release is a command of its own, never part of an update.
    bool OfferLockRelease(const QString &) override
    {
        mLockRefused = true;
        return false;
    }

private:
    bool answer(const QString &title, const QString &question)
    {
        const bool yes = mConfirmation.Ask(mPath + QStringLiteral(": ") + title, question);
        mDeclined = mDeclined || !yes;
        return yes;
    }

    QString mPackage;
    const Confirmation &mConfirmation;
    QString mPath;
    ProgressBoard &mBoard;
    bool mDeclined = false;
    bool mLockRefused = false;
};

QString updateRefusal(const ModelRow &model)
{
    return model.updatable ? QString()
                           : CtlTr("the %1 cannot be updated from this program")
                                 .arg(QString::fromLatin1(model.modelName));
}

ModuleOutcome updateModule(ModuleSession &session, const QString &path, const QString &package,
    const Confirmation &confirmation, ProgressBoard &board, int eventMs, bool skip)
{
    CtlPrompts prompts(package, confirmation, path, board);
    UpdateSequence sequence(&session, &prompts);
    UpdateReconnector reconnector(&sequence);
    ModuleOutcome outcome = ConnectOutcomeOf(session, path, reconnector.ConnectPort(0));
    if (outcome.status == ExitStatus::Ok)
        outcome = CheckModel(session, path, skip, updateRefusal);
    if (outcome.status != ExitStatus::Ok)
        return outcome;
    QString previous;
    session.Engine()->GetModuleSWVersion(previous);

    QString status; // the last status line: the result text of a refusal or failure
    int messages = 0; // the first progress message starts the upload, the second ends it
    QObject::connect(&sequence, &UpdateSequence::PostAppStatusMessage,
        [&status](const QString &text) { status = text; });
    QObject::connect(
        &sequence, &UpdateSequence::PostUpdateProgressMessage, [&](const QString &text, int) {
            ++messages;
            board.phase(path, text);
        });
    QEventLoop loop;
    QObject::connect(&sequence, &UpdateSequence::ChainFinished, &loop, &QEventLoop::quit);
    const qint64 total = QFileInfo(package).size();
    QElapsedTimer upload;
    QElapsedTimer sinceEvent;
    sinceEvent.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (session.IsClosing()) {
            // Stopped by a signal: the workers end now, and a module not yet committed is
            // told the update is aborted.
            for (SessionWorker *worker : { static_cast<SessionWorker *>(sequence.FirmwareWorker()),
                     static_cast<SessionWorker *>(sequence.ReconnectWorker()) }) {
                worker->SetAbort(true);
                ModuleSession::StopWorker(worker, ModuleSession::kWorkerStopWaitMs);
            }
            sequence.Abandon();
            loop.quit();
            return;
        }
        if (messages != 1 || sequence.State().progressMode != ProgressMode::FollowEngine)
            return;
        if (!upload.isValid())
            upload.start();
        const bool due = sinceEvent.elapsed() >= eventMs;
        if (due)
            sinceEvent.restart();
        board.upload(path, qint64(double(total) * session.Engine()->GetProgress()), total,
            upload.elapsed(), due);
    });
    if (sequence.Start()) {
        tick.start(kTickMs);
        loop.exec();
        tick.stop();
        // A stop may also end the chain by itself (its clean-up then never runs).
        if (session.IsClosing())
            sequence.Abandon();
    }

    const int result = sequence.State().result;
    outcome.result = { { "result", result }, { "resultText", GetUpdateResultText(result) },
        { "previousVersion", previous } };
    if (result == eUpdateAborted && prompts.Declined()) {
        outcome.status = ExitStatus::Usage;
        outcome.message = path + QStringLiteral(": ") + Confirmation::DeclinedText();
        return outcome;
    }
    if (result != eUpdateSucceeded || session.IsClosing()) {
        outcome.status = ExitStatus::UpdateFailed;
        QString text = status.isEmpty() ? GetUpdateResultText(result) : status;
        // Stopped: what the stop left on the module, never a success nor an earlier line.
        if (session.IsClosing())
            text = result != eUpdateSucceeded
                ? GetUpdateResultText(result)
                : CtlTr("stopped after the commit; the module starts its new firmware when it "
                        "restarts");
        if (prompts.LockRefused())
            text += QLatin1Char(' ')
                + CtlTr("If no other program is updating it, 'trivoctl release-lock' gives the "
                        "lock back.");
        outcome.message = path + QStringLiteral(": ") + text;
        return outcome;
    }
    QString version;
    if (const eResult_t rc = session.Engine()->GetModuleSWVersion(version); rc != eResultOK) {
        outcome = RequestFailed(path, CtlTr("the new version could not be read"), rc);
        outcome.status = ExitStatus::UpdateFailed;
        return outcome;
    }
    outcome.result.insert("version", version);
    outcome.summary = CtlTr("updated from %1 to %2").arg(previous, version);
    return outcome;
}

} // namespace

ExitStatus RunUpdate(CommandContext &context)
{
    const CtlOutput &out = context.out;
    const QFileInfo file(context.args.first());
    if (!file.isFile() || !file.isReadable())
        return Refuse(out, ExitStatus::Validation,
            CtlTr("Cannot read the firmware file %1.").arg(context.args.first()));
    const Confirmation confirmation(context);
    const Choice choice = confirmation.CheckAndChoose();
    if (choice.status != ExitStatus::Ok)
        return choice.status;

    const QString package = file.absoluteFilePath();
    ProgressBoard board(out, int(choice.paths.size()));
    const int eventMs = ProgressBoard::EventIntervalMs(out);
    std::vector<ModuleOutcome> outcomes(size_t(choice.paths.size()));
    Fleet fleet(choice.paths);
    fleet.Run([&](int i, ModuleSession &session) {
        outcomes[size_t(i)] = updateModule(
            session, choice.paths[i], package, confirmation, board, eventMs, context.choice.all);
        session.Disconnect();
    });
    return ReportOutcomes(out, choice.paths, outcomes);
}
