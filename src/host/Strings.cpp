#include "host/Strings.h"

namespace talvik {

std::string ReplaceAll(std::string_view text, std::string_view search,
                       std::string_view replacement) {
    if (search.empty()) return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    while (true) {
        const std::size_t found = text.find(search, from);
        if (found == std::string_view::npos) break;
        result.append(text, from, found - from);
        result.append(replacement);
        from = found + search.size();
    }
    result.append(text, from);
    return result;
}

}  // namespace talvik
