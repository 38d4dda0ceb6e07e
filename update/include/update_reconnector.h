#pragma once

#include "module_session.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class UpdateSequence;

// Finds the updated module again for an owner that keeps no device list of its own (the
// command-line tool): while the sequence waits for the rebooted module, it runs discovery
// until the module with the last connected serial number is back, connects it and lets the
// wait know. The window does the same through its device list.
class UpdateReconnector : public QObject
{
    Q_OBJECT

public:
    explicit UpdateReconnector(UpdateSequence *sequence, QObject *parent = nullptr);

    // A module that is told to reboot takes a moment to go: it is looked for once its port
    // has gone, or after this long.
    static constexpr int kPortGoneWaitMs = 30000;

    // Connects the module on that port as an owner must: remembers its serial number as the
    // last connected one and finishes an abort the update still owes it.
    ModuleSession::ConnectOutcome ConnectPort(int portIndex);

signals:
    void PostAppStatusMessage(QString message);

private:
    void awaitModule();
    void waitUntilPortGone();
    void runDiscovery();
    void takeDeviceList(QStringList names, QList<int> ports, QStringList serials);

    UpdateSequence *mSequence;
    ModuleSession *mSession;
    bool mFound = false; // connected again during this wait: no further run
    QString mPortPath; // the connected module's port
    QElapsedTimer mGoneWait;
};
