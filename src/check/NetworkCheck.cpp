#include "check/NetworkCheck.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <future>
#include <unordered_map>

#include "check/BothWays.h"
#include "check/Findings.h"
#include "check/Geometry.h"
#include "check/Network.h"
#include "check/Placement.h"
#include "check/Rules.h"
#include "check/SetUps.h"
#include "model/Beside.h"
#include "text/Text.h"

namespace talvik {

namespace {

// Below this many sights the work beside is shorter than starting a thread for it.
constexpr std::size_t kSightsWorthAThread = 1000;

// A coordinate a survey can hold: finite, and within 10 000 km of the grid's origin.
bool Usable(double coordinate) {
    return std::isfinite(coordinate) && std::abs(coordinate) < 1e7;
}

double Number(const std::string& text, double fallback) {
    const std::string_view trimmed = TrimBlanks(text);
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (error != std::errc() || end == trimmed.data() || !(value >= 0.0)) return fallback;
    return value;
}

}  // namespace

std::size_t CheckReport::Errors() const {
    return errorsLeftOut + static_cast<std::size_t>(std::count_if(
                               findings.begin(), findings.end(),
                               [](const Finding& f) { return f.severity == Severity::Error; }));
}

std::size_t CheckReport::Warnings() const {
    return findings.size() + errorsLeftOut + warningsLeftOut - Errors();
}

std::size_t CheckReport::Find(std::string_view name) const {
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].name == name) return i;
    }
    return points.size();
}

CheckChoices ChoicesFrom(const ExportOptions& options, AngleUnit unit) {
    CheckChoices c;
    c.unit = unit;
    c.face2to1 = options.Face2to1;
    c.codes.clear();
    for (std::size_t i = 1; i < options.SelCode.size(); ++i) {
        const std::string_view code = TrimBlanks(options.SelCode[i]);
        if (!code.empty()) c.codes += (c.codes.empty() ? "" : ", ") + std::string(code);
    }
    c.heights = options.Version != 1;
    c.absHor = Number(options.AbsHor, c.absHor);
    c.relHor = Number(options.RelHor, c.relHor);
    c.absVer = Number(options.AbsVer, c.absVer);
    c.relVer = Number(options.RelVer, c.relVer);
    c.absDis = Number(options.AbsDis, c.absDis);
    c.relDis = Number(options.RelDis, c.relDis);
    c.sdXY = Number(options.SDXY, c.sdXY);
    c.sdZ = Number(options.SDZ, c.sdZ);
    c.sigmaCent = Number(options.SigmaCent, c.sigmaCent);
    c.sigmaInst = Number(options.SigmaInst, c.sigmaInst);
    return c;
}

