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

// Lines separated by "|", written without word 0; "8*line" stands for eight such lines.
inline std::string Lines(std::string_view lines) {
    std::string text;
    while (!lines.empty()) {
        const std::size_t bar = std::min(lines.find('|'), lines.size());
        std::string_view line = lines.substr(0, bar);
        lines.remove_prefix(std::min(bar + 1, lines.size()));
        int times = 1;
        const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), times);
        if (ec == std::errc{} && end < line.data() + line.size() && *end == '*')
            line.remove_prefix(static_cast<std::size_t>(end + 1 - line.data()));
        else
            times = 1;
        for (int i = 0; i < times; ++i)
            text.append("7 ").append(line).append("\r\n");
    }
    return text;
}

inline Outcome Read(std::string_view lines, const ExportOptions& options = Options(false)) {
    return ReadRaw(Lines(lines), options);
}

inline std::string Num(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// "STATION>TARGET:direction/zenith" for each record after the placeholder.
inline std::string Sequence(const ObservationTable& obs) {
    std::string out;
    for (std::size_t i = 1; i < obs.size(); ++i)
        out.append(i > 1 ? " " : "")
            .append(TrimBlanks(obs[i].Station))
            .append(">")
            .append(TrimBlanks(obs[i].Target))
            .append(":")
            .append(Num(obs[i].Direction))
            .append("/")
            .append(Num(obs[i].Zenith));
    return out;
}

}  // namespace talvik::test
