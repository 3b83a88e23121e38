#include "check/CoordinateTable.h"

#include <charconv>
#include <cstdio>

#include "platform/FileReplace.h"

namespace talvik {

namespace {

void Number(std::string& out, double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error == std::errc()) out.append(buffer, end);
}

void Name(std::string& out, const std::string& name, char separator) {
    if (separator != ',') {
        for (const char c : name)
            out += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
        return;
    }
    if (name.find_first_of(",\"\r\n") == std::string::npos) {
        out += name;
        return;
    }
    out += '"';
    for (const char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string Table(const CheckReport& report, char separator) {
    std::string out;
    for (const char* cell : {"punt", "x", "y", "h", "sx", "sy", "sh"})
        out.append(out.empty() ? "" : std::string(1, separator)).append(cell);
    out += "\r\n";
    for (const CheckPoint& p : report.points) {
        if (p.state == PointState::NotPlaced) continue;
        Name(out, p.name, separator);
        out += separator;
        Number(out, p.x, 4);
        out += separator;
        Number(out, p.y, 4);
        out += separator;
        if (p.hasHeight || p.state == PointState::Known || p.heightAdjusted) Number(out, p.z, 4);
        out += separator;
        if (p.adjusted) Number(out, p.sx, 4);
        out += separator;
        if (p.adjusted) Number(out, p.sy, 4);
        out += separator;
        if (p.heightAdjusted) Number(out, p.sh, 4);
        out += "\r\n";
    }
    return out;
}

}  // namespace

std::string CoordinateTable(const CheckReport& report) {
    return Table(report, ',');
}

std::string CoordinateTabText(const CheckReport& report) {
    return Table(report, '\t');
}

bool WriteCoordinateTable(const CheckReport& report, const std::string& path,
                          std::string& problem) {
    const std::string table = CoordinateTable(report);
    return WriteWholeFile(path, table, problem);
}

}  // namespace talvik
