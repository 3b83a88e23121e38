#include "startup/CommandLine.h"

#include <optional>

#include "Version.h"
#include "text/Text.h"

namespace talvik {

namespace {

// The number at the front of the line. Blanks inside it are ignored: removing every blank
// before reading gives the same number, because reading stops at the first character that
// cannot continue it anyway.
std::optional<std::int16_t> FrontNumber(std::string_view line) {
    std::string compact;
    compact.reserve(line.size());
    for (char c : line) {
        if (c != ' ') compact.push_back(c);
    }
    return RoundToInt16(NumericValue(compact));
}

constexpr std::string_view kDesktopUsage =
    "Usage:\n"
    "  talvik MODE \"PATH\" \"IDEX\"   what Kavrin runs from its Data Conversions menus:\n"
    "                              MODE 1 opens the import of the KORVU coordinate file PATH\n"
    "                              into the IDEX file; any other MODE opens the export to the\n"
    "                              KORVU project PATH with the known points of IDEX\n"
    "  talvik /KAVRIN              enter Talvik in the menus of every installed Kavrin release\n"
    "  talvik                      ask for the IDEX file, then open the export dialog\n"
    "  talvik --help | --version\n"
    "The same jobs in batch: talvik-cli --help.\n";

// Whether the switch stands on the line as a word of its own: between blanks (or the line's
// ends) and outside double quotes. A path that holds it ("C:/data/kavrin/net1.prj",
// /home/landmeter/kavrin) is a path.
bool HasRegisterSwitch(std::string_view line) {
    bool quoted = false;
    std::size_t wordStart = 0;
    bool wordHasQuote = false;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        const char c = i < line.size() ? line[i] : ' ';
        if (c == '"') {
            quoted = !quoted;
            wordHasQuote = true;
            continue;
        }
        if (quoted || (c != ' ' && c != '\t')) continue;
        const std::string_view word = line.substr(wordStart, i - wordStart);
        if (!wordHasQuote && word.size() == kRegisterSwitch.size() &&
            ToUpper(word) == kRegisterSwitch)
            return true;
        wordStart = i + 1;
        wordHasQuote = false;
    }
    return false;
}

}  // namespace

StartupDecision ParseCommandLine(std::string_view line) {
    StartupDecision decision;
    if (HasRegisterSwitch(line)) {
        decision.outcome = StartupOutcome::Register;
        return decision;
    }
    if (line.empty()) {
        decision.outcome = StartupOutcome::ExportDialog;
        return decision;
    }

    const auto mode = FrontNumber(line);
    decision.args.Mode = mode.value_or(0);

    const auto q1 = line.find('"');
    if (q1 == std::string_view::npos) {
        decision.outcome = StartupOutcome::OldHost;
        return decision;
    }
    const auto q2 = line.find('"', q1 + 1);
    if (q2 == std::string_view::npos) {
        decision.args.PackageFile = std::string(line.substr(q1 + 1));
    } else {
        decision.args.PackageFile = std::string(line.substr(q1 + 1, q2 - q1 - 1));
        std::string_view rest = TrimBlanks(line.substr(q2 + 1));
        if (!rest.empty() && rest.front() == '"') {
            rest.remove_prefix(1);
            if (!rest.empty()) rest.remove_suffix(1);
        }
        decision.args.IdexFile = std::string(rest);
    }

    decision.outcome =
        mode && *mode == 1 ? StartupOutcome::ImportDialog : StartupOutcome::ExportDialog;
    return decision;
}

std::string RebuildCommandLine(int argc, const char* const* argv) {
    if (argc < 2 || argv == nullptr) return {};
    std::string line = argv[1] != nullptr ? argv[1] : "";
    for (int i = 2; i < argc; ++i) {
        line += " \"";
        if (argv[i] != nullptr) line += argv[i];
        line += '"';
    }
    return line;
}

std::optional<std::string> DesktopInfoText(std::string_view line) {
    line = TrimBlanks(line);
    if (line == "--help" || line == "-h") return std::string(kDesktopUsage);
    if (line == "--version") return "Talvik " + std::string(kVersionText) + "\n";
    return std::nullopt;
}

void ShowOldHostMessage(UserInterface& ui) {
    ui.Message(kOldHostMessage, Buttons::Ok, Icon::Information, kInterfaceTitle);
}

}  // namespace talvik
