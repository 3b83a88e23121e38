#pragma once
// Starts the package from one command-line text on a POSIX system, the way the host's own
// platform reads such a line:
// - the program is the first token: the text between the quotes when it begins with a double
//   quote; otherwise the shortest blank-separated prefix of the line that names an executable
//   regular file (so an unquoted program path may hold blanks);
// - the rest of the line is split into arguments by the usual Windows rules: blanks and tabs
//   separate, double quotes group, 2n backslashes before a quote give n backslashes and the
//   quote groups, 2n+1 give n backslashes and a literal quote, other backslashes are literal,
//   and "" inside a quoted part gives a literal quote.
// The program runs detached in its own session with standard input and output on /dev/null,
// without a shell; it is never waited for and leaves no zombie behind. A program name without
// a slash is taken relative to the current folder, not searched on the PATH.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace talvik {

// The program of a command line and where its arguments begin. False, with both left alone,
// when no program can be resolved (nothing on the line, or no prefix names an executable file).
bool ResolveProgram(std::string_view commandLine, std::string& program, std::string_view& rest);

std::vector<std::string> SplitArguments(std::string_view text);

class PosixLauncher : public ProcessLauncher {
  public:
    // False when no program could be resolved or the start failed.
    bool Start(std::string_view commandLine) override;
};

}  // namespace talvik
