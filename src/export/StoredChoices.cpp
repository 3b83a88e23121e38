#include "export/StoredChoices.h"

#include <charconv>

#include "text/Text.h"

namespace talvik {

namespace {

std::string SelKey(int n) {
    return std::string(kKeySelPrefix) + IntText(n);
}

// Cuts the text before the first bar and moves `rest` past that bar. The callers append
// enough bars that one is always there; without one the whole rest is the field.
std::string_view CutField(std::string_view& rest) {
    const auto bar = rest.find('|');
    const std::string_view field = rest.substr(0, bar);
    rest = bar == std::string_view::npos ? std::string_view{} : rest.substr(bar + 1);
    return field;
}

// A check box state as stored: the rounded numeric value; only 1 checks the box.
bool CheckedFromText(std::string_view text) {
    const auto value = RoundToInt16(NumericValue(text));
    return value && *value == 1;
}

}  // namespace

int StoredChoices::CurrentSet() {
    const std::string stored = settings_.Get(kKeyCurrentSel, "1");
    const std::string_view text = TrimBlanks(stored);
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size() ||
        value < kFirstSet || value > kLastSet)
        return kFirstSet;
    return value;
}

SelectionCodes StoredChoices::SelectionSet(int n) {
    const std::string stored = settings_.Get(SelKey(n), kDefaultSel) + std::string(20, '|');
    std::string_view rest = stored;
    SelectionCodes codes;
    for (std::size_t i = 1; i <= 16; ++i)
        codes[i] = std::string(TrimBlanks(CutField(rest)));
    return codes;
}

void StoredChoices::StoreSelectionSet(int n, const SelectionCodes& codes) {
    std::string joined = codes[1];
    for (std::size_t i = 2; i <= 16; ++i) {
        joined += '|';
        joined += codes[i];
    }
    settings_.Set(SelKey(n), joined);
    settings_.Set(kKeyCurrentSel, IntText(n));
}

Coupling StoredChoices::LoadOptions(ExportOptions& options) {
    const std::string stored = settings_.Get(kKeyStdDev, kDefaultStdDev) + std::string(12, '|');
    std::string_view rest = stored;
    auto next = [&rest] { return std::string(TrimBlanks(CutField(rest))); };
    options.AbsHor = next();
    options.RelHor = next();
    options.AbsVer = next();
    options.RelVer = next();
    options.AbsDis = next();
    options.RelDis = next();
    options.SDXY = next();
    options.SDZ = next();
    Coupling coupling;
    coupling.horVer = CheckedFromText(next());
    coupling.xyZ = CheckedFromText(next());
    options.SigmaCent = next();
    options.SigmaInst = next();
    if (coupling.horVer) {
        options.AbsVer = options.AbsHor;
        options.RelVer = options.RelHor;
    }
    if (coupling.xyZ) options.SDZ = options.SDXY;
    options.Face2to1 = NumericValue(settings_.Get(kKeyFace2to1, "0")) != 0.0;
    options.Version = NumericValue(settings_.Get(kKeyVersion, "1")) != 0.0 ? 3 : 1;
    return coupling;
}

void StoredChoices::StoreOptions(const ExportOptions& options, Coupling coupling) {
    std::string joined;
    for (const std::string* text :
         {&options.AbsHor, &options.RelHor, &options.AbsVer, &options.RelVer, &options.AbsDis,
          &options.RelDis, &options.SDXY, &options.SDZ}) {
        joined += *text;
        joined += '|';
    }
    joined += coupling.horVer ? "1|" : "0|";
    joined += coupling.xyZ ? "1|" : "0|";
    joined += options.SigmaCent;
    joined += '|';
    joined += options.SigmaInst;
    settings_.Set(kKeyStdDev, joined);
    settings_.Set(kKeyFace2to1, options.Face2to1 ? "1" : "0");
    settings_.Set(kKeyVersion, options.Version == 1 ? "0" : "1");
}

}  // namespace talvik
