#include "platform/posix/PosixLauncher.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace talvik {

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t';
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Writes the whole buffer to a pipe; only async-signal-safe calls (used after fork).
void WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

// The grandchild: detached streams, default signals, then the program. Never returns.
[[noreturn]] void ExecProgram(const char* program, char* const* argv, int errorPipe) {
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (null > STDERR_FILENO) ::close(null);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::signal(SIGCHLD, SIG_DFL);
    ::execve(program, argv, environ);
    const int error = errno;
    WriteAll(errorPipe, &error, sizeof error);
    ::_exit(127);
}

}  // namespace

bool ResolveProgram(std::string_view commandLine, std::string& program, std::string_view& rest) {
    std::size_t start = 0;
    while (start < commandLine.size() && IsSeparator(commandLine[start]))
        ++start;
    const std::string_view line = commandLine.substr(start);
    if (line.empty()) return false;

    if (line.front() == '"') {
        const auto close = line.find('"', 1);
        const std::string_view quoted = line.substr(1, close == line.npos ? line.npos : close - 1);
        if (quoted.empty()) return false;
        program = std::string(quoted);
        rest = close == line.npos ? std::string_view{} : line.substr(close + 1);
        return true;
    }

    // Unquoted: every prefix that ends before a blank, shortest first, then the whole line.
    for (std::size_t end = 0; end <= line.size(); ++end) {
        if (end < line.size() && !IsSeparator(line[end])) continue;
        if (end == 0 || IsSeparator(line[end - 1])) continue;
        std::string candidate(line.substr(0, end));
        if (IsExecutableFile(candidate)) {
            program = std::move(candidate);
            rest = line.substr(end);
            return true;
        }
    }
    return false;
}

std::vector<std::string> SplitArguments(std::string_view text) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && IsSeparator(text[i]))
            ++i;
        if (i >= text.size()) break;
        std::string argument;
        bool quoted = false;
        while (i < text.size()) {
            std::size_t slashes = 0;
            while (i < text.size() && text[i] == '\\')
                ++i, ++slashes;
            if (i < text.size() && text[i] == '"') {
                argument.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    argument.push_back('"');
                } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                    argument.push_back('"');
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
                continue;
            }
            argument.append(slashes, '\\');
            if (i >= text.size() || (!quoted && IsSeparator(text[i]))) break;
            argument.push_back(text[i]);
            ++i;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

bool PosixLauncher::Start(std::string_view commandLine) {
    std::string program;
    std::string_view rest;
    if (!ResolveProgram(commandLine, program, rest)) return false;

    // Everything the children need is built before fork: after it only async-signal-safe calls.
    std::vector<std::string> arguments = SplitArguments(rest);
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int errorPipe[2];
    if (::pipe(errorPipe) != 0) return false;
    ::fcntl(errorPipe[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(errorPipe[1], F_SETFD, FD_CLOEXEC);

    const pid_t child = ::fork();
    if (child < 0) {
        ::close(errorPipe[0]);
        ::close(errorPipe[1]);
        return false;
    }
    if (child == 0) {
        // The intermediate child: a new session, one more fork, and out at once, so that the
        // program is adopted by the system and never becomes our zombie.
        ::close(errorPipe[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            const int error = errno;
            WriteAll(errorPipe[1], &error, sizeof error);
            ::_exit(1);
        }
        if (grandchild == 0) ExecProgram(program.c_str(), argv.data(), errorPipe[1]);
        ::_exit(0);
    }

    ::close(errorPipe[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes on a successful exec; an error number arrives when anything failed.
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(errorPipe[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(errorPipe[0]);
    return got == 0;
}

}  // namespace talvik
