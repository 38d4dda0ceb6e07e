#include "product_id.h"

#include "model_registry.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

namespace {

// Model names are ordered as signed numbers: the alias completion walks them in that
// order, so of two board IDs sharing a model name the later one wins.
using ModelNameTable = std::map<int32_t, std::string>;
// std::string compares byte-wise (as unsigned char), which is the order we want.
using ProductIdTable = std::map<std::string, uint32_t>;
using AliasTable = std::map<std::string, uint32_t>;

std::string normalise(const std::string &name)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        if (c == ' ' || c == '-')
            continue;
        out.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    }
    return out;
}

// Function-local statics so that other static initialisers may already look up.
ModelNameTable &modelNames()
{
    static ModelNameTable table = [] {
        ModelNameTable t;
        for (const ModelRow &r : ModelRegistry::Rows())
            t[int32_t(r.boardId)] = r.modelName;
        return t;
    }();
    return table;
}

ProductIdTable &productIDs()
{
    static ProductIdTable table = [] {
        ProductIdTable t;
        for (const ModelRow &r : ModelRegistry::Rows()) {
            for (const QString &productId : r.productIds)
                t[productId.toStdString()] = r.boardId;
        }
        return t;
    }();
    return table;
}

AliasTable &aliases()
{
    static AliasTable table = [] {
        // Seeded aliases are stored normalised, as every look-up is by normalised name.
        AliasTable t;
        for (const ModelRow &r : ModelRegistry::Rows()) {
            for (const QString &alias : r.aliases)
                t[normalise(alias.toStdString())] = r.boardId;
        }
        return t;
    }();
    return table;
}

// Fill everything before main.
const bool kTablesFilled = (modelNames(), productIDs(), aliases(), true);

// The first name look-up adds every model name and product ID to the aliases. Later
// writers replace earlier ones: product IDs beat model names, and the higher of two
// board IDs sharing a model name wins. call_once makes the first use safe from any thread.
std::once_flag gAliasCompletion;

void completeAliases()
{
    AliasTable &table = aliases();
    for (const auto &[boardID, name] : modelNames())
        table[normalise(name)] = uint32_t(boardID);
    for (const auto &[productID, boardID] : productIDs())
        table[normalise(productID)] = boardID;
}

} // namespace

uint32_t CProductID::GetBoardIDFromProductID(const QString &productID)
{
    (void)kTablesFilled;
    const QByteArray utf8 = productID.toUtf8();
    const ProductIdTable &table = productIDs();
    const auto it = table.find(std::string(utf8.constData(), size_t(utf8.size())));
    if (it != table.end())
        return it->second;
    fprintf(stderr, "%s: Failed to find a board ID for productID \"%s\"\n",
        "CProductID::GetBoardIDFromProductID", utf8.constData());
    return kBoardIdUnknown;
}

uint32_t CProductID::GetBoardIDFromModelName(const QString &name)
{
    std::call_once(gAliasCompletion, completeAliases);
    const QByteArray utf8 = name.toUtf8();
    const AliasTable &table = aliases();
    const auto it = table.find(normalise(std::string(utf8.constData(), size_t(utf8.size()))));
    if (it != table.end())
        return it->second;
    fprintf(stderr, "%s: No match found for %s, returning 0x%08x\n",
        "CProductID::GetBoardIDFromModelName", utf8.constData(), kBoardIdUnknown);
    return kBoardIdUnknown;
}

QString CProductID::GetModelNameFromBoardID(uint32_t boardID)
{
    const ModelNameTable &table = modelNames();
    const auto it = table.find(int32_t(boardID));
    if (it == table.end())
        return QStringLiteral("Unknown Model");
    return QString::fromStdString(it->second);
}

bool CProductID::HasDevicePage(uint32_t boardID)
{
    const ModelRow *row = ModelRegistry::Find(boardID);
    return row && row->hasPage();
}

QString CProductID::CanonicalModelName(const QString &name)
{
    // The program's own name may be asked for in any of its spellings.
    static const struct
    {
        const char *spellings[3];
        const char *display;
    } kOwnNames[] = {
        { { "trivosetup", "trivo setup", "trivo-setup" }, "Trivo-Setup" },
        { { "veltotrivosetup", "velto trivo setup", "velto-trivo-setup" }, "Velto Trivo-Setup" },
    };
    const QString lower = name.toLower();
    for (const auto &own : kOwnNames)
        for (const char *spelling : own.spellings)
            if (lower == QLatin1String(spelling))
                return QString::fromLatin1(own.display);
    return GetModelNameFromBoardID(GetBoardIDFromModelName(name));
}

bool CProductFeatures::UsesNumericParameterIDs(uint32_t boardID)
{
    const ModelRow *row = ModelRegistry::Find(boardID);
    return row && row->numericIds;
}

bool CProductFeatures::IsNotRouterModel(uint32_t boardID)
{
    const ModelRow *row = ModelRegistry::Find(boardID);
    return !(row && row->router);
}

bool CProductFeatures::HasInterfaceStateParameters(uint32_t boardID)
{
    // A board ID outside the table is taken for a model with the parameters.
    const ModelRow *row = ModelRegistry::Find(boardID);
    const ModelRow &model = row ? *row : ModelRegistry::Unknown();
    return !model.interfaces.isEmpty() && model.interfaces.first().upnp;
}
