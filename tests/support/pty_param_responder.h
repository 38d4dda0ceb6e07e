#pragma once

#include "pty_pair.h"
#include "wire_frame.h"

#include <atomic>
#include <thread>

// Plays a module on the master side of a PtyPair: answers each 16-byte "PGID" request with a
// "PIDC" for the same ID whose value is the ID plus one, after 'prefix' (line noise).
class PtyParamResponder
{
public:
    explicit PtyParamResponder(PtyPair &pty, QByteArray prefix = {})
        : mThread([this, &pty, prefix] {
            while (!mStop) {
                const QByteArray req = pty.read(50, 16);
                if (req.size() < 16)
                    continue;
                const quint32 id = quint32(uchar(req[8])) << 24 | quint32(uchar(req[9])) << 16
                    | quint32(uchar(req[10])) << 8 | quint32(uchar(req[11]));
                if (!pty.write(prefix + wire::pidcInt(id, 0, id + 1)))
                    return;
            }
        })
    { }
    ~PtyParamResponder()
    {
        mStop = true;
        mThread.join();
    }

private:
    std::atomic<bool> mStop { false };
    std::thread mThread;
};
