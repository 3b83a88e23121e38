#pragma once
// The batch front's user interface: every message box becomes its text on stderr, one line per
// line of the message, in the order the boxes appear. A question is answered by a preset
// answer. Progress is shown only when stderr is a terminal, on one line that is rewritten: the
// text, and a bar with the percentage when the core tells how far the phase is.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/UserInterface.h"

namespace talvik::cli {

class CliUserInterface : public UserInterface {
  public:
    explicit CliUserInterface(std::FILE* err);
    ~CliUserInterface() override;

    // The answer given to OK/Cancel questions.
    void SetQuestionAnswer(Answer answer) { questionAnswer_ = answer; }

    Answer Message(std::string_view text, Buttons buttons, Icon icon,
                   std::string_view title) override;
    void Progress(std::string_view text) override;
    void ProgressAmount(std::uint64_t done, std::uint64_t total) override;
    void Yield() override {}

    // The front's own notes: "talvik-cli: " + text.
    void Note(std::string_view text);
    // A note that only tells what went well; --quiet leaves it out.
    void Info(std::string_view text) {
        if (!quiet_) Note(text);
    }
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    int MessageCount() const { return messages_; }

  private:
    void ClearProgress();
    void ShowProgress();

    std::FILE* err_;
    bool terminal_;
    bool progressShown_ = false;
    std::size_t progressWidth_ = 0;
    std::string progressText_;
    std::uint64_t done_ = 0;
    std::uint64_t total_ = 0;
    int percent_ = -1;
    bool quiet_ = false;
    Answer questionAnswer_ = Answer::Cancel;
    int messages_ = 0;
};

}  // namespace talvik::cli
