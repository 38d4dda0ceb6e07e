#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>

// Debian's gkermit run as a black-box peer with its standard input and output on a
// terminal device, as it would sit on a serial line.
class GkermitPeer
{
public:
    ~GkermitPeer();

    // Starts "gkermit args..." with stdin/stdout on ttyPath, working in workDir.
    bool start(const QStringList &args, const QString &ttyPath, const QString &workDir);
    // Exit status, or -1 when it has not ended within timeoutMs (it is then killed).
    int wait(int timeoutMs);

    static bool available();

private:
    pid_t mPid = -1;
};