void JoinAdjustment(CheckReport& report, std::vector<JudgedSight> judged) {
    std::vector<Finding>& list = report.findings;
    std::vector<bool> gone(list.size());
    std::vector<bool> joined(list.size());
    const auto adjusted = [&](const About& a, bool height) {
        const CheckPoint& s = report.points[a.station];
        const CheckPoint& t = report.points[a.target];
        return height ? s.heightAdjusted && t.heightAdjusted : s.adjusted && t.adjusted;
    };
    std::sort(judged.begin(), judged.end());
    const auto tested = [&](std::uint32_t station, std::uint32_t target, Concern c) {
        return std::binary_search(judged.begin(), judged.end(), JudgedSight{station, target, c});
    };
    // The position and height rules step aside where the adjustment's tests judged the sight.
    for (std::size_t i = 0; i < list.size(); ++i) {
        const About& a = list[i].about;
        if (a.rejection) continue;
        if ((a.concern == Concern::Position && adjusted(a, false)) ||
            (a.concern == Concern::Height && adjusted(a, true))) {
            gone[i] = true;
        }
    }
    // A rejection joins the rules' findings of the same sight: the rules' words first, then
    // the adjustment's.
    const auto same = [](const About& rule, const About& r) {
        if (rule.rejection || rule.concern != r.concern) return false;
        if (rule.station == r.station && rule.target == r.target) return true;
        return rule.bothWays && rule.station == r.target && rule.target == r.station;
    };
    const auto join = [&](Finding& into, const Finding& from, const char* between) {
        into.text += between + from.text;
        for (const std::size_t n : from.points) {
            if (std::find(into.points.begin(), into.points.end(), n) == into.points.end())
                into.points.push_back(n);
        }
    };
    for (std::size_t r = 0; r < list.size(); ++r) {
        const About& a = list[r].about;
        if (!a.rejection || a.concern == Concern::Other) continue;
        std::size_t first = list.size();
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (gone[i] || list[i].severity != Severity::Error || !same(list[i].about, a)) continue;
            if (first == list.size()) {
                first = i;
            } else {
                join(list[first], list[i], "; ");
                gone[i] = true;
            }
        }
        if (first == list.size()) continue;
        join(list[first], list[r], "; vereffening: ");
        joined[first] = true;
        gone[r] = true;
    }
    // The pair rules compare readings the adjustment tested one by one against the same
    // noise: where it rejected none of them, their finding is a false alarm its tests did
    // not share (the adjustment holds the network's false alarms to its share alone).
    for (std::size_t i = 0; i < list.size(); ++i) {
        const About& a = list[i].about;
        if (gone[i] || joined[i] || a.rejection || a.concern < Concern::Direction) continue;
        if (tested(a.station, a.target, a.concern) &&
            (!a.bothWays || tested(a.target, a.station, a.concern)))
            gone[i] = true;
    }
    std::vector<Finding> kept;
    kept.reserve(list.size());
    std::vector<Finding> left;
    for (std::size_t i = 0; i < list.size(); ++i)
        (gone[i] ? left : kept).push_back(std::move(list[i]));
    list = std::move(kept);
    // What only the findings let go named is no longer red.
    const auto names = [&](std::size_t point) {
        return std::any_of(list.begin(), list.end(), [&](const Finding& f) {
            return f.severity == Severity::Error &&
                   std::find(f.points.begin(), f.points.end(), point) != f.points.end();
        });
    };
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sights;  // theirs, lower point first
    for (const Finding& f : left) {
        if (f.about.rejection) continue;
        for (const std::size_t n : f.points)
            report.points[n].flagged = names(n);
        sights.emplace_back(std::min(f.about.station, f.about.target),
                            std::max(f.about.station, f.about.target));
    }
    std::sort(sights.begin(), sights.end());
    for (CheckLine& line : report.lines) {
        if (!line.flagged || !std::binary_search(sights.begin(), sights.end(),
                                                 std::pair{std::min(line.from, line.to),
                                                           std::max(line.from, line.to)}))
            continue;
        line.flagged = std::any_of(list.begin(), list.end(), [&](const Finding& g) {
            const auto has = [&](std::size_t n) {
                return std::find(g.points.begin(), g.points.end(), n) != g.points.end();
            };
            return g.severity == Severity::Error && has(line.from) && has(line.to);
        });
    }
}

double AngleToRadians(double value, AngleUnit unit) {
    switch (unit) {
        case AngleUnit::Gon:
            return value * geometry::kGon;
        case AngleUnit::DecimalDegrees:
            return value * geometry::kPi / 180.0;
        case AngleUnit::DegreesMinutesSeconds: {
            // DDD.MMSSs: whole degrees, two digits of minutes, seconds with their decimals.
            const double size = std::abs(value);
            double degrees = std::floor(size);
            double rest = (size - degrees) * 100.0;
            double minutes = std::floor(rest + 1e-9);
            double seconds = (rest - minutes) * 100.0;
            if (seconds < 0.0) seconds = 0.0;
            const double total = degrees + minutes / 60.0 + seconds / 3600.0;
            return (value < 0.0 ? -total : total) * geometry::kPi / 180.0;
        }
    }
    return value * geometry::kGon;
}
// The check's order of work: the records are combined per set-up as they come (SetUpReading);
// Adopt takes the points from the table; Run places the network (Placement), pairs the sights
// both ways beside it (BothWays), then applies the rules (Rules) and makes the report.
struct NetworkCheck::State {
    explicit State(const CheckChoices& choices) : reading(choices.unit), net(choices) {}
    void Adopt(const PointTable& points, std::size_t knownPoints);
    CheckReport Run(const std::function<void()>& adopted, const std::function<void()>& roomy);

    SetUpReading reading;
    Network net;
    std::vector<Finding> twins;   // the IDEX file's names with two sets of coordinates
    std::vector<Finding> absurd;  // coordinates no survey has
    std::size_t twinsLeftOut = 0;
    std::size_t face2Point[2] = {0, 0};  // point + 1 of the first face-2 reading's names
    std::size_t idexPoints = 0;          // the entries the IDEX file gave
};

