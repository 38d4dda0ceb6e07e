// trivo-vmodule: runs simulated modules on pseudo-terminals until SIGINT or SIGTERM.
#include "virtual_module.h"
#include "vmodule_config.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QString helpText()
{
    QString text
        = "Usage: trivo-vmodule --dir DIR [--module KEY=VALUE,...]... [--config FILE] [--log "
          "FILE]\n"
          "\n"
          "Runs simulated modules, each on its own pseudo-terminal, published as a symbolic\n"
          "link DIR/<name>. Point the program at them with TRIVO_EXTRA_PORTS=DIR.\n"
          "Stops on SIGINT or SIGTERM and removes its links.\n"
          "\n"
          "Options:\n"
          "  --dir DIR                directory for the links (created when missing)\n"
          "  --module KEY=VALUE,...   one module, comma-separated keys below (repeatable)\n"
          "  --config FILE            INI file: one group per module, keys below; the group\n"
          "                           name is its link name\n"
          "  --log FILE               append one line per received request: module, type,\n"
          "                           parameter, value (tab-separated); a finished file\n"
          "                           transfer is a KRMT line with the file name and size\n"
          "                           (or the reason it failed)\n"
          "  --help                   this text\n"
          "\n"
          "Keys (--module and INI):\n";
    for (const VmConfigKey &k : vmConfigKeys())
        text += QString("  %1%2\n").arg(k.key, -26).arg(k.help);
    text += "\nExample:\n"
            "  trivo-vmodule --dir /tmp/vm --module name=rx1,product=DECODER10G2,dhcp=bound\n";
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    // Blocked before any module thread exists, so that only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({ "dir", "link directory", "DIR" });
    parser.addOption({ "module", "module settings", "KEY=VALUE,..." });
    parser.addOption({ "config", "INI file", "FILE" });
    parser.addOption({ "log", "request log", "FILE" });
    parser.addOption({ { "h", "help" }, "help" });
    if (!parser.parse(app.arguments())) {
        fprintf(stderr, "trivo-vmodule: %s\n\n%s", qPrintable(parser.errorText()),
            qPrintable(helpText()));
        return 2;
    }
    if (parser.isSet("help")) {
        printf("%s", qPrintable(helpText()));
        return 0;
    }
    if (!parser.isSet("dir")) {
        fprintf(stderr, "trivo-vmodule: --dir is required\n\n%s", qPrintable(helpText()));
        return 2;
    }

    QList<VmConfig> configs;
    QString error;
    if (parser.isSet("config") && !vmLoadConfigFile(parser.value("config"), configs, &error)) {
        fprintf(stderr, "trivo-vmodule: %s\n", qPrintable(error));
        return 2;
    }
    for (const QString &settings : parser.values("module")) {
        VmConfig config;
        if (!vmParseModuleSettings(settings, config, &error)) {
            fprintf(stderr, "trivo-vmodule: %s\n", qPrintable(error));
            return 2;
        }
        configs.append(config);
    }
    if (configs.isEmpty()) {
        fprintf(stderr, "trivo-vmodule: no module given (--module or --config)\n");
        return 2;
    }

    std::shared_ptr<VmLogFile> log;
    if (parser.isSet("log")) {
        log = std::make_shared<VmLogFile>();
        if (!log->open(parser.value("log"))) {
            fprintf(stderr, "trivo-vmodule: cannot open %s\n", qPrintable(parser.value("log")));
            return 2;
        }
    }

    std::vector<std::unique_ptr<VirtualModule>> modules;
    for (int i = 0; i < configs.size(); ++i) {
        VmConfig config = configs[i];
        if (config.name.isEmpty())
            config.name = QString("%1-%2").arg(config.productId).arg(i + 1);
        auto module = std::make_unique<VirtualModule>(config, parser.value("dir"));
        module->setLogFile(log);
        if (!module->start(&error)) {
            fprintf(stderr, "trivo-vmodule: %s: %s\n", qPrintable(config.name), qPrintable(error));
            return 1;
        }
        printf("%s %s %s\n", qPrintable(config.productId), qPrintable(module->linkPath()),
            qPrintable(module->devicePath()));
        modules.push_back(std::move(module));
    }
    fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    for (auto &module : modules)
        module->stop();
    return 0;
}
