#include "check/Findings.h"

#include <charconv>

#include "check/Geometry.h"

namespace talvik {

void Findings::Add(Finding finding) {
    if (finding.severity == Severity::Error) {
        for (const std::size_t n : finding.points)
            pointFlags_[n] = true;
    }
    if (list_.size() < CheckReport::kKept)
        list_.push_back(std::move(finding));
    else
        ++(finding.severity == Severity::Error ? errorsLeftOut_ : warningsLeftOut_);
}

void Findings::Take(Findings&& later) {
    for (Finding& finding : later.list_) {
        if (list_.size() < CheckReport::kKept)
            list_.push_back(std::move(finding));
        else
            ++(finding.severity == Severity::Error ? errorsLeftOut_ : warningsLeftOut_);
    }
    errorsLeftOut_ += later.errorsLeftOut_;
    warningsLeftOut_ += later.warningsLeftOut_;
    for (std::size_t n = 0; n < later.pointFlags_.size() && n < pointFlags_.size(); ++n) {
        if (later.pointFlags_[n]) pointFlags_[n] = true;
    }
    for (std::size_t n = 0; n < later.sightFlags_.size() && n < sightFlags_.size(); ++n) {
        if (later.sightFlags_[n]) sightFlags_[n] = true;
    }
}

std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string Shortest(double value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string Metres(double value) {
    return Fixed(value, 3) + " m";
}

std::string AngleText(double radians, AngleUnit unit) {
    if (unit == AngleUnit::Gon) return Fixed(radians / geometry::kGon, 4) + " gon";
    return Fixed(radians * 180.0 / geometry::kPi, 4) + " graden";
}

namespace says {

namespace {
std::string Allowed(double tolerance) {
    return " (toegestaan " + Metres(tolerance) + ")";
}
}  // namespace

std::string KnownPointOff(const std::string& point, const std::string& from, double off,
                          double tolerance) {
    return "bekend punt " + point + ": vanuit " + from + " berekend op " + Metres(off) +
           " van de bekende co\xF6rdinaten" + Allowed(tolerance);
}

std::string PlacementOff(const std::string& point, const std::string& from,
                         const std::string& origin, double off, double tolerance) {
    return "punt " + point + ": plaatsing vanuit " + from + " wijkt " + Metres(off) + " af van " +
           origin + Allowed(tolerance);
}

std::string KnownHeightOff(const std::string& point, const std::string& from, double off,
                           double tolerance) {
    return "bekend punt " + point + ": hoogte vanuit " + from + " wijkt " + Metres(off) +
           " af van de bekende hoogte" + Allowed(tolerance);
}

std::string HeightOff(const std::string& point, const std::string& from,
                      const std::string& heightFrom, double off, double tolerance) {
    return "punt " + point + ": hoogte vanuit " + from + " wijkt " + Metres(off) +
           " af van die vanuit " + heightFrom + Allowed(tolerance);
}

std::string FitResidual(const std::string& station, const std::string& point, double off,
                        double tolerance) {
    return "vrije standplaats " + station + ": punt " + point + " past " + Metres(off) +
           " naast de aansluiting" + Allowed(tolerance);
}

std::string FreeStationScale(const std::string& station, double scale, std::size_t points) {
    return "vrije standplaats " + station + ": schaal " + Fixed(scale, 6) + " uit " +
           std::to_string(points) + " punten";
}

std::string BothWays(bool height, const std::string& from, const std::string& to, double there,
                     double home, double tolerance) {
    return (height ? "hoogteverschil " : "afstand ") + from + "-" + to + ": heen " + Metres(there) +
           ", terug " + Metres(home) + ", verschil " + Metres(std::abs(there - home)) +
           Allowed(tolerance);
}

std::string Spread(const std::string& station, const std::string& target, bool zenith, bool faces,
                   double spread, double tolerance, AngleUnit unit) {
    const std::string where = "standplaats " + station + ", " + target + ": ";
    const std::string amount = AngleText(spread, unit);
    const std::string tail = " (toegestaan " + AngleText(tolerance, unit) + ")";
    if (zenith)
        return where +
               (faces ? "zenithoeken in kijkerstand 1 en 2 wijken " + amount +
                            " af van een volle cirkel"
                      : "herhaalde zenithoeken lopen " + amount + " uiteen") +
               tail;
    return where +
           (faces
                ? "richtingen in kijkerstand 1 en 2 verschillen " + amount + " van een halve cirkel"
                : "herhaalde richtingen lopen " + amount + " uiteen") +
           tail;
}

std::string DistanceSpread(const std::string& station, const std::string& target, bool faces,
                           double spread, double tolerance) {
    return "standplaats " + station + ", " + target + ": " +
           (faces ? "afstanden in kijkerstand 1 en 2 verschillen " + Metres(spread)
                  : "herhaalde afstanden lopen " + Metres(spread) + " uiteen") +
           Allowed(tolerance);
}

std::string OneDirection(const std::string& station, const std::string& target) {
    return "standplaats " + station + ": slechts \xE9\xE9n richting (naar " + target +
           "); zonder bekende ori\xEBntatie voegt die niets toe";
}

std::string DirectionOnly(const std::string& point, const std::string& from) {
    return "punt " + point + ": niet te plaatsen, alleen een richting vanuit " + from;
}

std::string NotConnected(const std::string& point) {
    return "punt " + point + ": niet te plaatsen, niet verbonden met bekende punten";
}

std::string NothingSelected(const std::string& codes) {
    return "geen enkele waarneming geselecteerd: geen objectcode van het veldbestand begint met " +
           (codes.empty()
                ? std::string("een selectiecode (alle zijn leeg)")
                : "de selectiecode" +
                      std::string(codes.find(',') == std::string::npos ? " " : "s ") + codes) +
           "; zonder waarnemingen is geen punt te plaatsen";
}

std::string NoIdexPoints() {
    return "geen bekende punten: het IDEX-bestand ontbreekt of bevat geen punten; zonder bekende "
           "punten is geen punt te plaatsen";
}

std::string NoIdexPointObserved(std::size_t idexPoints) {
    return "geen van de " + std::to_string(idexPoints) +
           " punten van het IDEX-bestand komt in de geselecteerde waarnemingen voor; zonder "
           "bekende punten is geen punt te plaatsen";
}

std::string WeakIntersection(const std::string& point, const std::string& a, const std::string& b,
                             double angle, AngleUnit unit) {
    return "punt " + point + ": niet te plaatsen, de richtingen vanuit " + a + " en " + b +
           " snijden elkaar onder " + AngleText(angle, unit) + " (zwakke insnijding; minstens " +
           AngleText(3.0 * geometry::kPi / 180.0, unit) + ")";
}

std::string BehindStation(const std::string& point, const std::string& a, const std::string& b) {
    return "punt " + point + ": niet te plaatsen, de richtingen vanuit " + a + " en " + b +
           " snijden elkaar achter een standplaats";
}

std::string AbsurdReading(const std::string& station, const std::string& target, const char* what,
                          double value) {
    return "waarneming " + station + "-" + target + ": " + what + " " + Shortest(value) +
           " kan geen meting zijn; de waarneming is niet gebruikt";
}

std::string AbsurdCoordinates(const std::string& point, double x, double y, double z) {
    return "punt " + point + ": co\xF6rdinaten " + Shortest(x) + " " + Shortest(y) + " " +
           Shortest(z) + " kunnen niet kloppen; het punt is niet als bekend gebruikt";
}

std::string NoHeight(const std::string& point) {
    return "punt " + point + ": geen hoogte te berekenen";
}

std::string IdexTwin(const std::string& point, double x1, double y1, double z1, double x2,
                     double y2, double z2) {
    return "IDEX-bestand: punt " + point + " staat er meer dan eens in, met " + Fixed(x1, 3) + " " +
           Fixed(y1, 3) + " " + Fixed(z1, 3) + " en " + Fixed(x2, 3) + " " + Fixed(y2, 3) + " " +
           Fixed(z2, 3);
}

std::string Face2InDegrees(AngleUnit unit, std::size_t readings, const std::string& station,
                           const std::string& target) {
    return std::string("de hoeken staan in ") + (unit == AngleUnit::Gon ? "gon" : "graden") +
           ", maar de export herleidt kijkerstand 2 met 200 en 400 (gon): " +
           std::to_string(readings) + " waarnemingen betreffen dit, de eerste " + station + "-" +
           target;
}

}  // namespace says

}  // namespace talvik
