#include "project/ObservationFile.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "project/NumberFormat.h"
#include "text/Text.h"

namespace talvik {

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

long long& ObservationWriter::SetUpCounts::operator[](const Name9& station) {
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

ObservationWriter::ObservationWriter(OutputFile& file, const ProjectValues& values,
                                     AngleUnit angleUnit)
    : file_(file), values_(values), angleUnit_(angleUnit) {
    // Nine texts in front, seven numbers, the series label, the deviations, the suffix.
    line_.resize(128 + 7 * kMaxNumberText + 64 +
                 4 * std::max({values.DirectionSigmaText.size(), values.DistanceSigmaText.size(),
                               values.ZenithSigmaText.size()}) +
                 values.DimensionSuffix.size() + 2);
}

void ObservationWriter::Put(const ObservationRecord& r) {
    ++records_;
    if (r.OpensSeries()) {
        ++stationRecords_;
        // The n-th set-up on a station opens series n - 1.
        const long long count = ++setups_[r.Station];
        seriesLabel_ = "    R" + IntText(count - 1) + "  ";
        return;
    }
    // The line is put together in a buffer that holds the longest one, then appended at once.
    const bool v3 = values_.Version != 1;
    char* p = line_.data();
    const auto put = [&p](std::string_view text) {
        std::memcpy(p, text.data(), text.size());
        p += text.size();
    };
    if (v3) put("TS  ");
    put(r.Station.View());
    put("    ");
    put(r.Target.View());
    put("    ");
    p = WriteValue(p, r.InstrumentHeight);
    put("    ");
    p = WriteValue(p, r.TargetHeight);
    if (!(r.Direction == 0 && r.Zenith == 0)) {
        put(seriesLabel_);
        p = WriteAngle(p, r.Direction, angleUnit_);
        if (v3) put(values_.DirectionSigmaText);
    }
    if (r.Distance != 0) {
        put("    S0  ");
        p = WriteValue(p, r.Distance);
        if (v3) put(values_.DistanceSigmaText);
    }
    if (r.Distance2 != 0) {
        put("    S0  ");
        p = WriteValue(p, r.Distance2);
        if (v3) put(values_.DistanceSigmaText);
    }
    if (r.Zenith != 0) {
        put("    Z0  ");
        p = WriteAngle(p, r.Zenith, angleUnit_);
        if (v3) put(values_.ZenithSigmaText);
    }
    if (r.Azimuth != 0) {
        put("    A0  ");
        p = WriteAngle(p, r.Azimuth, angleUnit_);
        if (v3) put(values_.DirectionSigmaText);
    }
    put(values_.DimensionSuffix);
    put("\r\n");
    file_.Buffer().append(line_.data(), static_cast<std::size_t>(p - line_.data()));
    file_.Flushed();
}

bool ObservationWriter::Close() {
    file_.Line("$");
    return file_.Close();
}

std::string ObservationProgressText(long long lines) {
    return "Opslaan Waarnemingen: " + IntText(lines);
}

}  // namespace talvik
