#pragma once
// Text replacement for assembling messages from templates.

#include <string>
#include <string_view>

namespace talvik {

// Replaces every occurrence of `search` (exact bytes) from left to right without overlap; the
// inserted text is never searched again, so a replacement that contains the search text does
// not grow endlessly. An empty search text leaves the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view search,
                       std::string_view replacement);

}  // namespace talvik
