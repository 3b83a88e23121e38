#include "check/AdjustmentInput.h"

#include <cmath>

#include "check/Snooping.h"
#include "text/Text.h"

namespace talvik::adjustment {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string Trimmed(std::string_view name) {
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    return std::string(name);
}

// The quantity a finding about an observation of this kind concerns (a zenith angle and the
// height difference made from it are one).
Concern ConcernOf(ObservationKind kind) {
    return kind == ObservationKind::Direction  ? Concern::Direction
           : kind == ObservationKind::Distance ? Concern::Distance
                                               : Concern::Zenith;
}

}  // namespace

Sigmas SigmasFrom(const CheckChoices& c) {
    Sigmas s;
    s.absHor = c.absHor;
    s.relHor = c.relHor;
    s.absVer = c.absVer;
    s.relVer = c.relVer;
    s.absDis = c.absDis;
    s.relDis = c.relDis;
    s.sdXY = c.sdXY;
    s.sdZ = c.sdZ;
    s.sigmaCent = c.sigmaCent;
    s.sigmaInst = c.sigmaInst;
    return s;
}

std::uint32_t AdjustmentReadings::NameIndex(const Name9& name) {
    std::string text = Trimmed(name.View());
    const auto [at, added] = byName_.try_emplace(text, static_cast<std::uint32_t>(names_.size()));
    if (added) {
        names_.push_back(std::move(text));
        latest_.push_back(0);
    }
    return at->second;
}

// The set-ups as the check tells them apart: a record joins its station's latest set-up; a
// station record opens a new one unless it repeats the one that opened the latest (the copy
// after a face-2 block, which is no reading of its own); a station record at a change of rounds
// (target 0) opens nothing.
void AdjustmentReadings::Put(const ObservationRecord& record, std::uint32_t line) {
    if (tooMany_) return;
    const std::string target = Trimmed(record.Target.View());
    const bool stationRecord = record.IsSetUp();
    if (stationRecord && target == "0") return;
    if (Trimmed(record.Station.View()).empty()) return;
    const std::uint32_t station = NameIndex(record.Station);
    std::uint32_t& last = latest_[station];
    bool copy = false;
    if (last != 0 && stationRecord) {
        const SetUp& s = setUps_[last - 1];
        copy = s.opened && s.target == target && s.direction == record.Direction &&
               s.instrumentHeight == record.InstrumentHeight &&
               s.targetHeight == record.TargetHeight;
    }
    if (last == 0 || (stationRecord && !copy)) {
        setUps_.push_back({station, target, record.Direction, record.InstrumentHeight,
                           record.TargetHeight, stationRecord});
        last = static_cast<std::uint32_t>(setUps_.size());
    }
    if (copy || target.empty()) return;
    Reading r;
    r.station = station;
    r.target = NameIndex(record.Target);
    r.setUp = latest_[station] - 1;
    r.line = line;
    r.instrumentHeight = record.InstrumentHeight;
    r.targetHeight = record.TargetHeight;
    double direction = AngleToRadians(record.Direction, unit_);
    double zenith =
        !stationRecord && record.Zenith > 0.0 ? AngleToRadians(record.Zenith, unit_) : 0.0;
    if (zenith > kPi) {
        r.face = 2;
        direction -= kPi;
        zenith = 2.0 * kPi - zenith;
    }
    r.hasDirection = stationRecord || record.Direction != 0.0 || record.Zenith != 0.0;
    r.direction = direction;
    r.zenith = zenith;
    if (!stationRecord) {
        if (record.Distance > 0.0 && zenith > 0.0) {
            r.slope = record.Distance;
        } else if (record.Distance > 0.0) {
            r.horizontal = record.Distance;
        } else if (record.Distance2 > 0.0) {
            r.horizontal = record.Distance2;
        }
    }
    readings_.push_back(r);
    if (readings_.size() > kMostReadings) {
        tooMany_ = true;
        readings_ = {};
    }
}

