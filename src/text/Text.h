#pragma once
// Byte-text rules shared by every reader and writer. All texts are Windows-1252 bytes held in
// std::string; nothing here depends on the process locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvik {

// Upper case of one Windows-1252 byte: a-z, 0xE0-0xFE except 0xF7 (minus 0x20), and
// 0x9A->0x8A, 0x9C->0x8C, 0x9E->0x8E, 0xFF->0x9F. Every other byte is unchanged.
char UpperChar(char c);
std::string ToUpper(std::string_view text);
// The upper case of `text` into `out` (its capacity is reused).
void ToUpperInto(std::string_view text, std::string& out);

// Removes leading and trailing spaces only (never tabs).
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimLeftBlanks(std::string_view text);

// The numeric value of a word: the decimal number at its start ("." as decimal point, optional
// sign, optional exponent with E or e), leading blanks skipped. Reading stops at the first
// character that cannot continue the number, so "12.5A" is 12.5, "12E" is 12, "1D2" is 1 and an
// inner blank ends the number. No number gives 0; so does an exponent beyond the range of a
// double.
double NumericValue(std::string_view word);

// Rounds to the nearest integer, a half to the even neighbour, and converts to 16 bits.
// Empty when the result does not fit (the caller skips the step that needed it).
std::optional<std::int16_t> RoundToInt16(double value);

// Fixed text of 9 characters: cut to the first 9, or padded on the right with blanks.
std::string FitName9(std::string_view name);

// Decimal text of an integer, without blanks.
std::string IntText(long long value);

// Position of needle in haystack counted from 1, 0 when absent (like the host's InStr).
std::size_t FindFrom1(std::string_view haystack, std::string_view needle);

// Conversions for the places where text meets the screen or a terminal.
std::string Utf8From1252(std::string_view bytes);
// Characters without a Windows-1252 code become "?".
std::string Cp1252FromUtf8(std::string_view utf8);

}  // namespace talvik
