#pragma once
// What the core may show or ask. Every front implements it: the desktop program with message
// boxes and the dialog's progress line, talvik-cli on a terminal, tests with recorders.
// All texts are Windows-1252 bytes; a front converts them where they meet the screen.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace talvik {

enum class Buttons { Ok, OkCancel };
enum class Icon { None, Information, Critical };
enum class Answer { Ok, Cancel };

// Title of every message box that has no title of its own.
inline constexpr std::string_view kAppTitle = "Talvik";
// Title of the start-up and registration messages.
inline constexpr std::string_view kInterfaceTitle = "KORVU Interface";

class UserInterface {
  public:
    virtual ~UserInterface() = default;
    // Shows a message and waits for the answer. Lines of a multi-line text are separated by
    // CR LF or by a lone CR.
    virtual Answer Message(std::string_view text, Buttons buttons, Icon icon,
                           std::string_view title) = 0;
    // Replaces the text of the progress line.
    virtual void Progress(std::string_view text) = 0;
    // How far the current phase is: `done` of `total` units (bytes read, records written).
    // A front may show it as a bar; total 0 means unknown.
    virtual void ProgressAmount(std::uint64_t done, std::uint64_t total) {
        (void)done;
        (void)total;
    }
    // Lets the user interface process pending events (repaint, input).
    virtual void Yield() = 0;
};

// Shorthand for the usual box: OK button, no icon, the application's title.
inline void Inform(UserInterface& ui, std::string_view text) {
    ui.Message(text, Buttons::Ok, Icon::None, kAppTitle);
}

// Throttles progress reports of long loops: the text (and the amount) is built and shown, and
// the user interface yields, at most once per interval, so progress never dominates the work.
class ProgressThrottle {
  public:
    explicit ProgressThrottle(UserInterface& ui,
                              std::chrono::milliseconds interval = std::chrono::milliseconds(40))
        : ui_(ui), interval_(interval) {}

    // Call once per record; makeText is only called when the line is due.
    template <typename MakeText>
    void Tick(MakeText&& makeText) {
        if (Due()) Deliver(makeText(), nullptr, 0);
    }
    // The same with the amount done so far of the loop's total.
    template <typename MakeText>
    void Tick(MakeText&& makeText, std::uint64_t done, std::uint64_t total) {
        if (Due()) Deliver(makeText(), &done, total);
    }

    // Shows the final text of a loop unconditionally.
    void Show(std::string_view text) { Deliver(text, nullptr, 0); }
    void Show(std::string_view text, std::uint64_t done, std::uint64_t total) {
        Deliver(text, &done, total);
    }
    // Ends a loop: once it has ticked, its last state is always shown, even when the throttle
    // held back the ticks that led to it.
    void Finish(std::string_view text, std::uint64_t done, std::uint64_t total) {
        if (calls_ > 0) Deliver(text, &done, total);
    }

  private:
    bool Due() {
        if (++calls_ % 64 != 0 && !first_) return false;
        const auto now = std::chrono::steady_clock::now();
        if (!first_ && now - last_ < interval_) return false;
        first_ = false;
        last_ = now;
        return true;
    }
    void Deliver(std::string_view text, const std::uint64_t* done, std::uint64_t total) {
        ui_.Progress(text);
        if (done != nullptr) ui_.ProgressAmount(*done, total);
        ui_.Yield();
    }

    UserInterface& ui_;
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_{};
    unsigned long calls_ = 0;
    bool first_ = true;
};

}  // namespace talvik
