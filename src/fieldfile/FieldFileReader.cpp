#include "fieldfile/FieldFileReader.h"

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "fieldfile/Gathering.h"
#include "model/Beside.h"
#include "text/Text.h"
#include "text/WordSplit.h"

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

// A line of the field file cut into upper-cased words ahead of its handling.
struct SplitLine {
    std::uint64_t position = 0;  // of the line in the file
    std::uint64_t number = 0;    // counted from 1
    std::string upper;
    std::vector<std::string_view> words;  // into `upper`
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
    // The lines are cut a few ahead of their handling, and the index slot of each line's name
    // (word 2: the point, the station or the target) is fetched meanwhile, so that the look-up
    // finds it in the cache.
    constexpr std::size_t kAhead = 8;
    std::array<SplitLine, kAhead> ring;
    const auto read = [&](SplitLine& next) {
        next.position = file.Position();
        std::string_view line;
        if (!file.Next(line)) return false;
        next.number = file.LineNumber();
        SplitWords(line, next.upper, next.words);
        return true;
    };
    // Fetching for a line cut two lines earlier: the name's bytes are settled in the cache by
    // then, where reading them right after they were written would wait for the writes.
    const auto prefetch = [&](const SplitLine& line) {
        if (line.words.size() > 2) points.Prefetch(line.words[2]);
    };
    std::size_t count = 0;
    while (count < kAhead && read(ring[count]))
        ++count;
    bool more = count == kAhead;
    for (std::size_t head = 0; count > 0; head = (head + 1) % kAhead) {
        if (count > kAhead - 2) prefetch(ring[(head + kAhead - 2) % kAhead]);
        SplitLine& current = ring[head];
        const std::uint64_t position = current.position;
        progress.Tick([&] { return ProgressText(position); }, position, total);
        const std::vector<std::string_view>& words = current.words;
        // A line without a record code carries no record.
        if (words.size() >= 2) {
            const RecordCode code = CodeOf(words[1]);
            if (code != RecordCode::None && !frameReader.Handle(code, words)) {
                store.AtLine(current.number);
                gathering.Handle(code, words);
            }
        }
        // The slot takes the next line, which comes last in the ring.
        if (!more || !read(current)) {
            more = false;
            --count;
        }
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
        // Words 0 to 2 of the line; the rest is not cut.
        std::string_view word[3];
        std::size_t count = 0;
        CutWords(line, [&](std::size_t begin, std::size_t end) {
            word[count++] = line.substr(begin, end - begin);
            return count < 3;
        });
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
