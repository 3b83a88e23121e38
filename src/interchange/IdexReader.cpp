#include "interchange/IdexReader.h"

#include <array>
#include <chrono>
#include <new>
#include <string_view>

#include "platform/InputFile.h"
#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::string_view kProgressText = "Inlezen Co\xF6rdinaten:";
constexpr std::string_view kBadHeader = "Er is een probleem met de Kavrin tekening";
constexpr std::string_view kNotFound = "Kavrin IDEX file niet gevonden: ";

enum Column { kPointNo, kPointId, kEast, kNorth, kElevation, kColumnCount };

struct ColumnDef {
    std::string_view keyword;
    std::size_t position = 0;  // 1 is the first field of a record; 0 not found
};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Yields to the user interface at most once per interval, however often it is called.
class YieldThrottle {
  public:
    explicit YieldThrottle(UserInterface& ui) : ui_(ui) {}
    void Tick() {
        if (++calls_ % 64 != 0) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(40)) return;
        last_ = now;
        ui_.Yield();
    }

  private:
    UserInterface& ui_;
    unsigned long calls_ = 0;
    std::chrono::steady_clock::time_point last_{};
};

class IdexReader {
  public:
    IdexReader(LineReader& input, PointTable& points, UserInterface& ui)
        : in_(input), points_(points), ui_(ui), yield_(ui), progress_(ui) {}
    // The comparison's reading: whole identifiers into `whole`, column names trimmed.
    IdexReader(LineReader& input, PointTable& scratch, std::vector<IdexPoint>& whole,
               UserInterface& ui)
        : IdexReader(input, scratch, ui) {
        whole_ = &whole;
    }

    void Read() {
        separator_ = ',';
        terminator_ = ';';
        points_.Clear();
        if (whole_) whole_->clear();

        SkipToKeyword("HEADER");
        bool complete = false;
        for (;;) {
            ReadKeywordLine();
            if (keyword_ == "SEPARATOR") {
                separator_ = value_.size() < 2 ? ' ' : value_[1];
            } else if (keyword_ == "TERMINATOR") {
                terminator_ = value_.size() < 2 ? ' ' : value_[1];
            } else if (keyword_ == "END" && value_ == "HEADER") {
                complete = true;
                break;
            } else if (keyword_ == "EOF") {
                break;
            }
        }
        if (!complete) Inform(ui_, kBadHeader);

        SkipToKeyword("DATABASE");
        for (;;) {
            ReadKeywordLine();
            if (keyword_ == "POINTS") {
                ReadPoints(value_);
                break;
            }
            if (keyword_ == "EOF") break;
        }
    }

  private:
    // Next line, trimmed and upper-cased; false at the end of the input.
    bool ReadLine(std::string& out) {
        std::string_view raw;
        if (!in_.Next(raw)) {
            out.clear();
            return false;
        }
        ToUpperInto(TrimBlanks(raw), out);
        return true;
    }

    void SkipToKeyword(std::string_view keyword) {
        std::string_view raw;
        while (in_.Next(raw)) {
            ToUpperInto(raw, line_);
            if (line_.find(keyword) != std::string::npos) break;
        }
        ui_.Yield();
    }

    void ReadKeywordLine() {
        if (!ReadLine(line_)) {
            keyword_ = "EOF";
            value_.clear();
            return;
        }
        const std::size_t blank = line_.find(' ');
        if (blank == std::string::npos) {
            keyword_ = line_;
            value_.clear();
        } else {
            keyword_ = line_.substr(0, blank);
            value_ = TrimBlanks(std::string_view(line_).substr(blank));
        }
        yield_.Tick();
    }

