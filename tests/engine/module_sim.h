#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>
#include <cstdint>

class FakeSerialIF;

// A module at the far end of a FakeSerialIF: decodes each request frame and answers
// from its parameter maps. Its frames come from wire_frame.h, independently of the
// protocol's builders.
class ModuleSim
{
public:
    struct Request
    {
        QByteArray raw; // the whole frame as written
        QByteArray type; // four characters
        QByteArray payload; // without length and CRC
        uint32_t id = 0; // PGID/PSID/PGST: the parameter ID
        QString name; // PGNM/PSNM: the parameter name
        QByteArray value; // PSID/PSNM: what follows the ID or the name's NUL
    };

    // Replies.
    static QByteArray pidcInt(uint32_t id, uint32_t status, uint32_t value);
    static QByteArray pidcText(uint32_t id, uint32_t status, const QString &text);
    static QByteArray pstc(uint32_t id, uint32_t status, const QString &text);
    static QByteArray nack(const char *reason);

    // Installs this simulator as the fake port's responder.
    void attach(FakeSerialIF &serial);
    QByteArray respond(const QByteArray &written);

    uint32_t version = 2; // answer to "HWDY"
    QString productID = QStringLiteral("RECORDER");
    QMap<uint32_t, QVariant> byID; // uint -> integer reply, QString -> text reply
    QMap<QString, QVariant> byName;
    QMap<uint32_t, uint32_t> idStatus; // non-zero status for a parameter ID
    QMap<QString, uint32_t> nameStatus; // non-zero status for a parameter name
    QMap<QByteArray, QList<QByteArray>> scripted; // per request type: replies used first
    QList<Request> requests;

    // Parameter names (PGNM/PSNM) and IDs (as "0x..." text) in request order.
    QStringList subjects() const;

private:
    static Request decode(const QByteArray &written);
    QByteArray answer(const Request &r);
};
