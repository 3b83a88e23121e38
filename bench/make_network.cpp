// Writes the inputs of bench/compare.sh into a folder: big.fld (a field file of LINES lines),
// big.idx (an IDEX drawing of POINTS known points) and big.cor (adjusted coordinates of COR
// points). The same arguments give the same bytes.
//
//     make_network FOLDER [LINES [POINTS [COR]]]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "GeneratedNetwork.h"

namespace {

bool Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

std::string CorFile(std::size_t count) {
    std::string out = "KORVU  V3.0.0  COR file\r\n$\r\nBIG\r\n$\r\nPROJECTION     RD\r\n$\r\n";
    for (std::size_t i = 0; i < count; ++i) {
        out += "  " + talvik::bench::PointName(static_cast<std::uint32_t>(i)) + "    ";
        talvik::bench::AppendFixed(out, 155000.0 + static_cast<double>(i % 9973) * 1.25, 4);
        out += i % 3 == 0 ? "*    " : "     ";
        talvik::bench::AppendFixed(out, 463000.0 + static_cast<double>(i % 7919) * 0.75, 4);
        out += "     12.3450    0.0021\r\n";
    }
    return out + "$\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_network FOLDER [LINES [POINTS [COR]]]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::size_t lines = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1000000;
    const std::size_t points = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 200000;
    const std::size_t cor = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 32000;
    const bool ok = Write(folder + "/big.fld", talvik::bench::MakeFieldFile(lines, points, 2)) &&
                    Write(folder + "/big.idx", talvik::bench::MakeIdexFile(points, 1)) &&
                    Write(folder + "/big.cor", CorFile(cor));
    if (!ok) std::fprintf(stderr, "make_network: cannot write into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
