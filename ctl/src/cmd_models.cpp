// models: the model registry as the program reads it, without probing any module.
#include "commands.h"
#include "ctl_output.h"
#include "model_registry.h"
#include "session_rules.h"

#include <QJsonArray>

namespace {

QString boardIdText(uint32_t boardId)
{
    return QStringLiteral("0x%1").arg(boardId, 8, 16, QLatin1Char('0'));
}

QJsonObject modelJson(const ModelRow &model)
{
    QJsonArray interfaces;
    for (const ModelInterface &iface : model.interfaces) {
        interfaces << QJsonObject { { "interface", QLatin1String(iface.key) },
            { "title", ModelRegistry::TabTitle(iface) }, { "upnp", iface.upnp },
            { "speeds", QJsonArray::fromStringList(iface.speeds) } };
    }
    return {
        { "boardId", boardIdText(model.boardId) },
        { "model", QLatin1String(model.modelName) },
        { "productIds", QJsonArray::fromStringList(model.productIds) },
        { "aliases", QJsonArray::fromStringList(model.aliases) },
        { "page",
            model.hasPage() ? QJsonValue(ModelRegistry::FamilyKey(model.family)) : QJsonValue() },
        { "interfaces", interfaces },
        { "update", model.updatable },
        { "router", model.router },
        { "numericParameterIds", model.numericIds },
        { "manual", SessionRules::ManualUrl(model.boardId) },
    };
}

QStringList modelCells(const ModelRow &model)
{
    const auto orDash = [](const QStringList &items) {
        return items.isEmpty() ? QStringLiteral("-") : items.join(QStringLiteral(", "));
    };
    // Interfaces with the same speed choice share one entry: "media, media2: 10G, ...".
    QStringList keys, upnp, speedLists;
    QList<QStringList> speedKeys;
    for (const ModelInterface &iface : model.interfaces) {
        keys << QLatin1String(iface.key);
        if (iface.upnp)
            upnp << QLatin1String(iface.key);
        if (iface.speeds.isEmpty())
            continue;
        const QString speeds = iface.speeds.join(QStringLiteral(", "));
        if (!speedLists.contains(speeds)) {
            speedLists << speeds;
            speedKeys << QStringList();
        }
        speedKeys[speedLists.indexOf(speeds)] << QLatin1String(iface.key);
    }
    QStringList speeds;
    for (int i = 0; i < speedLists.size(); ++i)
        speeds << speedKeys[i].join(QStringLiteral(", ")) + QStringLiteral(": ") + speedLists[i];
    return { boardIdText(model.boardId), QLatin1String(model.modelName), orDash(model.productIds),
        model.hasPage() ? ModelRegistry::FamilyKey(model.family) : QStringLiteral("-"),
        orDash(keys), orDash(upnp), model.updatable ? CtlTr("yes") : CtlTr("no"),
        speeds.isEmpty() ? QStringLiteral("-") : speeds.join(QStringLiteral("; ")) };
}

} // namespace

ExitStatus RunModels(CommandContext &context)
{
    const CtlOutput &out = context.out;
    if (out.isJson()) {
        QJsonArray models;
        for (const ModelRow &model : ModelRegistry::Rows())
            models << modelJson(model);
        out.document({ { "status", ExitStatusKey(ExitStatus::Ok) }, { "models", models } });
        return ExitStatus::Ok;
    }
    QList<QStringList> rows { { CtlTr("BOARD ID"), CtlTr("MODEL"), CtlTr("PRODUCT IDS"),
        CtlTr("PAGE"), CtlTr("INTERFACES"), CtlTr("UPNP"), CtlTr("UPDATE"), CtlTr("SPEEDS") } };
    for (const ModelRow &model : ModelRegistry::Rows())
        rows << modelCells(model);
    out.table(rows);
    return ExitStatus::Ok;
}
