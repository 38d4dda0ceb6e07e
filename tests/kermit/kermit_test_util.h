#pragma once

// The virtual module's receiver and packet codec as the sender's counterpart in tests:
// an implementation written apart from the sender, so that the tests compare two.

#include "kermit_codec.h"
#include "kermit_receiver.h"
#include "test_data.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace ktest {

// Every byte value in turn ("all"), or bytes with runs mixed in.
inline QByteArray content(const QString &kind, int size)
{
    if (kind != "all")
        return testPayload(size, uint32_t(size) ^ 0xC0DE);
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char(i % 256);
    return b;
}

using kcodec::packet;
using kcodec::Packet;

// Answers each packet the sender writes (one packet per write) as the module's receiver
// would, unless 'override' answers first (a non-null array); logs every valid packet.
struct Receiver
{
    KermitReceiverOptions options;
    std::function<QByteArray(const Packet &, int timesSeen)> override;
    QList<Packet> received;
    std::unique_ptr<KermitReceiver> rx;

    QByteArray respond(const QByteArray &raw)
    {
        if (!rx)
            rx = std::make_unique<KermitReceiver>(options);
        const QByteArray body = raw.mid(1, raw.size() - 2);
        // Error packets may carry a one-character check whatever was agreed.
        Packet p;
        for (int c : { rx->blockCheckType(), 1, 2, 3 })
            if ((p = kcodec::parse(body, c)).valid)
                break;
        if (p.valid) {
            received.append(p);
            int seen = 0;
            for (const Packet &q : received)
                seen += q.seq == p.seq && q.type == p.type;
            const QByteArray r = override ? override(p, seen) : QByteArray();
            if (!r.isNull())
                return r;
        }
        return rx->feed(raw, 0);
    }

    bool done() const { return rx && rx->status() == KermitReceiver::Status::Complete; }
    KermitReceivedFile file() const
    {
        return rx && !rx->files().isEmpty() ? rx->files().first() : KermitReceivedFile();
    }
    QByteArray dataOf(char type) const
    {
        for (const Packet &p : received)
            if (p.type == type)
                return p.data;
        return {};
    }
    QByteArray types() const
    {
        QByteArray t;
        for (const Packet &p : received)
            t += p.type;
        return t;
    }
};

} // namespace ktest
