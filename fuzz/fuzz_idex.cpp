// Feeds arbitrary bytes to the IDEX reader as the contents of an IDEX file.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "QuietUi.h"
#include "interchange/IdexReader.h"

using talvik::fuzz::QuietUi;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    talvik::LineReader input;
    input.OpenText(std::string_view(reinterpret_cast<const char*>(data), size));
    talvik::PointTable points;
    QuietUi ui;
    talvik::ReadIdexFile(input, points, ui);
    for (std::size_t i = 1; i <= points.Last(); ++i) {
        if (points[i].Name.size() != 9 || !points[i].HasCoordinates) std::abort();
    }
    return 0;
}
