#include "fieldfile/WordSplit.h"

#include "text/Text.h"

namespace talvik {

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
        std::string& word = words[count++];
        word.assign(line.data() + i, j - i);
        for (char& c : word)
            c = UpperChar(c);
        i = j;
    }
    words.resize(count);
}

}  // namespace talvik
