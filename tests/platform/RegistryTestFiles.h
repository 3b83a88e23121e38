#pragma once
// Hand-written registry files for the registry and host tests.

#include <initializer_list>
#include <string>
#include <string_view>

#include "support/ReadBytes.h"
#include "support/TempFolder.h"

namespace talvik::testing {

// A registry file: the header, a blank line and the lines, each line ended with CR LF.
inline std::string RegFile(std::initializer_list<std::string_view> lines) {
    std::string text = "REGEDIT4\r\n\r\n";
    for (const std::string_view line : lines)
        (text += line) += "\r\n";
    return text;
}

}  // namespace talvik::testing
