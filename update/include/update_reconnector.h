#pragma once

#include "module_session.h"

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

    // Connects the module on that port as an owner must: remembers its serial number as the
    // last connected one and finishes an abort the update still owes it.
    ModuleSession::ConnectOutcome ConnectPort(int portIndex);

signals:
    void PostAppStatusMessage(QString message);

private:
    void runDiscovery();
    void takeDeviceList(QStringList names, QList<int> ports, QStringList serials);

    UpdateSequence *mSequence;
    ModuleSession *mSession;
};
