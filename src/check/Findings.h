#pragma once
// The findings of the check and their Dutch texts. Every rule writes its findings through
// Findings::Add, on whatever thread it runs; a part of the work done on a thread of its own has a
// Findings of its own, handed to the report's with Take afterwards, in order.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "check/NetworkCheck.h"

namespace talvik {

class Findings {
  public:
    Findings(std::size_t points, std::size_t sights) : pointFlags_(points), sightFlags_(sights) {}

    // A finding naming these points (indices of the report's points); an error flags them. Its
    // text is made only while findings are kept in full.
    // `about`: the sight it concerns, where it concerns one.
    template <typename Text>
    void Add(Severity severity, std::initializer_list<std::size_t> points, Text&& text,
             About about = {}) {
        if (severity == Severity::Error) {
            for (const std::size_t n : points)
                pointFlags_[n] = true;
        }
        if (list_.size() < CheckReport::kKept)
            list_.push_back({severity, std::string(text()), points, about});
        else
            ++(severity == Severity::Error ? errorsLeftOut_ : warningsLeftOut_);
    }
    void Add(Finding finding);
    // The sight an error names, by its number in the store: its line is drawn red.
    void FlagSight(std::size_t sight) { sightFlags_[sight] = true; }
    // The findings and flags of a later part, after these.
    void Take(Findings&& later);

    std::vector<Finding>& List() { return list_; }
    std::size_t ErrorsLeftOut() const { return errorsLeftOut_; }
    std::size_t WarningsLeftOut() const { return warningsLeftOut_; }
    void LeftOut(std::size_t errors, std::size_t warnings) {
        errorsLeftOut_ += errors;
        warningsLeftOut_ += warnings;
    }
    bool PointFlagged(std::size_t n) const { return pointFlags_[n]; }
    bool SightFlagged(std::size_t n) const { return sightFlags_[n]; }

  private:
    std::vector<Finding> list_;
    std::size_t errorsLeftOut_ = 0;
    std::size_t warningsLeftOut_ = 0;
    std::vector<bool> pointFlags_;
    std::vector<bool> sightFlags_;
};

// Numbers for the texts: fixed decimals with a decimal point, metres as "0.123 m", angles in the
// field file's unit ("0.0123 gon", "0.0123 graden").
std::string Fixed(double value, int decimals);
std::string Metres(double value);
std::string Shortest(double value);  // any number, however large or not finite: "1e+154", "nan"
std::string AngleText(double radians, AngleUnit unit);

// The texts, one per kind of finding (names without trailing blanks).
namespace says {

std::string KnownPointOff(const std::string& point, const std::string& from, double off,
                          double tolerance);
std::string PlacementOff(const std::string& point, const std::string& from,
                         const std::string& origin, double off, double tolerance);
std::string KnownHeightOff(const std::string& point, const std::string& from, double off,
                           double tolerance);
std::string HeightOff(const std::string& point, const std::string& from,
                      const std::string& heightFrom, double off, double tolerance);
std::string FitResidual(const std::string& station, const std::string& point, double off,
                        double tolerance);
std::string FreeStationScale(const std::string& station, double scale, std::size_t points);
std::string BothWays(bool height, const std::string& from, const std::string& to, double there,
                     double home, double tolerance);
std::string Spread(const std::string& station, const std::string& target, bool zenith, bool faces,
                   double spread, double tolerance, AngleUnit unit);
std::string DistanceSpread(const std::string& station, const std::string& target, bool faces,
                           double spread, double tolerance);
std::string OneDirection(const std::string& station, const std::string& target);
std::string DirectionOnly(const std::string& point, const std::string& from);
std::string NotConnected(const std::string& point);
// What leaves the whole network without a place, said once instead of every point's finding.
std::string NothingSelected(const std::string& codes);
std::string NoIdexPoints();
std::string NoIdexPointObserved(std::size_t idexPoints);
std::string WeakIntersection(const std::string& point, const std::string& a, const std::string& b,
                             double angle, AngleUnit unit);
std::string BehindStation(const std::string& point, const std::string& a, const std::string& b);
std::string NoHeight(const std::string& point);
std::string AbsurdReading(const std::string& station, const std::string& target, const char* what,
                          double value);
std::string AbsurdCoordinates(const std::string& point, double x, double y, double z);
std::string IdexTwin(const std::string& point, double x1, double y1, double z1, double x2,
                     double y2, double z2);
std::string Face2InDegrees(AngleUnit unit, std::size_t readings, const std::string& station,
                           const std::string& target);

}  // namespace says

}  // namespace talvik
