#pragma once
// Cuts a line into upper-case words at single blanks. Leading and trailing blanks are ignored
// and runs of blanks count as one, so no word is ever empty; a tab is an ordinary character.

#include <string>
#include <string_view>
#include <vector>

namespace talvik {

// Calls emit(begin, end) for the words of `text` in turn, byte by byte and as they are (no
// upper case), while emit returns true.
template <typename Emit>
void CutWords(std::string_view text, Emit&& emit) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        while (i < n && text[i] == ' ')
            ++i;
        if (i >= n) break;
        std::size_t j = i;
        while (j < n && text[j] != ' ')
            ++j;
        if (!emit(i, j)) return;
        i = j;
    }
}

// Replaces the contents of `words` (its capacity is reused); the index of the last word is
// words.size() - 1, that is -1 for a line without words.
void SplitWords(std::string_view line, std::vector<std::string>& words);

// The same words as views into `upper`, which receives the line in upper case; they stay valid
// while `upper` is not changed. Nothing is allocated once the buffers have grown.
void SplitWords(std::string_view line, std::string& upper, std::vector<std::string_view>& words);

}  // namespace talvik
