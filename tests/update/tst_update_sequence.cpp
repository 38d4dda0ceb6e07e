// The update sequence without widgets, as the command-line tool drives it: a session, the
// shared state, scripted prompts and a virtual module, from the checks to the reconnection.
#include "cmd_engine.h"
#include "log_capture.h"
#include "module_maintenance.h"
#include "module_rack.h"
#include "module_session.h"
#include "posix_serial_if.h"
#include "session_worker.h"
#include "sleep_inhibitor.h"
#include "stub_app_if.h"
#include "test_data.h"
#include "update_reconnector.h"
#include "update_sequence.h"
#include "update_workers.h"

#include <QDir>
#include <QLoggingCategory>
#include <QtTest>
#include <functional>

namespace {
constexpr int kUpdateTimeoutMs = 60000;

// Answers the update's questions from a script and keeps every question asked.
struct ScriptedPrompts : UpdatePrompts
{
    QString package; // "" cancels the file dialog
    bool confirmUpdate = true;
    bool confirmCommit = true;
    QStringList asked;
    std::function<void()> onReboot;

    QString PickPackage(const PackageRequest &r) override
    {
        asked << QStringList { r.title, r.directory, r.filter }.join('|');
        return package;
    }
    bool ConfirmUpdate(const QString &displayName, const QString &fileName) override
    {
        asked << ConfirmUpdateText(displayName, fileName);
        return confirmUpdate;
    }
    bool ConfirmCommit(const QString &title, const QString &message) override
    {
        asked << title + '|' + message;
        return confirmCommit;
    }
    void RebootNotice(const QString &displayName) override
    {
        asked << RebootNoticeText(displayName);
        if (onReboot)
            onReboot();
    }
};

// Counts what the update asked of the desktop.
struct CountingInhibitor : SleepInhibitor
{
    int *inhibits;
    int *releases;
    bool held = false;
    CountingInhibitor(int *i, int *r)
        : inhibits(i)
        , releases(r)
    { }
    bool Inhibit(const QString &) override
    {
        ++*inhibits;
        return held = true;
    }
    void Release() override
    {
        *releases += held ? 1 : 0;
        held = false;
    }
    bool IsHeld() const override { return held; }
};
} // namespace

