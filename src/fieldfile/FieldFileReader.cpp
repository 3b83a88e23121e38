#include "fieldfile/FieldFileReader.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "fieldfile/Gathering.h"
#include "fieldfile/WordSplit.h"
#include "model/Beside.h"
#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::string_view kProgressText = "Inlezen Werkbestand: ";

// The record code of a line: its word 1 when that is a whole number of the code range, else
// none (111.5 is not a record 111).
RecordCode CodeOf(std::string_view word) {
    // Plain digits are the usual case; anything else takes the numeric value of the word.
    if (word.size() <= 3) {
        int value = 0;
        for (char c : word) {
            if (c < '0' || c > '9') {
                value = -1;
                break;
            }
            value = value * 10 + (c - '0');
        }
        if (value >= 0) return static_cast<RecordCode>(value);
    }
    const double value = NumericValue(word);
    if (!(value >= 1.0 && value <= 999.0) || std::floor(value) != value) return RecordCode::None;
    return static_cast<RecordCode>(static_cast<int>(value));
}

AngleUnit AngleUnitOf(std::string_view word) {
    // The place of the word in "DM DD GR" divided by 3: DM 0, DD 1, GR 2, not found 0.
    return static_cast<AngleUnit>(FindFrom1("DM DD GR", word) / 3);
}

class FrameReader {
  public:
    FrameReader(CoordinateFrame& frame, AngleUnitState& angleUnit, UserInterface& ui)
        : frame_(frame), angleUnit_(angleUnit), ui_(ui) {}