    void ParseColumnList(const std::string& value) {
        const std::size_t open = value.find('(');
        std::string list(open == std::string::npos ? std::string_view(value)
                                                   : std::string_view(value).substr(open + 1));
        list = ToUpper(TrimBlanks(list));
        // The list may go on over further lines; at the end of the input it is taken as it is.
        while (list.empty() || list.back() != ')') {
            if (!ReadLine(line_)) break;
            list += line_;
        }
        if (!list.empty() && list.back() == ')') list.pop_back();

        std::size_t number = 1;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = list.find(separator_, start);
            std::string_view name =
                std::string_view(list).substr(start, end == std::string::npos ? end : end - start);
            if (whole_) name = TrimBlanks(name);
            for (ColumnDef& column : columns_) {
                if (column.keyword == name) {
                    column.position = number;
                    break;
                }
            }
            if (end == std::string::npos) break;
            start = end + 1;
            ++number;
        }
    }

    void ParseRecord(std::string_view record) {
        const std::size_t cut = record.find(terminator_);
        if (cut != std::string_view::npos) record = record.substr(0, cut);
        values_.fill(std::string_view());

        std::size_t number = 1;
        for (;;) {
            const std::size_t end = record.find(separator_);
            std::string_view field = TrimBlanks(record.substr(0, end));
            for (std::size_t c = 0; c < kColumnCount; ++c) {
                if (columns_[c].position != number) continue;
                // A quoted field loses its first and last character; a lone quote is empty.
                if (!field.empty() && field.front() == '"') {
                    field =
                        field.size() < 2 ? std::string_view() : field.substr(1, field.size() - 2);
                }
                values_[c] = field;
                break;
            }
            if (end == std::string_view::npos) break;
            record.remove_prefix(end + 1);
            ++number;
        }
    }

    void ReadPoints(const std::string& value) {
        columns_ = {ColumnDef{"POINTNO"}, ColumnDef{"POINTID"}, ColumnDef{"EAST"},
                    ColumnDef{"NORTH"}, ColumnDef{"ELEVATION"}};
        ParseColumnList(value);

        const std::uint64_t total = in_.Size();
        // A point takes some 50 to 70 bytes; room made for the likely count saves the table
        // from growing step by step.
        if (total > in_.Position())
            points_.Reserve(static_cast<std::size_t>((total - in_.Position()) / 64));
        while (!in_.AtEnd()) {
            progress_.Tick([&] { return ProgressText(); }, in_.Position(), total);
            ReadLine(record_);
            if (StartsWith(record_, "END")) break;
            if (StartsWith(record_, "EXTRAINFO")) {
                while (ReadLine(line_)) {
                    yield_.Tick();
                    if (StartsWith(line_, "END")) break;
                }
                continue;
            }
            // A record without its terminator goes on over exactly one more line; the last
            // line of the input is taken as it is.
            if (record_.find(terminator_) == std::string::npos && ReadLine(line_)) {
                record_ += line_;
            }
            ParseRecord(record_);
            if (whole_) {
                const std::string_view id =
                    values_[kPointId].empty() ? values_[kPointNo] : values_[kPointId];
                whole_->push_back({std::string(TrimBlanks(id)), std::string(values_[kEast]),
                                   std::string(values_[kNorth]), std::string(values_[kElevation])});
                continue;
            }

            PointRecord point;
            point.Name = values_[kPointId].empty() ? values_[kPointNo] : values_[kPointId];
            point.X = NumericValue(values_[kEast]);
            point.Y = NumericValue(values_[kNorth]);
            point.Z = NumericValue(values_[kElevation]);
            point.HasCoordinates = true;
            point.IsUsed = false;
            points_.AppendUnindexed(point);
        }
        progress_.Finish(ProgressText(), in_.Position(), total);
    }

    std::string ProgressText() const {
        std::string text(kProgressText);
        text += ' ';
        text += IntText(static_cast<long long>(in_.Position() / 128));
        return text;
    }

    LineReader& in_;
    PointTable& points_;
    std::vector<IdexPoint>* whole_ = nullptr;
    UserInterface& ui_;
    YieldThrottle yield_;
    ProgressThrottle progress_;

    char separator_ = ',';
    char terminator_ = ';';
    std::array<ColumnDef, kColumnCount> columns_{};
    std::array<std::string_view, kColumnCount> values_{};  // views into record_
    std::string line_;
    std::string record_;
    std::string keyword_;
    std::string value_;
};

}  // namespace

bool ReadIdexFile(LineReader& input, PointTable& points, UserInterface& ui) {
    IdexReader(input, points, ui).Read();
    if (!input.LineTooLong()) return true;
    points.Clear();
    return false;
}

namespace {

// The reading of a named IDEX file; running out of memory is the caller's.
bool ReadIdexPath(const std::string& path, PointTable& points, UserInterface& ui) {
    LineReader input;
    std::string problem;
    switch (OpenInput(input, path, problem)) {
        case InputOpening::Opened:
            break;
        case InputOpening::Missing: {
            points.Clear();
            std::string text(kNotFound);
            text += path;
            Inform(ui, text);
            return true;
        }
        case InputOpening::Refused:
            points.Clear();
            Inform(ui, "Kavrin IDEX file " + path + " kan niet worden gelezen (" + problem +
                           "); Afgebroken.");
            return false;
    }
    if (ReadIdexFile(input, points, ui)) return true;
    Inform(ui, LongLineMessage(path, input));
    return false;
}

}  // namespace

bool ReadIdexFile(const std::string& path, PointTable& points, UserInterface& ui) {
    try {
        return ReadIdexPath(path, points, ui);
    } catch (const std::bad_alloc&) {
        points.Clear();
        Inform(ui, "Onvoldoende geheugen voor Kavrin IDEX file " + path + "; Afgebroken.");
        return false;
    }
}

namespace {

// The comparison's reading shows progress but no message; a message is kept as its problem.
class QuietUi : public UserInterface {
  public:
    explicit QuietUi(UserInterface& ui) : ui_(ui) {}
    Answer Message(std::string_view text, Buttons, Icon, std::string_view) override {
        if (message.empty()) message = text;
        return Answer::Ok;
    }
    void Progress(std::string_view text) override { ui_.Progress(text); }
    void ProgressAmount(std::uint64_t done, std::uint64_t total) override {
        ui_.ProgressAmount(done, total);
    }
    void Yield() override { ui_.Yield(); }

    std::string message;

  private:
    UserInterface& ui_;
};

}  // namespace

IdexPointsReading ReadIdexPoints(LineReader& input, std::vector<IdexPoint>& points,
                                 UserInterface& ui, std::string& problem) {
    QuietUi quiet(ui);
    PointTable scratch;
    IdexReader(input, scratch, points, quiet).Read();
    problem = quiet.message;
    if (!input.LineTooLong()) return IdexPointsReading::Read;
    points.clear();
    problem =
        "regel " + IntText(static_cast<long long>(input.LineNumber() + 1)) + " is langer dan 1 MB";
    return IdexPointsReading::Unreadable;
}

IdexPointsReading ReadIdexPoints(const std::string& path, std::vector<IdexPoint>& points,
                                 UserInterface& ui, std::string& problem) {
    points.clear();
    problem.clear();
    try {
        LineReader input;
        switch (OpenInput(input, path, problem)) {
            case InputOpening::Opened:
                return ReadIdexPoints(input, points, ui, problem);
            case InputOpening::Missing:
                return IdexPointsReading::Missing;
            case InputOpening::Refused:
                return IdexPointsReading::Unreadable;
        }
    } catch (const std::bad_alloc&) {
        points.clear();
        problem = "onvoldoende geheugen";
    }
    return IdexPointsReading::Unreadable;
}

}  // namespace talvik
