#include "shift/ShiftReport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "platform/FileReplace.h"
#include "text/Text.h"

namespace talvik {

namespace {

// Shifts are compared as whole tenths of a millimetre, so that a shift shown as the tolerance
// is within it, whatever the last bits of the subtraction.
long long Tenths(double metres) {
    return std::llround(metres * 1e4);
}

double Rounded(double metres) {
    const long long tenths = Tenths(metres);
    return tenths == 0 ? 0.0 : static_cast<double>(tenths) / 1e4;
}

std::string ToleranceText(double metres) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, metres);
    return std::string(buffer, result.ptr);
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string field = "\"";
    for (const char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    field += '"';
    return field;
}

std::string NameList(const std::vector<std::string>& names, std::size_t listed) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < listed; ++i) {
        if (i > 0) text += ", ";
        text += names[i];
    }
    if (names.size() > listed)
        text += " en nog " + IntText(static_cast<long long>(names.size() - listed));
    return text;
}

}  // namespace

void ShiftReport::ReadBase(const std::string& path, bool against, UserInterface& ui) {
    basePath_ = path;
    against_ = against;
    note_.clear();
    std::string problem;
    switch (ReadIdexPoints(path, base_, ui, problem)) {
        case IdexPointsReading::Read:
            break;
        case IdexPointsReading::Missing:
            // The import's own file is new at its first import; another file was asked for.
            note_ = "Kavrin IDEX file " + path +
                    (against ? " niet gevonden" : " bestaat nog niet") + ": alle punten zijn nieuw";
            break;
        case IdexPointsReading::Unreadable:
            note_ = "Kavrin IDEX file " + path + " kan niet worden gelezen (" + problem +
                    "): alle punten zijn nieuw";
            break;
    }
}

void ShiftReport::Add(const ConvertedPoint& point) {
    ShiftRow row;
    row.name = point.id;
    row.x = point.east;
    row.y = point.north;
    row.h = point.elevation;
    rows_.push_back(std::move(row));
    markedXY_.push_back(point.markedXY);
    markedH_.push_back(point.markedH);
}

void ShiftReport::Compare(double tolerance) {
    tolerance_ = tolerance;
    counts_ = {};
    // The first point of a name in the old file is the one compared with, as in the export.
    // The reader upper-cases its lines already; the names are upper-cased again all the same,
    // so that the rule holds whatever the reading does.
    std::vector<std::string> oldNames;
    oldNames.reserve(base_.size());
    std::unordered_map<std::string_view, std::size_t> old;
    old.reserve(base_.size());
    for (std::size_t i = 0; i < base_.size(); ++i) {
        oldNames.push_back(ToUpper(base_[i].name));
        old.emplace(oldNames.back(), i);
    }

    std::unordered_map<std::string_view, int> uses;
    const std::size_t converted = markedXY_.size();
    for (std::size_t i = 0; i < converted; ++i)
        ++uses[rows_[i].name];
    std::vector<bool> seen(base_.size(), false);
    const long long limit = Tenths(tolerance);
    const long long knownLimit = Tenths(kKnownPointLimit);
    for (std::size_t i = 0; i < converted; ++i) {
        ShiftRow& row = rows_[i];
        row.flags = 0;
        if (uses[row.name] > 1) row.flags |= kShiftDuplicate;
        const auto found = old.find(row.name);
        const bool inBase = found != old.end();
        const bool knownXY = markedXY_[i] || (against_ && inBase);
        const bool knownH = markedH_[i] || (against_ && inBase);
        row.known = knownXY || knownH;
        if (!inBase) {
            row.kind = ShiftKind::New;
        } else {
            seen[found->second] = true;
            const IdexPoint& before = base_[found->second];
            const double dx = NumericValue(row.x) - NumericValue(before.east);
            const double dy = NumericValue(row.y) - NumericValue(before.north);
            row.dx = Rounded(dx);
            row.dy = Rounded(dy);
            row.horizontal = Rounded(std::hypot(dx, dy));
            row.hasHeight = !before.elevation.empty();
            if (row.hasHeight)
                row.dh = Rounded(NumericValue(row.h) - NumericValue(before.elevation));
            const long long horizontal = Tenths(row.horizontal);
            const long long height = row.hasHeight ? std::llabs(Tenths(row.dh)) : 0;
            if (horizontal > limit || height > limit) row.flags |= kShiftBeyondTolerance;
            if ((knownXY && horizontal > knownLimit) || (knownH && height > knownLimit))
                row.flags |= kShiftKnownMoved;
        }
    }
    rows_.resize(converted);
    for (std::size_t i = 0; i < base_.size(); ++i) {
        if (seen[i] || old.at(oldNames[i]) != i) continue;
        ShiftRow row;
        row.name = oldNames[i];
        row.x = base_[i].east;
        row.y = base_[i].north;
        row.h = base_[i].elevation;
        row.kind = ShiftKind::Missing;
        rows_.push_back(std::move(row));
    }

    for (const ShiftRow& row : rows_) {
        if (row.kind == ShiftKind::Compared) ++counts_.compared;
        if (row.kind == ShiftKind::New) ++counts_.added;
        if (row.kind == ShiftKind::Missing) ++counts_.missing;
        if (row.flags != 0) ++counts_.flagged;
        if (row.flags & kShiftBeyondTolerance) ++counts_.beyondTolerance;
        if (row.flags & kShiftKnownMoved) ++counts_.knownMoved;
        if (row.flags & kShiftDuplicate) ++counts_.duplicates;
    }
}

