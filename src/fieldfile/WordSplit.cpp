#include "fieldfile/WordSplit.h"

#include "text/Text.h"

namespace talvik {

void SplitWords(std::string_view line, std::string& upper, std::vector<std::string_view>& words) {
    ToUpperInto(line, upper);
    words.clear();
    const char* const data = upper.data();
    const std::size_t n = upper.size();
    std::size_t i = 0;
    while (i < n) {
        while (i < n && data[i] == ' ')
            ++i;
        if (i >= n) break;
        std::size_t j = i;
        while (j < n && data[j] != ' ')
            ++j;
        words.emplace_back(data + i, j - i);
        i = j;
    }
}

void SplitWords(std::string_view line, std::vector<std::string>& words) {
    std::size_t count = 0;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        while (i < n && line[i] == ' ')
            ++i;
        if (i >= n) break;
        std::size_t j = i;
        while (j < n && line[j] != ' ')
            ++j;
        if (count == words.size()) words.emplace_back();
        ToUpperInto(line.substr(i, j - i), words[count++]);
        i = j;
    }
    words.resize(count);
}

}  // namespace talvik
