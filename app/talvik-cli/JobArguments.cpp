#include "JobArguments.h"

#include "export/StoredChoices.h"
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
        {"cor"},     {"idex"},      {"layer"},  {"code"},           {"set"},
        {"against"}, {"tolerance"}, {"report"}, {"no-save", false}, {"quiet", false}};
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
    if (const auto tolerance = args.Value("tolerance"); tolerance && !ReadTolerance(*tolerance))
        return "--tolerance takes metres from 0 to 1000, with a decimal point";
    return {};
}

ExportOptions TakeExportChoices(const Arguments& args, SettingsStore& settings) {
    StoredChoices stored(settings);
    const int set = SetNumber(args, "selection-set").value_or(stored.CurrentSet());
    ExportOptions options;
    Coupling coupling = stored.LoadOptions(options);
    options.SelCode = stored.SelectionSet(set);
    options.Projectfile = std::string(TrimBlanks(*args.Value("project")));
    options.Fieldfile = std::string(TrimBlanks(*args.Value("field")));
    if (const auto idex = args.Value("idex"); idex && !idex->empty()) options.IdexFile = *idex;
    if (const auto version = args.Value("package-version"))
        options.Version = *version == "3" ? 3 : 1;
    if (const auto face2 = args.Value("face2")) options.Face2to1 = *face2 == "reduce";

    const auto text = [&](const char* name, std::string& field) {
        if (const auto value = args.Value(name)) field = TextArgument(*value);
    };
    text("abs-hor", options.AbsHor);
    text("rel-hor", options.RelHor);
    text("abs-ver", options.AbsVer);
    text("rel-ver", options.RelVer);
    text("abs-dis", options.AbsDis);
    text("rel-dis", options.RelDis);
    text("sd-xy", options.SDXY);
    text("sd-z", options.SDZ);
    text("sigma-cent", options.SigmaCent);
    text("sigma-inst", options.SigmaInst);
    coupling.horVer =
        coupling.horVer && options.AbsHor == options.AbsVer && options.RelHor == options.RelVer;
    coupling.xyZ = coupling.xyZ && options.SDXY == options.SDZ;

    const auto& codes = args.Values("code");
    if (!codes.empty()) {
        for (std::size_t i = 1; i <= 16; ++i)
            options.SelCode[i] = i <= codes.size() ? TextArgument(codes[i - 1]) : std::string();
    }
    if (const auto package = args.Value("package")) settings.Set(kKeyPackagePath, *package);
    stored.StoreSelectionSet(set, options.SelCode);
    stored.StoreOptions(options, coupling);
    return options;
}

LaunchChoice ExportLaunch(const Arguments& args) {
    return {args.Has("launch") ? Launch::WhenFound : Launch::No, *args.Value("project")};
}

ImportRun TakeImportChoices(const Arguments& args, StoredImportChoices& stored) {
    ImportRun run;
    run.set = SetNumber(args, "set").value_or(stored.CurrentSet());
    run.choices = stored.Load(run.set);
    if (const auto layer = args.Value("layer")) run.choices.layer = TextArgument(*layer);
    if (const auto code = args.Value("code")) run.choices.code = TextArgument(*code);
    if (const auto tolerance = args.Value("tolerance")) stored.StoreTolerance(*tolerance);
    run.tolerance = ReadTolerance(stored.ToleranceText()).value_or(0.0);
    return run;
}

}  // namespace talvik::cli
