// Converts arbitrary bytes, taken as a package coordinate file, into an IDEX file.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "QuietUi.h"
#include "interchange/CoordinateImport.h"

namespace {

using talvik::fuzz::QuietUi;

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("talvik-fuzz-cor-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string cor = (Folder() / "in.cor").string();
    const std::string idx = (Folder() / "out.idx").string();
    {
        std::ofstream out(cor, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    QuietUi ui;
    if (talvik::ConvertCoordinateFile("L", "GR", cor, idx, ui) != talvik::ImportOutcome::Written)
        std::abort();
    std::ifstream in(idx, std::ios::binary);
    std::string first;
    std::getline(in, first);
    if (first != "HEADER\r") std::abort();
    in.close();
    std::error_code ec;
    std::filesystem::remove(idx, ec);
    std::filesystem::remove(cor, ec);
    return 0;
}
