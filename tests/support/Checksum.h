#pragma once
// A short fingerprint of a written file, for pinning outputs that are too large to keep: the
// network name (the scratch folder in upper case) is taken out first, so the fingerprint does
// not depend on where the test ran.

#include <cstdint>
#include <cstdio>
#include <string>

namespace talvik::testing {

inline std::string Checksum(std::string bytes, const std::string& network) {
    for (std::size_t at; (at = bytes.find(network)) != std::string::npos;)
        bytes.replace(at, network.size(), "NET");
    std::uint64_t h = 14695981039346656037ull;
    for (char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

}  // namespace talvik::testing
