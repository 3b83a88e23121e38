#include "JobArguments.h"

#include "export/ExportRun.h"
#include "text/Text.h"

namespace talvik::cli {

const std::vector<OptionSpec>& ExportOptionSpecs() {
    static const std::vector<OptionSpec> specs = {
        {"field"},
        {"project"},
        {"idex"},
        {"package-version"},
        {"face2"},
        {"abs-hor"},
        {"rel-hor"},
        {"abs-ver"},
        {"rel-ver"},
        {"abs-dis"},
        {"rel-dis"},
        {"sd-xy"},
        {"sd-z"},
        {"sigma-cent"},
        {"sigma-inst"},
        {"code", true, true},
        {"overwrite", false},
        {"launch", false},
        {"package"},
        {"selection-set"},
        {"no-save", false},
        {"quiet", false},
        {"check", false},
        {"sketch"},
    };
    return specs;
}

const std::vector<OptionSpec>& ImportOptionSpecs() {
    static const std::vector<OptionSpec> specs = {
        {"cor"}, {"idex"}, {"layer"}, {"code"}, {"set"}, {"no-save", false}, {"quiet", false}};
    return specs;
}

std::optional<int> SmallNumber(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

namespace {

// A stored set's number option: absent, or a number from 1 to 9.
bool SetNumberValid(const Arguments& args, const char* name) {
    const auto text = args.Value(name);
    return !text || SmallNumber(*text, 1, 9).has_value();
}

std::optional<int> SetNumber(const Arguments& args, const char* name) {
    const auto text = args.Value(name);
    return text ? SmallNumber(*text, 1, 9) : std::nullopt;
}

}  // namespace

std::string CheckExportArguments(const Arguments& args) {
    if (!args.Has("field")) return "export needs --field PATH";
    if (!args.Has("project")) return "export needs --project PATH";
    const auto version = args.Value("package-version");
    if (version && *version != "1" && *version != "3") return "--package-version takes 1 or 3";
    const auto face2 = args.Value("face2");
    if (face2 && *face2 != "series" && *face2 != "reduce") return "--face2 takes series or reduce";
    if (args.Values("code").size() > 16) return "--code can be given at most 16 times";
    if (!SetNumberValid(args, "selection-set")) return "--selection-set takes a number from 1 to 9";
    return {};
}

std::string CheckImportArguments(const Arguments& args) {
    if (!args.Has("cor")) return "import needs --cor PATH";
    if (!args.Has("idex")) return "import needs --idex PATH";
    if (!SetNumberValid(args, "set")) return "--set takes a number from 1 to 9";
    return {};
}

void OpenExportDialog(const Arguments& args, OverlaySettings& settings, ExportDialogModel& dialog) {
    if (const auto set = SetNumber(args, "selection-set"))
        settings.Override(kKeyCurrentSel, IntText(*set));
    dialog.Open(*args.Value("project"));
    dialog.fieldFile = *args.Value("field");
    if (const auto version = args.Value("package-version")) dialog.version3 = *version == "3";
    if (const auto face2 = args.Value("face2")) dialog.face2to1 = *face2 == "reduce";

    const bool hvd = dialog.CoupleHorVer();
    const bool xyz = dialog.CoupleXyZ();
    dialog.SetCoupleHorVer(false);
    dialog.SetCoupleXyZ(false);
    const auto text = [&](const char* name, auto&& apply) {
        if (const auto value = args.Value(name)) apply(TextArgument(*value));
    };
    text("abs-hor", [&](std::string t) { dialog.SetAbsHor(std::move(t)); });
    text("rel-hor", [&](std::string t) { dialog.SetRelHor(std::move(t)); });
    text("abs-ver", [&](std::string t) { dialog.SetAbsVer(std::move(t)); });
    text("rel-ver", [&](std::string t) { dialog.SetRelVer(std::move(t)); });
    text("abs-dis", [&](std::string t) { dialog.absDis = std::move(t); });
    text("rel-dis", [&](std::string t) { dialog.relDis = std::move(t); });
    text("sd-xy", [&](std::string t) { dialog.SetSdXY(std::move(t)); });
    text("sd-z", [&](std::string t) { dialog.SetSdZ(std::move(t)); });
    text("sigma-cent", [&](std::string t) { dialog.sigmaCent = std::move(t); });
    text("sigma-inst", [&](std::string t) { dialog.sigmaInst = std::move(t); });
    if (hvd && dialog.AbsHor() == dialog.AbsVer() && dialog.RelHor() == dialog.RelVer())
        dialog.SetCoupleHorVer(true);
    if (xyz && dialog.SdXY() == dialog.SdZ()) dialog.SetCoupleXyZ(true);

    const auto& codes = args.Values("code");
    if (!codes.empty()) {
        for (std::size_t i = 1; i <= 16; ++i)
            dialog.selectionCodes[i] =
                i <= codes.size() ? TextArgument(codes[i - 1]) : std::string();
    }
    if (const auto package = args.Value("package")) settings.Set(kKeyPackagePath, *package);
}

void OpenImportDialog(const Arguments& args, ImportModel& dialog) {
    dialog.Load(*args.Value("cor"));
    if (const auto set = SetNumber(args, "set")) {
        dialog.SetSelectionSetNumber(*set);
        dialog.LoadImportSet(*set);
    }
    if (const auto layer = args.Value("layer")) dialog.SetLayer(TextArgument(*layer));
    if (const auto code = args.Value("code")) dialog.SetCode(TextArgument(*code));
}

}  // namespace talvik::cli
