#pragma once
// Starts a program from one command-line text, detached, without waiting for it.

#include <string_view>

namespace talvik {

class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    // True when the process was started. The caller does not wait for it.
    virtual bool Start(std::string_view commandLine) = 0;
};

}  // namespace talvik
