#include "command_line.h"

#include <algorithm>

namespace {
// Added by some desktop launchers together with a value; neither is ours.
constexpr char kLauncherDebugSwitch[] = "-NSDocumentRevisionsDebugMode";

enum class SwitchAction
{
    SetUserMode,
    SetManufacturingMode,
    CheckRunning,
    Help,
    Ignore
};

struct SwitchEntry
{
    char letter; // the second character of the argument
    SwitchAction action;
};

// Only the second character counts: "-manufacture" is -m.
constexpr SwitchEntry kSwitches[] = {
    { 'm', SwitchAction::SetManufacturingMode }, { 'M', SwitchAction::SetManufacturingMode },
    { 'u', SwitchAction::SetUserMode }, { 'U', SwitchAction::SetUserMode },
    { 'r', SwitchAction::CheckRunning }, { 'R', SwitchAction::CheckRunning },
    { 'h', SwitchAction::Help }, { 'H', SwitchAction::Help }, { '?', SwitchAction::Help },
    { 'p', SwitchAction::Ignore }, // process serial numbers some launchers pass ("-psn_...")
};

CommandLineResult Stop(int exitCode, std::string text)
{
    CommandLineResult r;
    r.exit = true;
    r.exitCode = exitCode;
    r.output = std::move(text) + UsageText();
    return r;
}
} // namespace

const std::string &UsageText()
{
    static const std::string kUsage
        = "usage:  trivoconfig [switches]\n"
          "  -m             Manufacturing mode\n"
          "  -u             End user mode\n"
          "  -r             Only say whether it already runs for this user\n"
          "  -h -?          help\n"
          "\n";
    return kUsage;
}

CommandLineResult ParseCommandLine(const std::vector<std::string> &args)
{
    CommandLineResult result;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg.empty() || arg[0] != '-')
            return Stop(kExitBadUsage, "error: bad parameter " + arg + "\n");
        if (arg == kLauncherDebugSwitch) {
            ++i; // its value
            continue;
        }
        const char letter = arg.size() > 1 ? arg[1] : '\0';
        const auto entry = std::find_if(std::begin(kSwitches), std::end(kSwitches),
            [letter](const SwitchEntry &e) { return e.letter == letter; });
        if (entry == std::end(kSwitches)) {
            // A lone "-" has no switch letter to show; print none rather than a NUL byte.
            std::string text = "Error: Invalid switch ";
            if (letter != '\0')
                text += letter;
            return Stop(kExitBadUsage, text);
        }
        switch (entry->action) {
        case SwitchAction::SetUserMode:
            result.startMode = 0;
            break;
        case SwitchAction::SetManufacturingMode:
            result.startMode = 1;
            break;
        case SwitchAction::CheckRunning:
            result.checkRunning = true;
            break;
        case SwitchAction::Help:
            return Stop(0, std::string());
        case SwitchAction::Ignore:
            break;
        }
    }
    return result;
}

CommandLineResult ParseCommandLine(int argc, char **argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return ParseCommandLine(args);
}
