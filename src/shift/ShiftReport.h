#pragma once
// The import's shift report: what the adjusted coordinates change in the drawing. Before the
// import replaces its IDEX file, the points that file holds now are read (or those of another
// IDEX file, the "against" file); the import tells every point line it writes; after it the
// two are compared by name, as the import writes names: the coordinate file's identifier in
// upper case, the IDEX file's identifier upper-cased and without the blanks around it.
//
// A point is known (fixed) in the export when the coordinate file marks its east and north
// (or its height) with "*", the mark the export's coordinate file gives the known points, or
// when it is a point of the against file (the known points the export read).
//
// Advisory: nothing here changes what the import writes or whether it runs.

#include <cstddef>
#include <string>
#include <vector>

#include "interchange/CoordinateImport.h"
#include "interchange/IdexReader.h"
#include "platform/UserInterface.h"

namespace talvik {

// A known point that moved more than this (metres) was not held by the adjustment.
inline constexpr double kKnownPointLimit = 0.0005;

enum ShiftFlag : unsigned {
    kShiftBeyondTolerance = 1u,  // horizontal or height shift beyond the tolerance
    kShiftKnownMoved = 2u,       // a known point that moved more than kKnownPointLimit
    kShiftDuplicate = 4u,        // its name is in the coordinate file more than once
};

enum class ShiftKind { Compared, New, Missing };

struct ShiftRow {
    std::string name;
    // The coordinate file's texts as the import writes them; the old file's for a missing point.
    std::string x, y, h;
    ShiftKind kind = ShiftKind::Compared;
    // Compared only, new minus old, rounded to 0.1 mm. No height when the old file has none.
    double dx = 0.0, dy = 0.0, dh = 0.0, horizontal = 0.0;
    bool hasHeight = false;
    bool known = false;
    unsigned flags = 0;
};

struct ShiftCounts {
    std::size_t compared = 0, added = 0, missing = 0, flagged = 0;
    std::size_t beyondTolerance = 0, knownMoved = 0, duplicates = 0;
};

class ShiftReport : public ConvertedPoints {
  public:
    // Before the import: reads the IDEX file to compare with. `against`: another file than
    // the import's own target; all its points count as known. A missing or unreadable file
    // means that every point is new (Note() says so).
    void ReadBase(const std::string& path, bool against, UserInterface& ui);
    // During the import: every point line written.
    void Add(const ConvertedPoint& point) override;
    // After the import: the comparison, with the tolerance in metres.
    void Compare(double tolerance);

    // In the coordinate file's order, then the missing points in the old file's order.
    const std::vector<ShiftRow>& Rows() const { return rows_; }
    // Indices into Rows(): flagged first, then compared, new and missing points; the largest
    // horizontal shift first within each.
    std::vector<std::size_t> Ranked() const;
    const ShiftCounts& Counts() const { return counts_; }
    double Tolerance() const { return tolerance_; }
    const std::string& BasePath() const { return basePath_; }
    // Why the old file could not be used (Dutch); empty when it was read.
    const std::string& Note() const { return note_; }

  private:
    std::string basePath_;
    bool against_ = false;
    std::string note_;
    std::vector<IdexPoint> base_;
    std::vector<ShiftRow> rows_;
    std::vector<bool> markedXY_, markedH_;
    ShiftCounts counts_;
    double tolerance_ = 0.0;
};

// The status column: "ok", or what is the matter, joined by "/": "nieuw", "ontbreekt",
// "verschoven", "vast punt verschoven", "dubbel".
std::string ShiftStatus(const ShiftRow& row);
// Metres with four decimals ("0.0120", "-0.0005"), never "-0.0000".
std::string MetresText(double metres);
// The summary (Dutch, Windows-1252), one text per line: the counts, the largest shifts, the
// flagged points (at most `listed` of them by name), the missing points.
std::vector<std::string> ShiftSummary(const ShiftReport& report, std::size_t listed = 10);

// The whole report as CSV (Windows-1252, CR LF, decimal point, header
// punt,x,y,h,dx,dy,dh,verschuiving,status), one line per row in Rows() order.
std::string ShiftCsv(const ShiftReport& report);
// Writes ShiftCsv through a replacing file. False with `problem` (Dutch) when it failed; the
// file of that name is then as it was.
bool WriteShiftCsv(const ShiftReport& report, const std::string& path, std::string& problem);

}  // namespace talvik
