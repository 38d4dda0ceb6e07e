#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>

class CCmdEngine;

using QIntList = QList<int>;

// Probes every candidate serial port through the window's engine and posts the
// modules found. Created once with the window and started again for every run.
class DiscoverThread : public QThread
{
    Q_OBJECT

public:
    explicit DiscoverThread(QObject *parent = nullptr);
    ~DiscoverThread() override;

    void SetCmdEngine(CCmdEngine *cmdEngine) { mCmdEngine = cmdEngine; }
    void SetAbort(bool abort) { mAbort = abort; }
    bool Abort() const { return mAbort; }
    void SetReportReconnection(bool report) { mReportReconnection = report; }
    bool ReportReconnection() const { return mReportReconnection; }

    // Display name and serial-list entry of one module found on portIndex.
    static void MakeEntry(const QString &systemName, bool serialRead, const QString &serial,
        int portIndex, QString &displayName, QString &serialId);

    // Tests shrink the settle time, the per-port deadline and the tick by this factor.
    static void setTimeScaleForTesting(double scale);

    static constexpr int kSettleMs = 3000;
    static constexpr int kPortDeadlineMs = 10000;
    static constexpr int kTickMs = 1000;

signals:
    void PostAppStatusMessage(QString message);
    void PostDeviceAddedList(
        QStringList deviceNameList, QIntList deviceIndexList, QStringList serialIDList);
    void SignalUpdatedDeviceReconnected();

protected:
    void run() override;

private:
    // Probes the open port until it answers or its deadline passes. False on abort.
    bool probePort(int port, int &waitedSeconds, bool &isModule);
    void reportUnopenablePort(int port);
    static int scaled(int ms);

    CCmdEngine *mCmdEngine = nullptr;
    QStringList mDeniedPorts; // candidate ports this user may not open (this run)
    std::atomic<bool> mReportReconnection { false };
    std::atomic<bool> mAbort { false };
};
