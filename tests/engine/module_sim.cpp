#include "module_sim.h"

#include "fake_serial_if.h"
#include "wire_frame.h"

#include <QtEndian>

using wire::be32;
using wire::frame;
using wire::withNul;

QByteArray ModuleSim::pidcInt(uint32_t id, uint32_t status, uint32_t value)
{
    return wire::pidcInt(id, status, value);
}

QByteArray ModuleSim::pidcText(uint32_t id, uint32_t status, const QString &text)
{
    return frame("PIDC", be32(id) + be32(status) + be32(1) + withNul(text));
}

QByteArray ModuleSim::pstc(uint32_t id, uint32_t status, const QString &text)
{
    return frame("PSTC", be32(id) + be32(status) + withNul(text));
}

QByteArray ModuleSim::nack(const char *reason)
{
    return frame("NACK", QByteArray(reason, 8));
}

void ModuleSim::attach(FakeSerialIF &serial)
{
    serial.setResponder([this](const QByteArray &written) { return respond(written); });
}

ModuleSim::Request ModuleSim::decode(const QByteArray &written)
{
    Request r;
    r.raw = written;
    r.type = written.left(4);
    if (written.size() > 8) {
        const uint32_t n = qFromBigEndian<uint32_t>(written.constData() + 4);
        r.payload = written.mid(8, int(n));
    }
    if (r.type == "PGID" || r.type == "PSID" || r.type == "PGST") {
        r.id = qFromBigEndian<uint32_t>(r.payload.constData());
        r.value = r.payload.mid(4);
    } else if (r.type == "PGNM" || r.type == "PSNM") {
        const int nul = r.payload.indexOf('\0');
        r.name = QString::fromUtf8(r.payload.left(nul));
        r.value = r.payload.mid(nul + 1);
    }
    return r;
}

QByteArray ModuleSim::respond(const QByteArray &written)
{
    const Request r = decode(written);
    requests.append(r);
    QList<QByteArray> &queue = scripted[r.type];
    if (!queue.isEmpty())
        return queue.takeFirst();
    return answer(r);
}

QByteArray ModuleSim::answer(const Request &r)
{
    if (r.type == "HWDY")
        return frame("HIYA", be32(version));
    if (r.type == "HURU")
        return frame("IAMA", withNul(productID));
    if (r.type == "PGST")
        return pstc(r.id, idStatus.value(r.id, 1), QString());

    const bool byName = r.type == "PGNM" || r.type == "PSNM";
    const bool isSet = r.type == "PSID" || r.type == "PSNM";
    // Name-based replies carry the ID of the parameter; any value will do here.
    const uint32_t replyID = byName ? 0x1234u : r.id;
    const uint32_t status = byName ? nameStatus.value(r.name) : idStatus.value(r.id);
    if (status != 0)
        return pidcInt(replyID, status, 0);

    QVariant current = byName ? this->byName.value(r.name) : byID.value(r.id);
    if (isSet) {
        // Integer writes carry one word; everything else is NUL-terminated text.
        const bool text = current.typeId() == QMetaType::QString || r.value.size() != 4;
        current = text ? QVariant(QString::fromUtf8(r.value.left(r.value.indexOf('\0'))))
                       : QVariant(qFromBigEndian<uint32_t>(r.value.constData()));
        if (byName)
            this->byName[r.name] = current;
        else
            byID[r.id] = current;
    }
    if (!current.isValid())
        return pidcInt(replyID, 1, 0);
    if (current.typeId() == QMetaType::QString)
        return pidcText(replyID, 0, current.toString());
    return pidcInt(replyID, 0, current.toUInt());
}

QStringList ModuleSim::subjects() const
{
    QStringList out;
    for (const Request &r : requests) {
        if (r.type == "PGNM" || r.type == "PSNM")
            out.append(QString::fromLatin1(r.type) + ' ' + r.name);
        else if (r.type == "PGID" || r.type == "PSID" || r.type == "PGST")
            out.append(QStringLiteral("%1 0x%2").arg(QString::fromLatin1(r.type)).arg(r.id, 0, 16));
        else
            out.append(QString::fromLatin1(r.type));
    }
    return out;
}