class TstUpdateSequence : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("trivo.update.debug=true"));
        SessionWorker::setTimeScaleForTesting(0.01);
    }

    void cleanup()
    {
        if (mSession)
            mSession->SetClosing();
        mReconnector.reset();
        mSequence.reset();
        mSession.reset();
        mRack.reset();
    }

    // Upload, verification, commit, reboot and reconnection by serial number.
    void updatesAndReconnects()
    {
        VmConfig config = moduleConfig(QString());
        config.newSwVersion = "3.5.0";
        config.commitMs = 600;
        QVERIFY(start(config));
        const QByteArray content = testPayload(200 * 1024, 7);
        mPrompts.package = writePackage(content);

        // Pressing Update again while the chain runs changes nothing.
        LogCapture log;
        bool secondStart = true;
        mPrompts.onReboot = [&] { secondStart = mSequence->Start(); };
        QList<int> bar; // values the progress tick would draw, 0 at every reset
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] {
            const int value = mSequence->ProgressTick(bar.isEmpty() ? 0 : bar.last(), 100);
            if (value >= 0)
                bar << value;
        });
        connect(mSequence.get(), &UpdateSequence::PostProgressValue, [&](int v) { bar << v; });
        tick.start(10);
        const Outcome out = run();

        QVERIFY(out.started);
        QCOMPARE(out.result, int(eUpdateSucceeded));
        QVERIFY(!secondStart);
        QVERIFY(log.contains("UpdatePushButtonChanged ignored: update in progress"));
        QCOMPARE(mPrompts.asked,
            (QStringList { "Upload a file|" + QDir::homePath() + "|.VLTS (*.vlts)",
                UpdatePrompts::ConfirmUpdateText("RX-10G2-HDMI", "fw.vlts"),
                "Confirm Update|Commit Uploaded File?",
                UpdatePrompts::RebootNoticeText("RX-10G2-HDMI") }));
        QCOMPARE(mSequence->FirmwarePath(), mRack->dir());
        QCOMPARE(out.progress,
            (QStringList { "Transferring file fw.vlts", "File transfer succeeded",
                "Verifying firmware image", "Firmware image verified", "Committing firmware image",
                "Firmware image committed", "Reconnecting...", "Rebooting the module...",
                "Connected to the module.", "Update Succeeded" }));
        QCOMPARE(out.requests.filter("PSID 0x00000206").join(','),
            QString("PSID 0x00000206 1,PSID 0x00000206 2,PSID 0x00000206 3,"
                    "PSID 0x00000206 5,PSID 0x00000206 6,PSID 0x00000206 7"));
        QVERIFY(!out.requests.contains("PSID 0x0000020e 0")); // a reboot clears the lock
        QCOMPARE(sha256Hex(mModule->receivedFiles().value(0).data), sha256Hex(content));

        // The module went away and came back under the same link; the session is on it again.
        QCOMPARE(mModule->plugCount(), 2);
        QVERIFY(mSession->IsConnected());
        QString version;
        QCOMPARE(mSession->Engine()->GetModuleSWVersion(version), eResultOK);
        QCOMPARE(version, QString("3.5.0"));
        QVERIFY(log.contains("Connected - Good"));
        QVERIFY(!mSequence->State().inProgress && !mSequence->State().abortPending);
        QCOMPARE(mInhibits, 1);
        QCOMPARE(mReleases, 1);

        // The bar rose during the upload and again during the commit, never back in between.
        const int resets = bar.count(0);
        QVERIFY2(resets >= 2, qPrintable(QString::number(resets)));
        int peaks = 0;
        for (int i = 1; i < bar.size(); ++i) {
            if (bar[i] != 0)
                QVERIFY(bar[i] > bar[i - 1]);
            else if (bar[i - 1] > 0)
                ++peaks;
        }
        QVERIFY2(peaks >= 2, qPrintable(QString::number(peaks)));
    }

    void refusalsAndFailures_data()
    {
        QTest::addColumn<QString>("settings"); // virtual module settings
        QTest::addColumn<QString>("script"); // what the person or the test does
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("status"); // last status line ("" none)
        QTest::addColumn<bool>("released"); // lock 0 and update state 8 written
        QTest::addColumn<bool>("abortPending");
        const auto failed = [](int result) {
            return QStringLiteral("Update Failed: ") + GetUpdateResultText(result);
        };
        const QString refusedParam = "fault-nack=REFUSED,fault-nack-type=%1,fault-nack-param=%2";

        QTest::newRow("busy recorder")
            << "product=RECORDER,record-state=2"
            << "" << 1
            << "The device is busy or in use. Stop operations, or try again in a few seconds."
            << false << false;
        QTest::newRow("lock taken")
            << ""
            << "locked" << 1 << "Another system is already updating the device." << false << false;
        QTest::newRow("lock not obtained") << refusedParam.arg("PSID", "0x20E") << "" << 1
                                           << "Device upload space unavailable." << false << false;
        QTest::newRow("no upload location")
            << "upload-empty-ms=600000"
            << "" << 1 << "Could not get upload location." << true << false;
        // A stop while waiting for it: the lock goes back, and the update reads as aborted.
        QTest::newRow("stopped before the upload") << "upload-empty-ms=600000"
                                                   << "stop" << 14 << "" << true << false;
        // No upload for a module of unknown kind: reported and cleaned up, nothing left running.
        QTest::newRow("unknown board ID") << "product=MYSTERY-BOX"
                                          << "" << 1 << failed(1) << true << false;
        QTest::newRow("file dialog cancelled") << ""
                                               << "cancel-file" << 14 << "" << true << false;
        QTest::newRow("confirmation cancelled") << ""
                                                << "cancel-update" << 14 << "" << true << false;
        QTest::newRow("unreadable file")
            << ""
            << "unreadable" << 2 << "Could not open firmware file." << true << false;
        QTest::newRow("unplugged mid-transfer") << "fault-unplug-after-bytes=3000"
                                                << "" << 3 << failed(3) << false << true;
        QTest::newRow("verification query refused")
            << refusedParam.arg("PGID", "0x208") << "" << 4 << failed(4) << false << true;
        QTest::newRow("other product") << "verify=other-product"
                                       << "" << 5 << failed(5) << true << false;
        QTest::newRow("still verifying") << "verify=never"
                                         << "" << 6 << failed(6) << true << false;
        QTest::newRow("too large") << "verify=too-large"
                                   << "" << 7 << failed(7) << true << false;
        QTest::newRow("checksum") << "verify=checksum"
                                  << "" << 8 << failed(8) << true << false;
        QTest::newRow("signature") << "verify=signature"
                                   << "" << 9 << failed(9) << true << false;
        QTest::newRow("commit refused")
            << refusedParam.arg("PSID", "0x209") << "" << 10 << failed(10) << false << true;
        QTest::newRow("commit cancelled") << ""
                                          << "cancel-commit" << 14 << failed(14) << true << false;
        QTest::newRow("commit fails at 40%") << "commit-fail-percent=40"
                                             << "" << 10 << failed(10) << true << false;
        // Rebooting would only restart the old image: not a success.
        QTest::newRow("commit never starts") << "commit-idle=1"
                                             << "" << 10 << failed(10) << true << false;
        QTest::newRow("reboot refused")
            << refusedParam.arg("PSID", "0x20C") << "" << 11 << failed(11) << false << true;
        // Its port gone before the reply: the reboot is under way, and the module comes back.
        QTest::newRow("restarts at once")
            << "fault-reboot-unanswered=1"
            << "" << 0 << "Waiting for reboot to complete" << false << false;
        // The lock cannot be given back to a module that is gone: the next connection does it.
        QTest::newRow("module not back") << "return-delay-ms=-1"
                                         << "" << 12 << failed(12) << false << true;
    }

    void refusalsAndFailures()
    {
        QFETCH(QString, settings);
        QFETCH(QString, script);
        QFETCH(int, result);
        QFETCH(QString, status);
        QFETCH(bool, released);
        QFETCH(bool, abortPending);

        QVERIFY(start(moduleConfig(settings)));
        mPrompts.package = script == "cancel-file" ? QString()
            : script == "unreadable"               ? mRack->dir() + "/missing.vlts"
                                                   : writePackage(testPayload(64 * 1024, 3));
        mPrompts.confirmUpdate = script != "cancel-update";
        mPrompts.confirmCommit = script != "cancel-commit";
        if (script == "locked")
            QCOMPARE(mSession->Engine()->SetUpdateLock(1), eResultOK);
        // Runs at the first pass of the wait for the upload location, which lets events run.
        if (script == "stop")
            QTimer::singleShot(0, mSession.get(), &ModuleSession::SetClosing);

        const Outcome out = run();
        QCOMPARE(out.result, result);
        QCOMPARE(out.status.value(out.status.size() - 1), status);
        // After a stop the writes go out unanswered: the module may still be reading them.
        QTRY_COMPARE(requestLines(mModule).contains("PSID 0x0000020e 0"), released);
        QTRY_COMPARE(requestLines(mModule).contains("PSID 0x00000206 8"), released);
        QCOMPARE(bool(mSequence->State().abortPending), abortPending);
        if (script == "cancel-commit")
            QVERIFY(out.requests.filter("0x00000209").isEmpty());
        // Whatever the outcome, the owner is left with no update under way.
        QVERIFY(!mSequence->IsBusy() && !mSequence->State().inProgress);
        QCOMPARE(mInhibits, mReleases);
    }

    // An abort the module could not be told about is told at its next connection.
    void deferredAbortAtNextConnection()
    {
        QVERIFY(
            start(moduleConfig("fault-nack=REFUSED,fault-nack-type=PSID,fault-nack-param=0x20D")));
        mPrompts.package = writePackage(testPayload(4096, 5));
        QCOMPARE(run().result, int(eUpdateVerificationFailed));
        QVERIFY(mSequence->State().abortPending);

        mModule->setFaults(VmFaults());
        mModule->clearRequests();
        mSession->Disconnect();
        QVERIFY(mReconnector->ConnectPort(0).ok());
        const QStringList requests = requestLines(mModule);
        QVERIFY(requests.contains("PSID 0x00000206 8"));
        QVERIFY(requests.contains("PSID 0x0000020e 0"));
        QVERIFY(!mSequence->State().abortPending);
    }

    // Closing while the worker waits for the commit question: nobody is asked, the answer
    // is a refusal, and the worker ends at once.
    void closingWhileAskingAsksNobody()
    {
        QVERIFY(start(moduleConfig(QString())));
        mPrompts.package = writePackage(testPayload(4096, 8));
        QVERIFY(mSequence->Start());
        // The test's thread takes no events: the worker blocks on its question once verified.
        const auto verificationReads
            = [this] { return requestLines(mModule).filter("PGID 0x00000208").size(); };
        QElapsedTimer waited;
        waited.start();
        while (verificationReads() == 0 && waited.elapsed() < kUpdateTimeoutMs)
            QThread::msleep(10);
        QThread::msleep(400); // well past the module's 100 ms check
        const int reads = verificationReads();
        QThread::msleep(100);
        QCOMPARE(verificationReads(), reads); // no longer polling: waiting for the answer
        QVERIFY(mSequence->FirmwareWorker()->isRunning());

        QElapsedTimer stopping;
        stopping.start();
        mSession->SetClosing();
        ModuleSession::StopWorker(mSequence->FirmwareWorker(), ModuleSession::kWorkerStopWaitMs);
        QVERIFY2(stopping.elapsed() < 1000, qPrintable(QString::number(stopping.elapsed())));
        QCOMPARE(mPrompts.asked.size(), 2); // the package and the update, not the commit
        QCOMPARE(int(mSequence->State().result), int(eUpdateAborted));
    }

    // A reset never runs beside a worker that holds the engine.
    void factoryResetWaitsForTheEngine()
    {
        QVERIFY(start(moduleConfig(QString())));
        QVERIFY(mSession->Holder().Acquire(EngineUser::Dhcp));
        QCOMPARE(ModuleMaintenance::FactoryReset(*mSession), eResultDisconnected);
        mSession->Holder().Release(EngineUser::Dhcp);
        QVERIFY(requestLines(mModule).filter("0x63010000").isEmpty());
        QCOMPARE(ModuleMaintenance::FactoryReset(*mSession), eResultOK);
        QVERIFY(requestLines(mModule).contains("PSID 0x63010000 2"));
    }

    // The bar follows the engine's fraction and never moves back until a reset.
    void progressTick()
    {
        QVERIFY(start(moduleConfig(QString())));
        CCmdEngine *engine = mSession->Engine();
        mSession->SetUpdateTargetSerial(mSession->LastConnectedSerial());
        engine->SetProgress(0.5f);
        QCOMPARE(mSequence->ProgressTick(0, 100), -1); // idle mode leaves the bar alone
        mSequence->ResetUpdateProgress(int(ProgressMode::FollowEngine));
        QCOMPARE(mSequence->ProgressTick(0, 100), 50);
        QCOMPARE(UpdateSequence::ProgressStatusText("Committing", mSequence->ProgressPercent()),
            QString("Committing: 50%"));
        engine->SetProgress(0.3f);
        QCOMPARE(mSequence->ProgressTick(50, 100), -1);
        mSequence->ResetUpdateProgress(int(ProgressMode::FollowEngine));
        QCOMPARE(mSequence->ProgressTick(0, 200), 60);
        mSession->SetUpdateTargetSerial("another module");
        QCOMPARE(mSequence->ProgressTick(0, 100), -1);
    }

