#pragma once
// Number texts of the package's observation and coordinate files: four decimals, a point as
// decimal separator whatever the locale, an optional known-coordinate mark.

#include <string>
#include <string_view>

#include "model/Tables.h"

namespace talvik {

// The format every writer passes: rounded to four decimals, at least one integer digit.
inline constexpr std::string_view kNumberFormat = "###########0.0000";
inline constexpr std::string_view kKnownNumberFormat = "###########0.0000*";

// Appends the value rounded to the decimals of `format` (the zeros and number signs after its
// point), rounding the exact binary value with ties to even. A value that rounds to zero is
// written without a minus sign. A final "*" of the format is appended to the text.
void AppendValue(std::string& out, double value, std::string_view format);

// As AppendValue, then: a text that begins with "400." (a full circle in gon) gets blanks for
// its first two characters; in degrees, minutes and seconds the decimals MMSS become
// " MM SS"; finally two blanks are put in front.
void AppendAngle(std::string& out, double value, std::string_view format, AngleUnit angleUnit);

// The texts of kNumberFormat written at `at`, which must have room for kMaxNumberText bytes;
// the end of the text is returned (the writers' fastest path).
inline constexpr std::size_t kMaxNumberText = 420;
char* WriteValue(char* at, double value);
char* WriteAngle(char* at, double value, AngleUnit angleUnit);

}  // namespace talvik
