#pragma once
// What a job of either front talks to, wired once by the front: the user, the stored choices,
// the registry with the host's releases, file prompts and the starting of programs.

#include <optional>
#include <string>
#include <string_view>

#include "host/Releases.h"
#include "platform/FilePrompt.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"
#include "platform/Settings.h"
#include "platform/UserInterface.h"

namespace talvik {

inline constexpr std::string_view kHostMissingMessage = "Kavrin niet gevonden; afbreken";

struct JobContext {
    UserInterface& ui;
    SettingsStore& settings;
    Registry& registry;
    FilePrompt& prompt;
    ProcessLauncher& launcher;
    KavrinReleases& releases;
};

// Prompts for a file of one kind, starting in the data folder of the preferred host release.
// `filterDescription` is a list of "description|pattern|" pairs, `pattern` the initial name.
// The picked path, or empty text when the user cancels. With no host release installed the
// prompt starts where the prompt's FolderWithoutHost says; where it names no folder, the
// message has been shown, std::nullopt is returned and the caller ends the process.
std::optional<std::string> LocateFile(JobContext& context, std::string_view filterDescription,
                                      std::string_view pattern);

}  // namespace talvik
