#pragma once
// Starts a program from one command-line text with CreateProcessA: the system takes the
// program from the first token of the line and the program splits the rest itself. The new
// process and thread handles are released at once; the program is never waited for.

#include <string_view>

#include "platform/ProcessLauncher.h"

namespace talvik {

class WindowsLauncher : public ProcessLauncher {
  public:
    // False when the system could not start the program (not found, not a program).
    bool Start(std::string_view commandLine) override;
};

}  // namespace talvik