private:
    struct Outcome
    {
        bool started = false;
        int result = -1;
        QStringList status;
        QStringList progress; // without the reconnect wait's dots
        QStringList requests;
    };

    static VmConfig moduleConfig(const QString &settings)
    {
        VmConfig c;
        c.name = "vm";
        c.productId = "DECODER10G2";
        c.serialNumber = "UPD001";
        c.verifyDelayMs = 100;
        c.commitMs = 300;
        c.rebootDelayMs
            = 200; // the reply to the reboot request gets out first, even on a busy machine
        c.returnDelayMs = 300;
        c.kermitTimeoutMs = 1000;
        if (!vmParseModuleSettings(settings, c, nullptr))
            qWarning("bad module settings %s", qPrintable(settings));
        return c;
    }

    bool start(const VmConfig &config)
    {
        mRack = std::make_unique<ModuleRack>();
        mModule = mRack->add(config);
        auto *serial = new CPosixSerialIF;
        serial->SetPortLister([link = mModule->linkPath()](QStringList &paths) {
            paths = { link };
            return true;
        });
        mSession = std::make_unique<ModuleSession>(serial, nullptr, &mApp);
        mPrompts = ScriptedPrompts();
        mInhibits = mReleases = 0;
        mSequence = std::make_unique<UpdateSequence>(
            mSession.get(), &mPrompts, std::make_unique<CountingInhibitor>(&mInhibits, &mReleases));
        mReconnector = std::make_unique<UpdateReconnector>(mSequence.get());
        mSession->Engine()->GetSerialIF()->EnumeratePorts();
        return mReconnector->ConnectPort(0).ok();
    }

    QString writePackage(const QByteArray &content)
    {
        const QString path = mRack->dir() + "/fw.vlts";
        return writeTestFile(path, content) ? path : QString();
    }

    Outcome run()
    {
        QSignalSpy status(mSequence.get(), &UpdateSequence::PostAppStatusMessage);
        QSignalSpy progress(mSequence.get(), &UpdateSequence::PostUpdateProgressMessage);
        Outcome out;
        out.started = mSequence->Start();
        if (out.started
            && !QTest::qWaitFor([this] { return !mSequence->IsBusy(); }, kUpdateTimeoutMs))
            qWarning("the update did not end");
        out.result = mSequence->State().result;
        for (const QVariantList &args : qAsConst(status))
            out.status << args.first().toString();
        for (const QVariantList &args : qAsConst(progress)) {
            const QString text = args.first().toString();
            if (!text.startsWith("Rebooting the module....") || text.contains("Update"))
                out.progress << text;
        }
        out.requests = requestLines(mModule);
        return out;
    }

    StubAppIF mApp;
    ScriptedPrompts mPrompts;
    int mInhibits = 0;
    int mReleases = 0;
    std::unique_ptr<ModuleRack> mRack;
    VirtualModule *mModule = nullptr;
    std::unique_ptr<ModuleSession> mSession;
    std::unique_ptr<UpdateSequence> mSequence;
    std::unique_ptr<UpdateReconnector> mReconnector;
};

QTEST_MAIN(TstUpdateSequence)
#include "tst_update_sequence.moc"
