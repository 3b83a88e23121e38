#pragma once
// A deterministic large network for the benchmarks, bench/make_network and the export
// checksum test (tests/export): an IDEX drawing of known points and a field file that observes
// them. The checksum test pins its output: a change here changes those checksums.

#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talvik::bench {

// "P" and six digits.
inline std::string PointName(std::uint32_t k) {
    std::string name = "P000000";
    for (std::size_t i = name.size() - 1; i > 0 && k > 0; --i, k /= 10)
        name[i] = static_cast<char>('0' + k % 10);
    return name;
}

inline void AppendFixed(std::string& out, double value, int decimals) {
    char buffer[64];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, r.ptr);
}

// The POINTS table of an IDEX drawing with `count` distinct names in shuffled order, an EXTRAINFO
// block and a record continued over two lines now and then.
inline std::string MakeIdexFile(std::size_t count, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint32_t> order(count);
    for (std::uint32_t i = 0; i < count; ++i)
        order[i] = i;
    // Fisher-Yates written out: std::shuffle differs between standard libraries.
    for (std::size_t i = count; i > 1; --i)
        std::swap(order[i - 1], order[rng() % i]);
    std::string out =
        "HEADER\r\n  SEPARATOR    \",\"\r\n  TERMINATOR   \";\"\r\nEND HEADER\r\n\r\nDATABASE\r\n"
        "  POINTS (PointNo,PointID,East,North,Elevation,Code,LayerNo)\r\n";
    out.reserve(count * 60 + out.size());
    std::uint32_t number = 0;
    for (std::uint32_t k : order) {
        out += "    " + std::to_string(++number) + ", \"" + PointName(k) + "\", ";
        AppendFixed(out, 155000 + (rng() % 10000000) / 100.0, 3);
        out += ", ";
        AppendFixed(out, 463000 + (rng() % 10000000) / 100.0, 3);
        out += rng() % 50 == 0 ? ",\r\n       " : ", ";
        AppendFixed(out, (rng() % 100000) / 1000.0, 3);
        out += ", \"GR\", 0;\r\n";
        if (rng() % 1000 == 0)
            out += "    EXTRAINFO\r\n      DESCRIPTION \"x\"\r\n    END EXTRAINFO\r\n";
    }
    out += "  END POINTS\r\nEND DATABASE\r\n";
    return out;
}

// A field file of about `lines` lines in angle unit `unit` (GR, DD or DM): set-ups with reference
// directions or azimuths, face-1 and face-2 readings, target heights, round sets, coordinate
// and height records, naming the known points of MakeIdexFile(knownPoints, ...) and new ones.
inline std::string MakeFieldFile(std::size_t lines, std::size_t knownPoints, std::uint32_t seed,
                                 std::string_view unit = "GR") {
    std::mt19937 rng(seed);
    std::string out;
    out.reserve(lines * 48);
    std::size_t n = 0;
    auto line = [&](std::string_view code) {
        out += std::to_string(++n);
        out += ' ';
        out += code;
    };
    auto name = [&] {
        // One name in a hundred is not among the known points.
        const auto k = static_cast<std::uint32_t>(rng() % (knownPoints + knownPoints / 100));
        return PointName(k);
    };
    auto number = [&](double v) {
        out += ' ';
        AppendFixed(out, v, 4);
    };
    auto reading = [&](const std::string& target, bool face2) {
        const bool withZenith = rng() % 16 != 0;
        line(withZenith ? "111 " : "112 ");
        out += target;
        const double direction = (rng() % 4000000) / 10000.0;
        const double zenith = 95 + (rng() % 100000) / 10000.0;
        number(direction);
        if (withZenith) number(face2 ? 400 - zenith : zenith);
        number(10 + (rng() % 5000000) / 10000.0);
        out += rng() % 10 == 0 ? " X9\r\n" : " K1\r\n";
    };
    line("51 ");
    out += unit;
    out += "\r\n";
    line("53 M\r\n");
    while (n < lines) {
        const std::string station = name();
        const bool azimuth = rng() % 8 == 0;
        line(azimuth ? "103 " : "102 ");
        out += station;
        number(1.5 + (rng() % 300) / 1000.0);
        number(1.6);
        out += ' ' + name();
        if (azimuth) number((rng() % 4000000) / 10000.0);
        out += " 0\r\n";
        const int targets = 4 + static_cast<int>(rng() % 12);
        std::vector<std::string> names;
        for (int t = 0; t < targets; ++t)
            names.push_back(name());
        for (const auto& t : names)
            reading(t, false);
        if (rng() % 4 == 0) {
            line("105");
            number(1.7);
            out += "\r\n";
        }
        for (int t = 0; t < targets / 2; ++t)
            reading(names[static_cast<std::size_t>(t)], true);
        if (rng() % 3 == 0) {
            // Three targets plus the closing one, two rounds.
            line("160 3 2\r\n");
            for (int r = 0; r < 8; ++r)
                reading(names[static_cast<std::size_t>(r) % names.size()], false);
            line("161\r\n");
        }
        if (rng() % 5 == 0) {
            line("62 ");
            out += name();
            number(155000 + rng() % 1000);
            number(463000 + rng() % 1000);
            out += "\r\n";
        }
        if (rng() % 7 == 0) {
            line("63 ");
            out += name();
            number((rng() % 100000) / 1000.0);
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace talvik::bench
