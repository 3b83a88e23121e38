#pragma once
// Runs talvik-cli as a child process and captures what it prints.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/ReadBytes.h"

namespace talvik::test {

using testing::ReadBytes;
using testing::WriteBytes;

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string Drain(int fd) {
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

// Runs the program with args in `workDir`, with the given variables added to (or, with an empty
// value, removed from) the environment.
inline CliResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::filesystem::path& workDir,
                            const std::map<std::string, std::string>& env = {}) {
    const auto outPath = workDir / ".stdout";
    const auto errPath = workDir / ".stderr";
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(workDir.c_str()) != 0) ::_exit(127);
        for (const auto& [name, value] : env) {
            if (value.empty())
                ::unsetenv(name.c_str());
            else
                ::setenv(name.c_str(), value.c_str(), 1);
        }
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    CliResult result;
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

}  // namespace talvik::test
