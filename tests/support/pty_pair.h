#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal for tests: the "device" side is opened by the code under test
// through its path; the test plays the far end on the master side.
class PtyPair
{
public:
    PtyPair(); // opens a master in raw mode; path() is the slave device
    ~PtyPair(); // closes the master (a hang-up for the slave side)

    bool isValid() const { return mMaster >= 0; }
    QString path() const { return mPath; }
    int masterFd() const { return mMaster; }

    bool write(const QByteArray &bytes);
    // Reads what arrives within timeoutMs (stops early once 'atLeast' bytes came).
    QByteArray read(int timeoutMs, int atLeast = 1);
    void closeMaster(); // hang up now

private:
    int mMaster = -1;
    QString mPath;
};
