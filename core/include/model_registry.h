#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

// The one table of models: everything the program knows about each model, one row per
// board ID. The product lookups, the engine's addressing, the window's pages, the network
// rules and trivoctl all read it. Adding a model is one row here plus its page artwork.

// Which page layout a model's page uses; None for a model known by name only.
enum class PageFamily
{
    None,
    Unknown,
    UsbHub,
    Recorder,
    Router,
    ColorProc,
    OneMediaLan,
    AudioNet,
    TwoMediaLans,
    Rx25g,
};

// The video connectors of a model (its picture shows HDMI or SDI ones).
enum class ModelVideo
{
    None,
    Hdmi,
    Sdi,
};

// One network interface of a model. Its index in the row is CCmdEngine::eNetIf_t.
struct ModelInterface
{
    const char *key = nullptr; // "control", "media", "media2": how trivoctl names it
    const char *tabTitle = nullptr; // the page's tab text, translated in the context ModelRegistry
    QStringList speeds; // the link speeds one may choose; empty: no speed choice
    bool upnp = false; // has a UPnP host the program reads and switches
};

struct ModelRow
{
    uint32_t boardId = 0;
    const char *modelName = nullptr;
    QStringList productIds; // what modules of this model report for themselves
    QStringList aliases; // further names it is known by
    bool numericIds = false; // some parameters addressed by numeric ID, else by name
    QList<ModelInterface> interfaces; // empty for a model known by name only
    bool updatable = false; // its firmware can be updated from this program
    bool router = false;
    bool passwordReset = true; // disabling web authentication also resets the password
    PageFamily family = PageFamily::None;
    ModelVideo video = ModelVideo::None;
    // Stem of the page's names and picture: "m<artwork>Widget", "<artwork>Ui", and
    // "<artwork in lower case>.png". Board IDs with the same artwork share one page.
    const char *artwork = nullptr;

    bool hasPage() const { return family != PageFamily::None; }
    int mediaLanCount() const { return interfaces.isEmpty() ? 0 : int(interfaces.size()) - 1; }
    // The interface named by key, or nullptr when the model has none of that name.
    const ModelInterface *findInterface(const QString &key) const;
};

namespace ModelRegistry {

// Every known model, in ascending board ID.
const QList<ModelRow> &Rows();
// The row of a board ID, or nullptr for an ID no model has.
const ModelRow *Find(uint32_t boardId);
// What the program assumes of a module it does not know: its page is the unknown-device page.
const ModelRow &Unknown();
const ModelRow &RowOrUnknown(uint32_t boardId);

// The interface keys in interface order: "control", "media", "media2".
const QStringList &InterfaceKeys();
// The tab title of an interface, translated.
QString TabTitle(const ModelInterface &iface);
// "recorder", "router", "two-media-lans", ...: the family as trivoctl names it.
QString FamilyKey(PageFamily family);

} // namespace ModelRegistry
