#include "commands.h"

#include <QCoreApplication>

const QList<CommandRow> &CommandTable()
{
    static const QList<CommandRow> table = {
        { "list", QT_TRANSLATE_NOOP("trivoctl", "list [--watch]"),
            QT_TRANSLATE_NOOP("trivoctl",
                "probe the candidate ports at once and print port, system name, serial number, "
                "product ID and model of every module"),
            "trivoctl list --json", kTakesWatch, &RunList },
        { "models", QT_TRANSLATE_NOOP("trivoctl", "models"),
            QT_TRANSLATE_NOOP("trivoctl",
                "every model the program knows, without probing: board ID, model name, product "
                "IDs, page, interfaces with their UPnP host and speed choice, update support"),
            "trivoctl models --json", kEveryCommand, &RunModels },
        { "info", QT_TRANSLATE_NOOP("trivoctl", "info [--port PATH | --serial SN | --all]"),
            QT_TRANSLATE_NOOP("trivoctl",
                "identity, versions, safeboot mode, authentication and, per interface, mode, "
                "addresses in force, static set, MAC address, link and speed"),
            "trivoctl info --serial 1VM000007", kTakesChoice, &RunInfo },
        { "set-name", QT_TRANSLATE_NOOP("trivoctl", "set-name NAME"),
            QT_TRANSLATE_NOOP("trivoctl", "set the system name and print it as read back"),
            "trivoctl set-name --serial 1VM000007 \"Stage Left\"", kTakesChoice, &RunSetName, 1,
            1 },
        { "upnp", QT_TRANSLATE_NOOP("trivoctl", "upnp on|off"),
            QT_TRANSLATE_NOOP("trivoctl", "switch the control LAN's UPnP host on or off"),
            "trivoctl upnp off --all", kTakesChoice, &RunUPnP, 1, 1 },
        { "disable-auth", QT_TRANSLATE_NOOP("trivoctl", "disable-auth --yes"),
            QT_TRANSLATE_NOOP("trivoctl",
                "disable web access authentication and reset the password to the factory "
                "default"),
            "trivoctl disable-auth --yes", kTakesChoice | kTakesYes, &RunDisableAuth },
        { "factory-reset", QT_TRANSLATE_NOOP("trivoctl", "factory-reset --yes"),
            QT_TRANSLATE_NOOP(
                "trivoctl", "reset every setting of the module, network settings included"),
            "trivoctl factory-reset --port /dev/ttyACM0 --yes", kTakesChoice | kTakesYes,
            &RunFactoryReset },
        { "release-lock", QT_TRANSLATE_NOOP("trivoctl", "release-lock --yes"),
            QT_TRANSLATE_NOOP("trivoctl",
                "give back an update lock left behind (update state 8, then lock 0); the lock "
                "does not say who set it, so only when no other program is updating the module"),
            "trivoctl release-lock --serial 1VM000007 --yes", kTakesChoice | kTakesYes,
            &RunReleaseLock },
        { "set-network",
            QT_TRANSLATE_NOOP("trivoctl", "set-network IFACE ADDRESS MASK [GATEWAY [SPEED]] --yes"),
            QT_TRANSLATE_NOOP("trivoctl",
                "give an interface (control, media, media2) a static address, checked as the "
                "window checks it; SPEED on the 25G receiver's media LANs"),
            "trivoctl set-network control 192.168.1.20 255.255.255.0 192.168.1.1 --yes",
            kTakesChoice | kTakesYes, &RunSetNetwork, 3, 5 },
        { "dhcp", QT_TRANSLATE_NOOP("trivoctl", "dhcp IFACE --yes"),
            QT_TRANSLATE_NOOP(
                "trivoctl", "switch an interface to DHCP and wait for the module's lease"),
            "trivoctl dhcp media --all --yes", kTakesChoice | kTakesYes, &RunDhcp, 1, 1 },
        { "update", QT_TRANSLATE_NOOP("trivoctl", "update FILE --yes"),
            QT_TRANSLATE_NOOP("trivoctl",
                "the whole firmware update: checks, upload, verification, commit, reboot, "
                "reconnection and the new version read back; several modules at once"),
            "trivoctl update fw.vlts --all --yes", kTakesChoice | kTakesYes, &RunUpdate, 1, 1 },
        { "apply", QT_TRANSLATE_NOOP("trivoctl", "apply PLAN [--yes]"),
            QT_TRANSLATE_NOOP("trivoctl",
                "compare every module found with a JSON plan keyed by serial number (name, and "
                "per interface DHCP or a static address) and print what would change; --yes "
                "changes it"),
            "trivoctl apply rack.json --yes", kTakesYes, &RunApply, 1, 1 },
    };
    return table;
}

const QList<OptionRow> &OptionTable()
{
    static const QList<OptionRow> table = {
        { "port", nullptr, "PATH",
            QT_TRANSLATE_NOOP(
                "trivoctl", "the module on this port, without probing the others (repeatable)"),
            kTakesChoice },
        { "serial", nullptr, "SN",
            QT_TRANSLATE_NOOP(
                "trivoctl", "the module with this serial number, found by probing (repeatable)"),
            kTakesChoice },
        { "all", nullptr, nullptr,
            QT_TRANSLATE_NOOP("trivoctl", "every module found, worked on at once"), kTakesChoice },
        { "watch", nullptr, nullptr,
            QT_TRANSLATE_NOOP("trivoctl", "keep printing arrivals and removals until interrupted"),
            kTakesWatch },
        { "yes", "y", nullptr,
            QT_TRANSLATE_NOOP("trivoctl",
                "give every confirmation; without it a command that needs one asks on the "
                "terminal, and refuses when there is none or with --json"),
            kTakesYes },
        { "json", nullptr, nullptr,
            QT_TRANSLATE_NOOP("trivoctl",
                "pure JSON on standard output: one document, or one line per event with "
                "--watch; messages and logs go to standard error"),
            kEveryCommand },
        { "verbose", nullptr, nullptr,
            QT_TRANSLATE_NOOP("trivoctl", "protocol and engine diagnostics on standard error"),
            kEveryCommand },
        { "version", nullptr, nullptr, QT_TRANSLATE_NOOP("trivoctl", "the program's version"),
            kEveryCommand },
        { "help", "h", nullptr, QT_TRANSLATE_NOOP("trivoctl", "this text"), kEveryCommand },
    };
    return table;
}
