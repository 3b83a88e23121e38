#include "fieldfile/FieldFileReader.h"

#include <cmath>
#include <string>
#include <vector>

#include "fieldfile/Gathering.h"
#include "fieldfile/WordSplit.h"
#include "text/Text.h"

namespace talvik {

namespace {

// The record code of a line: its word 1 when that is a whole number of the code range, else 0
// (no record; 111.5 is not a record 111).
int RecordCode(const std::string& word) {
    const double value = NumericValue(word);
    if (!(value >= 1.0 && value <= 999.0) || std::floor(value) != value) return 0;
    return static_cast<int>(value);
}

class FrameReader {
  public:
    FrameReader(CoordinateFrame& frame, AngleUnitState& angleUnit, UserInterface& ui)
        : frame_(frame), angleUnit_(angleUnit), ui_(ui) {}

    // Handles the frame and unit records; false for every other code.
    bool Handle(int code, const std::vector<std::string>& words) {
        const auto has = [&](std::size_t n) { return n < words.size(); };
        switch (code) {
            case 21:
                if (has(2)) frame_.reversed = words[2].find("YX") != std::string::npos;
                return true;
            case 22:
                if (has(2)) frame_.scale = NumericValue(words[2]);
                return true;
            case 23:
                // Read with the order in force now; a later record 21 does not move them.
                if (has(2))
                    (frame_.reversed ? frame_.yOffset : frame_.xOffset) = NumericValue(words[2]);
                if (has(3))
                    (frame_.reversed ? frame_.xOffset : frame_.yOffset) = NumericValue(words[3]);
                if (has(4)) frame_.zOffset = NumericValue(words[4]);
                return true;
            case 51:
                if (has(2))
                    angleUnit_.value = static_cast<int>(FindFrom1("DM DD GR", words[2]) / 3);
                return true;
            case 53:
                // Other units are reported, never converted.
                if (has(2) && words[2] != "M") {
                    std::string text = "Eenheid voor afstanden staat ingesteld op: ";
                    text += words[2] == "F" ? "US Voeten" : "Schakels";
                    Inform(ui_, text);
                }
                return true;
            default:
                return false;
        }
    }

  private:
    CoordinateFrame& frame_;
    AngleUnitState& angleUnit_;
    UserInterface& ui_;
};

}  // namespace

void ReadFieldRecords(LineReader& file, const ExportOptions& options, PointTable& points,
                      ObservationStore& store, AngleUnitState& angleUnit, UserInterface& ui,
                      GatheringCounts* counts) {
    CoordinateFrame frame;
    FrameReader frameReader(frame, angleUnit, ui);
    Gathering gathering(points, options, frame, store, ui);
    ProgressThrottle progress(ui);
    std::string line;
    std::vector<std::string> words;
    while (!file.AtEnd()) {
        const std::uint64_t position = file.Position();
        progress.Tick([&] { return "Inlezen Werkbestand: " + IntText(position / 128); });
        if (!file.Next(line)) break;
        SplitWords(line, words);
        // A line without a record code carries no record.
        if (words.size() < 2) continue;
        const int code = RecordCode(words[1]);
        if (code == 0 || frameReader.Handle(code, words)) continue;
        gathering.Handle(code, words);
    }
    if (counts != nullptr) *counts = gathering.Counts();
}

void ReadFieldFile(LineReader& file, const ExportOptions& options, PointTable& points,
                   ObservationTable& observations, AngleUnitState& angleUnit, UserInterface& ui,
                   GatheringCounts* counts) {
    SplitObservationStore store;
    ReadFieldRecords(file, options, points, store, angleUnit, ui, counts);
    observations = store.Take();
}

}  // namespace talvik