    // Handles the frame and unit records; false for every other code.
    bool Handle(RecordCode code, const std::vector<std::string_view>& words) {
        const auto has = [&](std::size_t n) { return n < words.size(); };
        switch (code) {
            case RecordCode::CoordinateOrder:
                if (has(2)) frame_.reversed = words[2].find("YX") != std::string_view::npos;
                return true;
            case RecordCode::Scale:
                if (has(2)) frame_.scale = NumericValue(words[2]);
                return true;
            case RecordCode::Offsets:
                // Read with the order in force now; a later record 21 does not move them.
                if (has(2))
                    (frame_.reversed ? frame_.yOffset : frame_.xOffset) = NumericValue(words[2]);
                if (has(3))
                    (frame_.reversed ? frame_.xOffset : frame_.yOffset) = NumericValue(words[3]);
                if (has(4)) frame_.zOffset = NumericValue(words[4]);
                return true;
            case RecordCode::AngleUnit:
                if (has(2)) angleUnit_.value = AngleUnitOf(words[2]);
                return true;
            case RecordCode::DistanceUnit:
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

// Starts fetching the name-index slot of word 2 of the line that begins `ahead` (the target of
// an observation), so that its look-up finds it in the cache.
void PrefetchTarget(const PointTable& points, std::string_view ahead) {
    std::size_t at = 0;
    for (int word = 0; word < 2; ++word) {
        while (at < ahead.size() && ahead[at] == ' ')
            ++at;
        while (at < ahead.size() && ahead[at] != ' ' && ahead[at] != '\r' && ahead[at] != '\n')
            ++at;
    }
    while (at < ahead.size() && ahead[at] == ' ')
        ++at;
    char name[Name9::kSize];
    std::size_t n = 0;
    while (n < Name9::kSize && at < ahead.size() && ahead[at] != ' ' && ahead[at] != '\r' &&
           ahead[at] != '\n')
        name[n++] = UpperChar(ahead[at++]);
    if (n > 0) points.Prefetch(Name9(std::string_view(name, n)));
}

// Keeps the fetching of targets some lines ahead of the reading, as far as the reader has the
// lines in its buffer. Only a hint: a line that it cuts wrongly just fetches nothing useful.
class TargetPrefetch {
  public:
    explicit TargetPrefetch(const PointTable& points) : points_(points) {}

    // Call after each line read.
    void Advance(const LineReader& file) {
        const std::string_view ahead = file.Ahead();
        const std::uint64_t base = file.Position();
        if (lines_ > 0) --lines_;
        if (cursor_ < base) {
            cursor_ = base;
            lines_ = 0;
        }
        while (lines_ < kLines) {
            const auto from = static_cast<std::size_t>(cursor_ - base);
            if (from >= ahead.size()) return;
            const void* lf = std::memchr(ahead.data() + from, '\n', ahead.size() - from);
            if (lf == nullptr) return;
            const auto to = static_cast<std::size_t>(static_cast<const char*>(lf) - ahead.data());
            PrefetchTarget(points_, ahead.substr(from, to - from));
            cursor_ = base + to + 1;
            ++lines_;
        }
    }

  private:
    static constexpr int kLines = 8;
    const PointTable& points_;
    std::uint64_t cursor_ = 0;  // position of the first line not fetched yet
    int lines_ = 0;             // lines fetched ahead of the reading
};

std::string ProgressText(std::uint64_t position) {
    std::string text(kProgressText);
    text += IntText(static_cast<long long>(position / 128));
    return text;
}

}  // namespace

void ReadFieldRecords(LineReader& file, const ExportOptions& options, PointTable& points,
                      ObservationStore& store, AngleUnitState& angleUnit, UserInterface& ui,
                      GatheringCounts* counts) {
    CoordinateFrame frame;
    FrameReader frameReader(frame, angleUnit, ui);
    Gathering gathering(points, options, frame, store, ui);
    ProgressThrottle progress(ui);
    const std::uint64_t total = file.Size();
    std::string_view line;
    std::string upper;
    std::vector<std::string_view> words;
    TargetPrefetch prefetch(points);
    while (!file.AtEnd()) {
        const std::uint64_t position = file.Position();
        progress.Tick([&] { return ProgressText(position); }, position, total);
        if (!file.Next(line)) break;
        prefetch.Advance(file);
        SplitWords(line, upper, words);
        // A line without a record code carries no record.
        if (words.size() < 2) continue;
        const RecordCode code = CodeOf(words[1]);
        if (code == RecordCode::None || frameReader.Handle(code, words)) continue;
        gathering.Handle(code, words);
    }
    progress.Finish(ProgressText(file.Position()), file.Position(), total);
    if (counts != nullptr) *counts = gathering.Counts();
}

void ReadFieldFile(LineReader& file, const ExportOptions& options, PointTable& points,
                   ObservationTable& observations, AngleUnitState& angleUnit, UserInterface& ui,
                   GatheringCounts* counts) {
    SplitObservationStore store;
    ReadFieldRecords(file, options, points, store, angleUnit, ui, counts);
    observations = store.Take();
}

void ReadFieldFile(LineReader& file, const ExportOptions& options, PointTable& points,
                   ObservationSink& sink, AngleUnitState& angleUnit, UserInterface& ui,
                   GatheringCounts* counts) {
    SplitObservationStore store(sink);
    ReadFieldRecords(file, options, points, store, angleUnit, ui, counts);
    store.Flush();
}

namespace {

// The unit of the last unit record from the file's position on; stops early (with a
// meaningless result) when `stop` is set.
std::optional<AngleUnit> LastAngleUnit(LineReader& file, const std::atomic<bool>* stop) {
    std::optional<AngleUnit> unit;
    std::string_view line;
    while (file.Next(line)) {
        if (stop != nullptr && stop->load(std::memory_order_relaxed)) break;
        // Words 1 and 2 of the line, cut at blanks as SplitWords does.
        std::string_view word[3];
        std::size_t at = 0;
        for (std::string_view& w : word) {
            while (at < line.size() && line[at] == ' ')
                ++at;
            const std::size_t start = at;
            while (at < line.size() && line[at] != ' ')
                ++at;
            w = line.substr(start, at - start);
        }
        if (!word[2].empty() && CodeOf(word[1]) == RecordCode::AngleUnit)
            unit = AngleUnitOf(ToUpper(word[2]));
    }
    return unit;
}

}  // namespace

AngleUnit FinalAngleUnit(LineReader& file, AngleUnit unit) {
    return LastAngleUnit(file, nullptr).value_or(unit);
}

AngleUnitLookAhead::AngleUnitLookAhead(const std::string& path)
    : found_(RunBeside([this, path] {
          Found found;
          LineReader file;
          if (!file.Open(path)) return found;
          found.last = LastAngleUnit(file, &stop_);
          found.read = true;
          return found;
      })) {}

AngleUnitLookAhead::~AngleUnitLookAhead() {
    stop_ = true;
    if (found_.valid()) found_.wait();
}

std::optional<AngleUnit> AngleUnitLookAhead::Final(AngleUnit unit) {
    if (!found_.valid()) return std::nullopt;
    const Found found = found_.get();
    if (!found.read) return std::nullopt;
    return found.last.value_or(unit);
}

}  // namespace talvik
