#include "win32/Win32UserInterface.h"

#include <algorithm>
#include <string>
#include <utility>

namespace talvik::win32 {

MessageBoxSetup MakeMessageBoxSetup(std::string_view text, Buttons buttons, Icon icon,
                                    std::string_view title) {
    MessageBoxSetup setup;
    // A lone CR separates lines too; the box breaks lines at CR LF.
    setup.text.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        setup.text.push_back(text[i]);
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            setup.text.push_back('\n');
    }
    setup.title = std::string(title);
    setup.flags = (buttons == Buttons::OkCancel ? MB_OKCANCEL : MB_OK) | MB_DEFBUTTON1;
    if (icon == Icon::Information) setup.flags |= MB_ICONINFORMATION;
    if (icon == Icon::Critical) setup.flags |= MB_ICONERROR;
    return setup;
}

Win32UserInterface::Win32UserInterface(MessagePresenter presenter)
    : presenter_(std::move(presenter)) {}

Answer Win32UserInterface::Message(std::string_view text, Buttons buttons, Icon icon,
                                   std::string_view title) {
    const MessageBoxSetup setup = MakeMessageBoxSetup(text, buttons, icon, title);
    if (presenter_) return presenter_(setup);
    HWND owner = parent_ && IsWindow(parent_) && IsWindowVisible(parent_) ? parent_ : nullptr;
    const int answer = MessageBoxA(owner, setup.text.c_str(), setup.title.c_str(),
                                   setup.flags | (owner ? 0 : MB_TASKMODAL | MB_SETFOREGROUND));
    return answer == IDCANCEL && buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
}

void Win32UserInterface::Progress(std::string_view text) {
    if (!progress_ || !IsWindow(progress_)) return;
    SetWindowTextA(progress_, std::string(text).c_str());
}

void Win32UserInterface::ProgressAmount(std::uint64_t done, std::uint64_t total) {
    if (total == 0 || !bar_ || !IsWindow(bar_)) return;
    const int percent = static_cast<int>(std::min(done, total) * 100 / total);
    SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    ShowWindow(bar_, SW_SHOWNA);
    if (percent_ && IsWindow(percent_))
        SetWindowTextA(percent_, (std::to_string(percent) + "%").c_str());
}

void Win32UserInterface::Yield() {
    // Every message but the keys and the mouse in the windows' client areas, which wait in the
    // queue until the run is over. (Asked for by range: not every system keeps to the queue-kind
    // flags of PeekMessage.)
    constexpr std::pair<UINT, UINT> kRanges[] = {
        {0, WM_KEYFIRST - 1}, {WM_KEYLAST + 1, WM_MOUSEFIRST - 1}, {WM_MOUSELAST + 1, 0xFFFFFFFF}};
    MSG message;
    for (bool any = true; any;) {
        any = false;
        for (const auto& [first, last] : kRanges) {
            while (PeekMessageA(&message, nullptr, first, last, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    PostQuitMessage(static_cast<int>(message.wParam));
                    return;
                }
                any = true;
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
}

}  // namespace talvik::win32
