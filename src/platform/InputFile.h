#pragma once
// Opening an input (field file, IDEX file, coordinate file) for reading line by line. A regular
// file is read from the disk as the reading goes; anything else that can be read (a pipe, a
// named pipe, a device) is read whole into memory first, without ever waiting for a writer to
// appear, so that it can be read more than once and its size is known.

#include <string>

#include "text/LineReader.h"

namespace talvik {

// Most bytes an input that is not a regular file may hold.
inline constexpr std::size_t kLongestStreamInput = std::size_t{256} << 20;

enum class InputOpening { Opened, Missing, Refused };

// Opens `path` into `reader`. Missing: there is no file of that name (nothing, or a folder: the
// caller's "not found"). Refused: `problem` says why, as words for after the path (Dutch,
// Windows-1252): an empty or endless stream, a line longer than the reader takes.
InputOpening OpenInput(LineReader& reader, const std::string& path, std::string& problem);

// The message for an input OpenInput refused: `what` names the input ("Kavrin FIELD file").
std::string RefusedInputMessage(const std::string& what, const std::string& path,
                                const std::string& problem);

// The message for an input whose reading stopped at a line that is too long.
std::string LongLineMessage(const std::string& path, const LineReader& reader);

}  // namespace talvik
