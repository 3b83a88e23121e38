#include "project/ObservationFile.h"

#include <string>

#include "project/NumberFormat.h"
#include "text/Text.h"

namespace talvik {

namespace {

void AppendName9(std::string& out, const Name9& name) {
    out.append(name.data(), Name9::kSize);
}

}  // namespace

void WriteObservationHeader(OutputFile& file, const ProjectValues& values) {
    file.Line(values.VersionHeader + (values.Version == 1 ? "TOB file" : "OBS file"));
    file.Line("$ NETWORK NAME");
    file.Line(values.NetworkName);
    file.Line("$");
}

void WriteObservationAngleUnit(OutputFile& file, AngleUnit angleUnit) {
    file.Line(std::string("ANGLEUNIT      ") + std::string(AngleUnitName(angleUnit)));
    file.Line("$");
}

long long& ObservationLines::SetUpCounts::operator[](const Name9& station) {
    if ((used_ + 1) * 2 > slots_.size()) {
        std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
        old.swap(slots_);
        used_ = 0;
        for (const Slot& slot : old)
            if (slot.used) (*this)[slot.station] = slot.count;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = ((station.Head() ^ station.Last()) * 0x9E3779B97F4A7C15ull) >> 40;;
         ++at) {
        Slot& slot = slots_[at & mask];
        if (!slot.used) {
            slot.station = station;
            slot.used = true;
            ++used_;
            return slot.count;
        }
        if (slot.station == station) return slot.count;
    }
}

ObservationLines::ObservationLines(OutputFile& file, const ProjectValues& values,
                                   AngleUnit angleUnit, UserInterface& ui, std::uint64_t total)
    : file_(file),
      values_(values),
      angleUnit_(angleUnit),
      body_(file, ui, std::string(kCaption), total) {}

void ObservationLines::Put(const ObservationRecord& r) {
    ++records_;
    if (r.Zenith < 0) {
        ++stationRecords_;
        // The n-th set-up on a station opens series n - 1.
        const long long count = ++setups_[r.Station];
        seriesLabel_ = "    R" + IntText(count - 1) + "  ";
        return;
    }
    const bool v3 = values_.Version != 1;
    const std::string_view format = kNumberFormat;
    std::string& out = file_.Buffer();
    if (v3) out.append("TS  ");
    AppendName9(out, r.Station);
    out.append("    ");
    AppendName9(out, r.Target);
    out.append("    ");
    AppendValue(out, r.InstrumentHeight, format);
    out.append("    ");
    AppendValue(out, r.TargetHeight, format);
    if (!(r.Direction == 0 && r.Zenith == 0)) {
        out.append(seriesLabel_);
        AppendAngle(out, r.Direction, format, angleUnit_);
        if (v3) out.append(values_.DirectionSigmaText);
    }
    if (r.Distance != 0) {
        out.append("    S0  ");
        AppendValue(out, r.Distance, format);
        if (v3) out.append(values_.DistanceSigmaText);
    }
    if (r.Distance2 != 0) {
        out.append("    S0  ");
        AppendValue(out, r.Distance2, format);
        if (v3) out.append(values_.DistanceSigmaText);
    }
    if (r.Zenith != 0) {
        out.append("    Z0  ");
        AppendAngle(out, r.Zenith, format, angleUnit_);
        if (v3) out.append(values_.ZenithSigmaText);
    }
    if (r.Azimuth != 0) {
        out.append("    A0  ");
        AppendAngle(out, r.Azimuth, format, angleUnit_);
        if (v3) out.append(values_.DirectionSigmaText);
    }
    out.append(values_.DimensionSuffix);
    body_.EndLine(records_);
}

bool WriteObservationFile(OutputFile& file, const ObservationTable& observations,
                          const ProjectValues& values, AngleUnit angleUnit, UserInterface& ui) {
    ObservationLines lines(file, values, angleUnit, ui, observations.size() - 1);
    for (std::size_t i = 1; i < observations.size(); ++i)
        lines.Put(observations[i]);
    return lines.Finish();
}

}  // namespace talvik