Network AdjustmentReadings::Build(const CheckReport& report) const {
    Network net;
    std::unordered_map<std::string, std::uint32_t> inReport;
    for (std::uint32_t i = 0; i < report.points.size(); ++i)
        inReport.emplace(report.points[i].name, i);
    // The network's points are the report's, in its order; a name the report lacks is out.
    net.points.resize(report.points.size());
    for (std::size_t i = 0; i < report.points.size(); ++i) {
        const CheckPoint& p = report.points[i];
        NetPoint& n = net.points[i];
        n.name = p.name;
        n.x = p.x;
        n.y = p.y;
        n.h = p.z;
        n.known = p.state == PointState::Known;
        n.placed = p.state != PointState::NotPlaced;
        n.hasHeight = n.known || p.hasHeight;
    }
    std::vector<std::int64_t> of(names_.size(), -1);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        const auto found = inReport.find(names_[i]);
        if (found != inReport.end()) of[i] = found->second;
    }
    net.setUps = static_cast<std::uint32_t>(setUps_.size());
    net.readings.reserve(readings_.size());
    for (Reading r : readings_) {
        if (of[r.station] < 0 || of[r.target] < 0) continue;
        r.station = static_cast<std::uint32_t>(of[r.station]);
        r.target = static_cast<std::uint32_t>(of[r.target]);
        net.readings.push_back(r);
    }
    return net;
}

void AddAdjustment(CheckReport& report, const AdjustmentReadings& readings,
                   const CheckChoices& choices) {
    if (readings.TooMany()) {
        report.notes.push_back("vereffening: meer dan " +
                               std::to_string(AdjustmentReadings::kMostReadings) +
                               " waarnemingen, niet vereffend; de overige controles zijn gedaan");
        return;
    }
    const Network net = readings.Build(report);
    if (net.readings.empty()) return;
    const Verdict verdict = Snoop(net, SigmasFrom(choices));
    if (verdict.nothing) return;
    if (!verdict.ran) {
        report.notes.push_back(
            verdict.tooLarge
                ? "vereffening: het netwerk is te verweven om snel te vereffenen, niet vereffend; "
                  "de overige controles zijn gedaan"
                : "vereffening: niet gelukt (convergeert niet); de overige controles zijn gedaan");
        return;
    }
    for (const Rejection& r : verdict.rejections) {
        Finding f;
        f.severity = Severity::Error;
        f.text = RejectionText(net, r, choices.unit);
        if (r.kind == ObservationKind::InstrumentHeight) {
            f.points = {net.readings[r.reading].station};
        } else if (r.kind >= ObservationKind::KnownX) {
            f.points = {r.reading};
        } else {
            const Reading& reading = net.readings[r.reading];
            f.points = {reading.station, reading.target};
            f.about = {ConcernOf(r.kind), false, true, reading.station, reading.target};
        }
        for (const std::size_t p : f.points)
            report.points[p].flagged = true;
        if (report.findings.size() < CheckReport::kKept) {
            report.findings.push_back(std::move(f));
        } else {
            ++report.errorsLeftOut;
        }
    }
    if (verdict.stoppedEarly)
        report.notes.push_back("vereffening: na " + std::to_string(kMostRejections) +
                               " verworpen waarnemingen niet verder getoetst");
    // Without a single test (no redundancy) there is no verdict to tell.
    if (verdict.tests > 0) report.notes.push_back(SummaryText(verdict));
    if (const std::string warning = GlobalWarning(verdict); !warning.empty())
        report.findings.push_back({Severity::Warning, warning, {}});
    for (std::size_t i = 0; i < report.points.size(); ++i) {
        const AdjustedPoint& a = verdict.points[i];
        CheckPoint& p = report.points[i];
        if (!a.adjusted) continue;
        p.x = a.x;
        p.y = a.y;
        p.adjusted = true;
        p.sx = a.sx;
        p.sy = a.sy;
        if (a.heightAdjusted) {
            p.z = a.h;
            p.sh = a.sh;
            p.heightAdjusted = true;
        }
    }
    std::vector<JudgedSight> judged;
    judged.reserve(verdict.tested.size());
    for (const TestedSight& t : verdict.tested)
        judged.push_back({t.station, t.target, ConcernOf(t.kind)});
    JoinAdjustment(report, std::move(judged));
}

}  // namespace talvik::adjustment
