#pragma once
// The open-file prompt. On the desktop a file dialog, in tests a scripted answer, in batch
// runs nothing (always cancelled).

#include <string>

namespace talvik {

struct FilePromptRequest {
    std::string startFolder;  // may be empty
    std::string title;
    std::string initialName;  // e.g. "*.idx"
    std::string
        filter;  // pairs "description|pattern|", e.g. "Kavrin IDEX Files|*.idx|All Files (*.*)|*.*"
};

class FilePrompt {
  public:
    virtual ~FilePrompt() = default;
    // The full path picked, or empty text when the user cancels or the prompt fails.
    virtual std::string PickFile(const FilePromptRequest& request) = 0;
};

}  // namespace talvik
