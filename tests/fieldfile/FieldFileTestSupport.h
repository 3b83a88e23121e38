#pragma once
// Shared helpers of the field-file tests: a recording user interface and a reader over text.

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "fieldfile/FieldFileReader.h"
#include "text/Text.h"

namespace talvik::test {

class RecordingUi : public UserInterface {
  public:
    std::vector<std::string> messages;
    std::vector<std::string> progress;
    bool plainBoxes = true;  // every box had OK, no icon and the application's title

    Answer Message(std::string_view text, Buttons buttons, Icon icon,
                   std::string_view title) override {
        messages.emplace_back(text);
        plainBoxes =
            plainBoxes && buttons == Buttons::Ok && icon == Icon::None && title == kAppTitle;
        return Answer::Ok;
    }
    void Progress(std::string_view text) override { progress.emplace_back(text); }
    void Yield() override {}
};

struct Outcome {
    PointTable points;
    ObservationTable obs;
    AngleUnitState unit;
    RecordingUi ui;
};

inline ExportOptions Options(bool face2to1, std::vector<std::string> codes = {"K1"}) {
    ExportOptions options;
    options.Face2to1 = face2to1;
    options.SelCode.fill("");
    for (std::size_t i = 0; i < codes.size() && i < 16; ++i)
        options.SelCode[i + 1] = codes[i];
    return options;
}

inline Outcome ReadRaw(std::string_view text, const ExportOptions& options = Options(false),
                       Outcome run = {}) {
    LineReader reader;
    reader.OpenText(text);
    ReadFieldFile(reader, options, run.points, run.obs, run.unit, run.ui);
    return run;
}

// Lines are given without word 0; each gets one in front and ends with CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += "7 " + line + "\r\n";
    return text;
}

inline Outcome Read(const std::vector<std::string>& lines,
                    const ExportOptions& options = Options(false)) {
    return ReadRaw(Lines(lines), options);
}

inline std::string Num(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

inline std::string Trimmed(const std::string& name) {
    return std::string(TrimBlanks(name));
}

// "STATION>TARGET:direction/zenith" for each record after the placeholder.
inline std::string Sequence(const ObservationTable& obs) {
    std::string out;
    for (std::size_t i = 1; i < obs.size(); ++i) {
        if (!out.empty()) out += ' ';
        out += Trimmed(obs[i].Station) + '>' + Trimmed(obs[i].Target) + ':' +
               Num(obs[i].Direction) + '/' + Num(obs[i].Zenith);
    }
    return out;
}

}  // namespace talvik::test
