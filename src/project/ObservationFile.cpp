#include "project/ObservationFile.h"

#include <string>
#include <unordered_map>

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

bool WriteObservationFile(OutputFile& file, const ObservationTable& observations,
                          const ProjectValues& values, AngleUnit angleUnit, UserInterface& ui) {
    const bool v3 = values.Version != 1;
    const std::string_view format = kNumberFormat;
    // Set-ups seen so far per station: the n-th set-up on a station opens series n - 1.
    std::unordered_map<std::string, long long> setups;
    std::string seriesLabel = "    R0  ";
    BodyLines body(file, ui, "Opslaan Waarnemingen: ", observations.size() - 1);

    for (std::size_t i = 1; i < observations.size(); ++i) {
        const ObservationRecord& r = observations[i];
        if (r.Zenith < 0) {
            const long long count = ++setups[std::string(r.Station.View())];
            seriesLabel = "    R" + IntText(count - 1) + "  ";
            continue;
        }
        std::string& out = file.Buffer();
        if (v3) out.append("TS  ");
        AppendName9(out, r.Station);
        out.append("    ");
        AppendName9(out, r.Target);
        out.append("    ");
        AppendValue(out, r.InstrumentHeight, format);
        out.append("    ");
        AppendValue(out, r.TargetHeight, format);
        if (!(r.Direction == 0 && r.Zenith == 0)) {
            out.append(seriesLabel);
            AppendAngle(out, r.Direction, format, angleUnit);
            if (v3) out.append(values.DirectionSigmaText);
        }
        if (r.Distance != 0) {
            out.append("    S0  ");
            AppendValue(out, r.Distance, format);
            if (v3) out.append(values.DistanceSigmaText);
        }
        if (r.Distance2 != 0) {
            out.append("    S0  ");
            AppendValue(out, r.Distance2, format);
            if (v3) out.append(values.DistanceSigmaText);
        }
        if (r.Zenith != 0) {
            out.append("    Z0  ");
            AppendAngle(out, r.Zenith, format, angleUnit);
            if (v3) out.append(values.ZenithSigmaText);
        }
        if (r.Azimuth != 0) {
            out.append("    A0  ");
            AppendAngle(out, r.Azimuth, format, angleUnit);
            if (v3) out.append(values.DirectionSigmaText);
        }
        out.append(values.DimensionSuffix);
        body.EndLine(i);
    }
    return body.Finish();
}

}  // namespace talvik