void NetworkCheck::State::Adopt(const PointTable& points, std::size_t knownPoints) {
    reading.End();
    idexPoints = knownPoints;
    const std::vector<PointRecord>& entries = points.Entries();
    net.observed = reading.Points();
    net.names.resize(net.observed);
    net.points.resize(net.observed);
    const auto pointOfEntry = [this](std::uint32_t entry) { return reading.PointOfEntry(entry); };
    face2Point[0] = pointOfEntry(reading.Face2Station());
    face2Point[1] = pointOfEntry(reading.Face2Target());

    // The first entry with coordinates of each name gives its coordinates; the points of the
    // field file's coordinate records count even when nothing observes them. The entries are
    // walked in order, and with them the entries whose name an earlier one has.
    std::vector<PointTable::Shadow> shadows = points.Shadowed();
    std::sort(shadows.begin(), shadows.end(),
              [](const auto& a, const auto& b) { return a.entry < b.entry; });
    std::unordered_map<std::uint32_t, std::uint32_t> coordinatesAt;  // for a first without
    auto shadow = shadows.begin();
    for (std::uint32_t e = 1; e < entries.size(); ++e) {
        const PointRecord& p = entries[e];
        const bool later = shadow != shadows.end() && shadow->entry == e;
        const std::uint32_t first = later ? (shadow++)->first : e;
        const std::uint32_t node = pointOfEntry(first);
        if (!later && node != 0) net.names[node - 1] = p.Name;
        if (!p.HasCoordinates) continue;
        if (later) {
            std::uint32_t q = first;
            if (!entries[first].HasCoordinates)
                q = coordinatesAt.try_emplace(first, e).first->second;
            if (q != e) {
                const PointRecord& r = entries[q];
                if (e <= knownPoints && q <= knownPoints &&
                    (std::abs(p.X - r.X) > 5e-4 || std::abs(p.Y - r.Y) > 5e-4 ||
                     std::abs(p.Z - r.Z) > 5e-4)) {
                    if (twins.size() >= CheckReport::kKept) {
                        ++twinsLeftOut;
                        continue;
                    }
                    std::vector<std::size_t> named;
                    if (node != 0) named.push_back(node - 1);
                    twins.push_back({Severity::Warning,
                                     says::IdexTwin(Trimmed(p.Name), r.X, r.Y, r.Z, p.X, p.Y, p.Z),
                                     named});
                }
                continue;
            }
        }
        std::uint32_t n = 0;
        if (node != 0) {
            n = node - 1;
        } else if (e > knownPoints) {
            n = static_cast<std::uint32_t>(net.names.size());
            net.names.push_back(p.Name);
            net.points.emplace_back();
        } else {
            continue;
        }
        if (!Usable(p.X) || !Usable(p.Y) || !Usable(p.Z)) {
            // Coordinates no survey has: named, and the point left to the readings.
            absurd.push_back(
                {Severity::Error, says::AbsurdCoordinates(Trimmed(p.Name), p.X, p.Y, p.Z), {n}});
            continue;
        }
        Point& point = net.points[n];
        point.known = point.placed = point.hasHeight = true;
        point.x = p.X;
        point.y = p.Y;
        point.z = p.Z;
        point.sigma = net.choices.sdXY;
        point.sigmaZ = net.choices.sdZ;
    }
    // The readings left out for a number no survey has, by their names.
    for (const SetUpReading::Absurd& a : reading.AbsurdReadings()) {
        const std::uint32_t station = pointOfEntry(a.stationEntry);
        const std::uint32_t target = pointOfEntry(a.targetEntry);
        const auto name = [this](std::uint32_t point) {
            return point != 0 ? Trimmed(net.names[point - 1]) : std::string("?");
        };
        Finding f{
            Severity::Error, says::AbsurdReading(name(station), name(target), a.what, a.value), {}};
        for (const std::uint32_t point : {station, target}) {
            if (point != 0) f.points.push_back(point - 1);
        }
        absurd.push_back(std::move(f));
    }
    reading.ForgetEntries();
}