std::vector<std::size_t> ShiftReport::Ranked() const {
    const auto rank = [](const ShiftRow& row) {
        if (row.flags != 0) return 0;
        if (row.kind == ShiftKind::Compared) return 1;
        return row.kind == ShiftKind::New ? 2 : 3;
    };
    std::vector<std::size_t> order(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const ShiftRow& p = rows_[a];
        const ShiftRow& q = rows_[b];
        if (rank(p) != rank(q)) return rank(p) < rank(q);
        if (p.horizontal != q.horizontal) return p.horizontal > q.horizontal;
        return std::fabs(p.dh) > std::fabs(q.dh);
    });
    return order;
}

std::string ShiftStatus(const ShiftRow& row) {
    std::string status;
    const auto add = [&](std::string_view word) {
        if (!status.empty()) status += '/';
        status += word;
    };
    if (row.kind == ShiftKind::New) add("nieuw");
    if (row.kind == ShiftKind::Missing) add("ontbreekt");
    if (row.flags & kShiftBeyondTolerance) add("verschoven");
    if (row.flags & kShiftKnownMoved) add("vast punt verschoven");
    if (row.flags & kShiftDuplicate) add("dubbel");
    return status.empty() ? "ok" : status;
}

std::string MetresText(double metres) {
    char buffer[48];
    const double rounded = Rounded(metres);
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 4);
    if (result.ec != std::errc()) return "?";
    return std::string(buffer, result.ptr);
}

std::vector<std::string> ShiftSummary(const ShiftReport& report, std::size_t listed) {
    std::vector<std::string> lines;
    if (!report.Note().empty()) lines.push_back(report.Note());
    const ShiftCounts& counts = report.Counts();
    lines.push_back("Verschuivingen tegen " + report.BasePath() + " (tolerantie " +
                    ToleranceText(report.Tolerance()) +
                    " m): " + IntText(static_cast<long long>(counts.compared)) + " vergeleken, " +
                    IntText(static_cast<long long>(counts.added)) + " nieuw, " +
                    IntText(static_cast<long long>(counts.missing)) +
                    (counts.missing == 1 ? " ontbreekt, " : " ontbreken, ") +
                    IntText(static_cast<long long>(counts.flagged)) + " gemarkeerd");
    const std::vector<std::size_t> ranked = report.Ranked();
    std::vector<const ShiftRow*> largest;
    for (const ShiftRow& row : report.Rows()) {
        if (row.kind == ShiftKind::Compared && (row.horizontal != 0.0 || row.dh != 0.0))
            largest.push_back(&row);
    }
    std::stable_sort(largest.begin(), largest.end(), [](const ShiftRow* p, const ShiftRow* q) {
        if (p->horizontal != q->horizontal) return p->horizontal > q->horizontal;
        return std::fabs(p->dh) > std::fabs(q->dh);
    });
    if (!largest.empty()) {
        std::string line = "Grootste verschuivingen:";
        for (std::size_t i = 0; i < largest.size() && i < 5; ++i) {
            line += (i > 0 ? ", " : " ") + largest[i]->name + " " +
                    MetresText(largest[i]->horizontal) + " m";
            if (largest[i]->hasHeight && largest[i]->dh != 0.0)
                line += " (dh " + MetresText(largest[i]->dh) + " m)";
        }
        lines.push_back(line);
    } else if (report.Counts().compared > 0) {
        lines.push_back("Geen verschuivingen");
    }
    std::size_t shown = 0;
    for (const std::size_t i : ranked) {
        const ShiftRow& row = report.Rows()[i];
        if (row.flags == 0) break;
        if (shown == listed) {
            const std::size_t rest = counts.flagged - listed;
            lines.push_back("  en nog " + IntText(static_cast<long long>(rest)) +
                            (rest == 1 ? " gemarkeerd punt" : " gemarkeerde punten"));
            break;
        }
        std::string line = "  " + row.name + ": " + ShiftStatus(row);
        if (row.kind == ShiftKind::Compared) {
            line += " (" + MetresText(row.horizontal) + " m";
            if (row.hasHeight && row.dh != 0.0) line += ", dh " + MetresText(row.dh) + " m";
            line += ")";
        }
        lines.push_back(line);
        ++shown;
    }
    std::vector<std::string> missing;
    for (const ShiftRow& row : report.Rows()) {
        if (row.kind == ShiftKind::Missing) missing.push_back(row.name);
    }
    if (!missing.empty()) lines.push_back("Niet in de KORVU file: " + NameList(missing, listed));
    return lines;
}

std::string ShiftCsv(const ShiftReport& report) {
    std::string text = "punt,x,y,h,dx,dy,dh,verschuiving,status\r\n";
    for (const ShiftRow& row : report.Rows()) {
        text += CsvField(row.name) + ',' + CsvField(row.x) + ',' + CsvField(row.y) + ',' +
                CsvField(row.h) + ',';
        if (row.kind == ShiftKind::Compared) {
            text += MetresText(row.dx) + ',' + MetresText(row.dy) + ',' +
                    (row.hasHeight ? MetresText(row.dh) : std::string()) + ',' +
                    MetresText(row.horizontal) + ',';
        } else {
            text += ",,,,";
        }
        text += ShiftStatus(row);
        text += "\r\n";
    }
    return text;
}

bool WriteShiftCsv(const ShiftReport& report, const std::string& path, std::string& problem) {
    const std::string text = ShiftCsv(report);
    return WriteWholeFile(path, text, problem);
}

}  // namespace talvik
