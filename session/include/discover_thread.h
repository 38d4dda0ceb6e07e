#pragma once

#include "session_worker.h"
#include <QList>
#include <QMetaType>

#include <QString>
#include <QStringList>
#include <atomic>

class CCmdEngine;

using QIntList = QList<int>;

// Probes every candidate serial port through the session's engine and posts the
// modules found. Created once with the session and started again for every run.
class DiscoverThread : public SessionWorker
{
    Q_OBJECT

public:
    explicit DiscoverThread(QObject *parent = nullptr);
    ~DiscoverThread() override;

    void SetCmdEngine(CCmdEngine *cmdEngine) { mCmdEngine = cmdEngine; }
    void SetReportReconnection(bool report) { mReportReconnection = report; }
    bool ReportReconnection() const { return mReportReconnection; }

    // Display name and serial-list entry of one module found on portIndex.
    static void MakeEntry(const QString &systemName, bool serialRead, const QString &serial,
        int portIndex, QString &displayName, QString &serialId);

    static constexpr int kSettleMs = 3000;

signals:
    void PostAppStatusMessage(QString message);
    void PostDeviceAddedList(
        QStringList deviceNameList, QIntList deviceIndexList, QStringList serialIDList);
    void SignalUpdatedDeviceReconnected();
    // The candidate ports another program held during the run (posted before the list).
    void PostPortsHeld(QStringList paths);

protected:
    void run() override;

private:
    CCmdEngine *mCmdEngine = nullptr;
    QStringList mDeniedPorts; // candidate ports this user may not open (this run)
    QStringList mHeldPorts; // candidate ports another program holds (this run)
    std::atomic<bool> mReportReconnection { false };
};
