#include "update_reconnector.h"

#include "discover_thread.h"
#include "serial_if.h"
#include "session_rules.h"
#include "session_worker.h"
#include "update_logging.h"
#include "update_sequence.h"

#include <QFileInfo>
#include <QTimer>

namespace {
constexpr int kRunRetryMs = 50; // the previous run is still ending
constexpr int kPollMs = 20;
} // namespace

UpdateReconnector::UpdateReconnector(UpdateSequence *sequence, QObject *parent)
    : QObject(parent)
    , mSequence(sequence)
    , mSession(sequence->Session())
{
    qRegisterMetaType<QIntList>("QIntList");
    DiscoverThread *discovery = mSession->Discovery();
    connect(sequence, &UpdateSequence::AwaitingReconnect, this, &UpdateReconnector::awaitModule);
    // Blocking: the run reports the reconnection only after the module has been connected.
    connect(discovery, &DiscoverThread::PostDeviceAddedList, this,
        &UpdateReconnector::takeDeviceList, Qt::BlockingQueuedConnection);
    // A run that did not find the module is followed by another while the wait lasts.
    connect(discovery, &QThread::finished, this, &UpdateReconnector::runDiscovery);
}

ModuleSession::ConnectOutcome UpdateReconnector::ConnectPort(int portIndex)
{
    const ModuleSession::ConnectOutcome outcome = mSession->Connect(portIndex);
    mPortPath = mSession->Engine()->GetSerialIF()->PortPath(portIndex);
    QString serial;
    if (outcome.ok() && mSession->Engine()->GetModuleSerialNumber(serial) == eResultOK) {
        mSession->SetLastConnectedSerial(serial);
        mSequence->CheckDeferredAbort(serial);
    }
    return outcome;
}

void UpdateReconnector::awaitModule()
{
    mFound = false;
    mGoneWait.start();
    waitUntilPortGone();
}

void UpdateReconnector::waitUntilPortGone()
{
    // Probed before it has gone, the module would still answer as it was.
    if (mSequence->State().awaitingReconnect && !mSession->IsClosing() && !mPortPath.isEmpty()
        && QFileInfo::exists(mPortPath)
        && mGoneWait.elapsed() < SessionWorker::Scaled(kPortGoneWaitMs)) {
        QTimer::singleShot(kPollMs, this, &UpdateReconnector::waitUntilPortGone);
        return;
    }
    runDiscovery();
}

void UpdateReconnector::runDiscovery()
{
    // A run probes every port on the session's own serial interface: never once the
    // module is connected again.
    if (mFound || !mSequence->State().awaitingReconnect || mSession->IsClosing())
        return;
    DiscoverThread *discovery = mSession->Discovery();
    if (discovery->isRunning() || !mSession->StartWorker(discovery, EngineUser::Discovery)) {
        QTimer::singleShot(kRunRetryMs, this, &UpdateReconnector::runDiscovery);
        return;
    }
}

void UpdateReconnector::takeDeviceList(QStringList names, QList<int> ports, QStringList serials)
{
    Q_UNUSED(names)
    bool serialMatched = false;
    const int candidate = SessionRules::SelectDeviceCandidate(
        ports, serials, -1, mSession->LastConnectedSerial(), &serialMatched);
    qCDebug(lcUpdate).noquote() << "Reconnection: found" << serials.join(QLatin1Char(','))
                                << "waiting for" << mSession->LastConnectedSerial();
    if (!serialMatched || !mSequence->State().awaitingReconnect)
        return;
    const ModuleSession::ConnectOutcome outcome = ConnectPort(ports.at(candidate));
    emit PostAppStatusMessage(outcome.statusText);
    // Found but not connected (it was still coming up): the next run looks again.
    if (!outcome.ok())
        return;
    mFound = true;
    mSession->Discovery()->SetReportReconnection(true);
}