CheckReport NetworkCheck::State::Run(const std::function<void()>& adopted,
                                     const std::function<void()>& roomy) {
    reading.End();
    reading.TakeSetUps(net.setUps, net.sights);
    net.orientations.assign(net.setUps.size(), Orientation{});
    // The points, as Adopt made them from the point table.
    if (adopted) adopted();
    net.Index();

    CheckReport report;
    Findings findings(net.points.size(), net.sights.size());
    for (Finding& twin : twins)
        findings.Add(std::move(twin));
    findings.LeftOut(reading.AbsurdLeftOut(), twinsLeftOut);
    for (Finding& f : absurd)
        findings.Add(std::move(f));

    // The pairs both ways read only the sights: they are made beside the placement, once an
    // export beside has let go of its tables.
    // A small network is done sooner than a thread is started: its parts run in turn.
    const bool worthAThread = net.sights.size() >= kSightsWorthAThread;
    std::future<BothWays> pairing = RunBeside(
        [this, &roomy] {
            if (roomy) roomy();
            return BothWays(net);
        },
        worthAThread);
    PlaceNetwork(net, findings, report.notes);

    // Positions and heights: the set-ups in two halves of about as many sights, the second on a
    // thread of its own with findings of its own, reported after the first's.
    std::size_t half = 0;
    for (std::size_t seen = 0; half < net.setUps.size() && seen * 2 < net.sights.size(); ++half)
        seen += net.setUps[half].sightCount;
    Findings second(net.points.size(), net.sights.size());
    std::future<void> later =
        RunBeside([this, half, &second] { ComparePositions(net, half, net.setUps.size(), second); },
                  worthAThread);
    ComparePositions(net, 0, half, findings);
    later.get();
    findings.Take(std::move(second));

    // The pair rules (both ways, faces, rounds) share one critical value over all their
    // comparisons.
    BothWays pairs = pairing.get();
    const double critical = tolerance::PairCritical(pairs.Compare(net) + SpreadComparisons(net));
    pairs.Report(net, critical, findings);
    // A network that nothing ties to known points, because the selection let no reading through
    // or no known point takes part, gets that one finding instead of each point's.
    const bool anyKnown = std::any_of(net.points.begin(), net.points.begin() + net.observed,
                                      [](const Point& p) { return p.known; });
    const bool nothingSelected = !net.setUps.empty() && reading.Readings() == 0;
    // It comes first, before what it explains (one beyond the kept ones when the list is full).
    if (nothingSelected || (!anyKnown && net.observed > 0))
        findings.List().insert(findings.List().begin(),
                               {Severity::Error,
                                nothingSelected   ? says::NothingSelected(net.choices.codes)
                                : idexPoints == 0 ? says::NoIdexPoints()
                                                  : says::NoIdexPointObserved(idexPoints),
                                {}});
    for (std::size_t u = 0; u < net.setUps.size(); ++u) {
        CompareSpreads(net, u, critical, findings);
        if (!nothingSelected) OneDirection(net, u, findings);
    }
    if (!nothingSelected && anyKnown) Unplaced(net, findings);

    const CheckChoices& choices = net.choices;
    if (choices.face2to1 && choices.unit != AngleUnit::Gon && reading.Face2Readings() > 0) {
        std::vector<std::size_t> named;
        for (const std::size_t point : face2Point) {
            if (point != 0) named.push_back(point - 1);
        }
        const auto nameOf = [this](std::size_t point) {
            return point != 0 ? net.Name(point - 1) : std::string("?");
        };
        findings.List().push_back(
            {Severity::Warning,
             says::Face2InDegrees(choices.unit, reading.Face2Readings(), nameOf(face2Point[0]),
                                  nameOf(face2Point[1])),
             named});
    }

    report.points.resize(net.points.size());
    for (std::size_t n = 0; n < net.points.size(); ++n) {
        CheckPoint& p = report.points[n];
        const Point& point = net.points[n];
        p.name = net.Name(n);
        p.state = point.known    ? PointState::Known
                  : point.placed ? PointState::Placed
                                 : PointState::NotPlaced;
        p.x = point.x;
        p.y = point.y;
        p.z = point.z;
        p.hasHeight = point.hasHeight;
        p.flagged = findings.PointFlagged(n);
    }
    report.lines = pairs.Lines(findings);
    report.findings = std::move(findings.List());
    report.errorsLeftOut = findings.ErrorsLeftOut();
    report.warningsLeftOut = findings.WarningsLeftOut();
    return report;
}

NetworkCheck::NetworkCheck(const CheckChoices& choices)
    : state_(std::make_unique<State>(choices)) {}
NetworkCheck::~NetworkCheck() = default;

void NetworkCheck::Put(const ObservationRecord& record) {
    state_->reading.Put(record);
}

void NetworkCheck::PutMany(std::span<const ObservationRecord> records) {
    for (const ObservationRecord& record : records)
        state_->reading.Put(record);
}

void NetworkCheck::Adopt(const PointTable& points, std::size_t knownPoints) {
    state_->Adopt(points, knownPoints);
}

void NetworkCheck::EndOfRecords() {
    state_->reading.End();
}

CheckReport NetworkCheck::Run(const std::function<void()>& adopted,
                              const std::function<void()>& roomy) {
    return state_->Run(adopted, roomy);
}

}  // namespace talvik
