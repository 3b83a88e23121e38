#pragma once
// The open-file prompt. On the desktop a file dialog, in tests a scripted answer, in batch
// runs nothing (always cancelled).

#include <optional>
#include <string>

namespace talvik {

struct FilePromptRequest {
    std::string startFolder;  // may be empty
    std::string title;
    std::string initialName;  // e.g. "*.idx"
    std::string
        filter;  // pairs "description|pattern|", e.g. "Kavrin IDEX Files|*.idx|All Files (*.*)|*.*"
    // The search for the package's program: folder, name and filter are those of Windows, and
    // a prompt elsewhere may offer its own platform's instead.
    bool program = false;
};

class FilePrompt {
  public:
    virtual ~FilePrompt() = default;
    // The full path picked, or empty text when the user cancels or the prompt fails.
    virtual std::string PickFile(const FilePromptRequest& request) = 0;
    // Where a prompt for a host file starts when no host release is installed for the user.
    // Nothing: the job cannot go on without the host and ends with a message (Windows, where
    // the host installs itself for the user).
    virtual std::optional<std::string> FolderWithoutHost() { return std::nullopt; }
};

}  // namespace talvik
