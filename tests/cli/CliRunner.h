#pragma once
// Runs talvik-cli as a child process and captures what it prints.

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryFile.h"
#include "support/ReadBytes.h"
#include "support/TempFolder.h"

#ifdef _WIN32
#include "platform/windows/WindowsRegistry.h"
#endif

namespace talvik::test {

namespace fs = std::filesystem;

using testing::ReadBytes;
using testing::WriteBytes;

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

#ifdef _WIN32

// One argument as the C runtime's parse gives it back: quoted when it holds blanks or quotes
// (or is empty), backslashes doubled only before a quote.
inline std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    std::size_t slashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        quoted.push_back(c);
    }
    quoted.append(2 * slashes, '\\');
    return quoted + '"';
}

inline HANDLE OpenForChild(const fs::path& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileA(path.string().c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs the program with args in `workDir`, with the given variables added to (or, with an empty
// value, removed from) the environment.
inline CliResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const fs::path& workDir,
                            const std::map<std::string, std::string>& env = {}) {
    const auto outPath = workDir / ".stdout";
    const auto errPath = workDir / ".stderr";
    std::string line = QuoteArgument(program);
    for (const auto& a : args)
        line += " " + QuoteArgument(a);

    // The child takes this process's environment: changed for the start, then put back.
    std::map<std::string, std::optional<std::string>> saved;
    for (const auto& [name, value] : env) {
        char buffer[32768];
        const DWORD length = ::GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
        saved[name] = length > 0 && length < sizeof buffer
                          ? std::optional<std::string>(std::string(buffer, length))
                          : std::nullopt;
        ::SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = OpenForChild("NUL", false);
    startup.hStdOutput = OpenForChild(outPath, true);
    startup.hStdError = OpenForChild(errPath, true);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          workDir.string().c_str(), &startup, &process);
    for (const auto& [name, value] : saved)
        ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
    for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        ::CloseHandle(h);

    CliResult result;
    if (started) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = static_cast<int>(code);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    // A program that talvik-cli started may still hold them (it inherits the handles).
    std::error_code busy;
    fs::remove(outPath, busy);
    fs::remove(errPath, busy);
    return result;
}

// The store talvik-cli uses in a run: the user's registry. Earlier runs' choices and host keys
// are removed first, so every case starts from nothing.
inline std::unique_ptr<Registry> FreshUserStore(const fs::path&) {
    for (const char* key : {"Software\\Kelvaris", "SOFTWARE\\Ornwald"})
        ::RegDeleteTreeA(HKEY_CURRENT_USER, key);
    return std::make_unique<WindowsRegistry>();
}

#else

// Starts the program in `workDir`, stdout and stderr to .out<pid> and .err<pid> there, `env` as
// on Windows; `inChild` runs in the child just before the program starts.
inline pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                          const fs::path& workDir,
                          const std::map<std::string, std::string>& env = {},
                          const std::function<void()>& inChild = {}) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (::chdir(workDir.c_str()) != 0) ::_exit(127);
    for (const auto& [name, value] : env)
        value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
    const std::string tag = std::to_string(::getpid());
    ::dup2(::open("/dev/null", O_RDONLY), 0);
    ::dup2(::open((".out" + tag).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666), 1);
    ::dup2(::open((".err" + tag).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666), 2);
    if (inChild) inChild();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

inline int WaitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline CliResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const fs::path& workDir,
                            const std::map<std::string, std::string>& env = {}) {
    const pid_t pid = StartProgram(program, args, workDir, env);
    CliResult result;
    result.exitCode = WaitFor(pid);
    for (auto [name, text] : {std::pair{".out", &result.out}, {".err", &result.err}}) {
        const auto path = workDir / (name + std::to_string(pid));
        *text = ReadBytes(path);
        fs::remove(path);
    }
    return result;
}

// The store talvik-cli uses in a run: the registry file in the run's configuration folder.
inline std::unique_ptr<Registry> FreshUserStore(const fs::path& configHome) {
    return std::make_unique<RegistryFile>((configHome / "talvik" / "registry.reg").string());
}

#endif

// Every file of a folder with its bytes; names of temporary files are kept apart.
struct Listing {
    std::map<std::string, std::string> files;
    std::vector<std::string> temporaries;
    bool operator==(const Listing&) const = default;
};

inline Listing List(const fs::path& folder) {
    Listing listing;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.starts_with(".")) continue;
        if (name.ends_with(".tmp"))
            listing.temporaries.push_back(name);
        else
            listing.files[name] = ReadBytes(entry.path());
    }
    return listing;
}

inline const std::string kCli = TALVIK_CLI;
inline const fs::path kExamples = fs::path(TALVIK_SOURCE_DIR) / "examples";

inline std::string Example(const char* name) {
    return (kExamples / name).string();
}

// A case with a folder of its own, the run's configuration in it and an empty store.
class CliCase : public ::testing::Test {
  protected:
    CliResult Run(const std::vector<std::string>& args,
                  std::map<std::string, std::string> env = {}) {
        env.emplace("XDG_CONFIG_HOME", Here("config"));
        env.emplace("LC_ALL", "C");
        return RunProgram(kCli, args, dir_, env);
    }
    std::string Here(const char* name) const { return (dir_ / name).string(); }
    // An export of the example network to net1.prj here, with `extra` options after.
    std::vector<std::string> ExampleExport(std::vector<std::string> extra = {}) {
        extra.insert(extra.begin(),
                     {"export", "--field", Example("net1.fld"), "--idex", Example("net1.idx"),
                      "--project", Here("net1.prj"), "--code", "K"});
        return extra;
    }

    testing::TempFolder folder_;
    fs::path dir_ = folder_.Path();
    std::unique_ptr<Registry> store_ = FreshUserStore(dir_ / "config");
};

}  // namespace talvik::test
