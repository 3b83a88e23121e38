#pragma once
// The pieces of the program that differ between Windows and the other platforms, for the
// fronts: the user's registry, the process launcher, the program's own path and the command
// line. Each platform has one implementation, chosen when building.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"

namespace talvik {

// The per-user registry tree: the system's own on Windows, a REGEDIT4 file in the user's
// configuration folder elsewhere.
std::unique_ptr<Registry> MakeUserRegistry();

// Why the user's registry cannot be read or changed, as a sentence for the user
// (Windows-1252); empty when it can. Reads a file-backed store once to find out.
std::string CheckUserRegistry(Registry& registry);

// Starts programs detached, splitting a command line the way Windows does.
std::unique_ptr<ProcessLauncher> MakeLauncher();

// Full path of the running program; empty when the system does not tell.
std::string ProgramPath();

// The command line after the program name exactly as the system passed it, where the system
// keeps one (Windows); nothing where a program only receives its arguments split.
std::optional<std::string> RawCommandLine();

// What follows the program name on a Windows command line: the program name ends at the
// closing double quote when it starts with one, else at the first blank or tab; the blanks and
// tabs after it are skipped, the rest is returned unchanged.
std::string_view ArgumentsAfterProgramName(std::string_view commandLine);

// Lets standard output and standard error pass the bytes written unchanged (no CR before
// each LF on Windows).
void UseBinaryStandardStreams();

// A closed or vanished standard input, output or error never ends a run half-way: one that is
// closed is opened on the null device (so that no file the run opens takes its number), and a
// write to a pipe whose reader has gone fails instead of ending the process.
void GuardStandardStreams();

}  // namespace talvik
