#include "CliUserInterface.h"

#include <unistd.h>

#include "Report.h"
#include "text/Text.h"

namespace talvik::cli {

CliUserInterface::CliUserInterface(std::FILE* err)
    : err_(err), terminal_(::isatty(::fileno(err)) == 1) {}

CliUserInterface::~CliUserInterface() {
    ClearProgress();
}

void CliUserInterface::ClearProgress() {
    if (!progressShown_) return;
    std::fprintf(err_, "\r%*s\r", static_cast<int>(progressWidth_), "");
    std::fflush(err_);
    progressShown_ = false;
    progressWidth_ = 0;
}

Answer CliUserInterface::Message(std::string_view text, Buttons buttons, Icon, std::string_view) {
    ClearProgress();
    ++messages_;
    // Each line of the message on a line of its own: CR LF, a lone CR and a lone LF all break.
    std::string line;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            const std::string shown = Utf8From1252(line);
            std::fwrite(shown.data(), 1, shown.size(), err_);
            std::fputc('\n', err_);
            line.clear();
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
            if (i + 1 == text.size()) break;  // a final line break adds no empty line
            continue;
        }
        line.push_back(text[i]);
    }
    std::fflush(err_);
    return buttons == Buttons::OkCancel ? questionAnswer_ : Answer::Ok;
}

void CliUserInterface::Progress(std::string_view text) {
    if (!terminal_) return;
    progressText_ = Utf8From1252(text);
    ShowProgress();
}

void CliUserInterface::ProgressAmount(std::uint64_t done, std::uint64_t total) {
    if (!terminal_) return;
    const int percent = Percent(done, total);
    const bool changed = percent != percent_ || total != total_;
    done_ = done;
    total_ = total;
    if (changed && !progressText_.empty()) ShowProgress();
}

void CliUserInterface::ShowProgress() {
    percent_ = Percent(done_, total_);
    const std::string line = ProgressLine(progressText_, done_, total_);
    std::fprintf(err_, "\r%s", line.c_str());
    if (line.size() < progressWidth_)
        std::fprintf(err_, "%*s", static_cast<int>(progressWidth_ - line.size()), "");
    std::fflush(err_);
    progressShown_ = true;
    progressWidth_ = std::max(progressWidth_, line.size());
}

void CliUserInterface::Note(std::string_view text) {
    ClearProgress();
    const std::string shown = "talvik-cli: " + std::string(text) + "\n";
    std::fwrite(shown.data(), 1, shown.size(), err_);
    std::fflush(err_);
}

}  // namespace talvik::cli
