// Drives the installer's wizard as a user would, for the installer test:
//   test_win32_wizard.exe INSTALLER PAGES
// starts the installer, goes PAGES pages on with its Next button and cancels on the page it
// reached, answering the question whether to quit with Yes. A question on the way is answered
// with its default button, as a user pressing Enter would. Exit status: 0 cancelled, 3 cancelled
// on the last page before the installation (the next step installs), 1 failed (no wizard, a
// page without Cancel, the installer still running).

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kNext = 1;
constexpr int kCancel = 2;
constexpr int kBack = 3;
constexpr int kHeaderTitle = 1037;

struct Windows {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM data) {
    auto* windows = reinterpret_cast<Windows*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == windows->process && IsWindowVisible(hwnd)) windows->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD process) {
    Windows windows{process, {}};
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&windows));
    return windows.found;
}

std::string Text(HWND hwnd) {
    char text[512] = {};
    if (hwnd) GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

void Press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The page inside the wizard: its dialog and what it shows at the top.
std::string PageOf(HWND wizard) {
    HWND page = FindWindowExA(wizard, nullptr, "#32770", nullptr);
    return std::to_string(reinterpret_cast<UINT_PTR>(page)) + "|" +
           Text(GetDlgItem(wizard, kHeaderTitle));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: test_win32_wizard INSTALLER PAGES\n", stderr);
        return 1;
    }
    const int pages = std::atoi(argv[2]);
    std::string line = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "wizard: cannot start %s\n", argv[1]);
        return 1;
    }
    CloseHandle(process.hThread);

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    int reached = 0;
    bool cancelled = false;
    bool last = false;
    std::string page, firstNext;
    int status = 1;
    while (std::chrono::steady_clock::now() < end) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) {
            status = cancelled ? (last ? 3 : 0) : 1;
            if (!cancelled)
                std::fputs("wizard: the installer ended before it was cancelled\n", stderr);
            break;
        }
        HWND wizard = nullptr;
        HWND question = nullptr;
        for (HWND hwnd : TopWindows(process.dwProcessId)) {
            if (GetDlgItem(hwnd, kBack))
                wizard = hwnd;
            else
                question = hwnd;
        }
        if (question) {
            // A message box: after Cancel, "quit?" gets Yes; any other its default button.
            int answer = IDOK;
            if (cancelled && GetDlgItem(question, IDYES)) {
                answer = IDYES;
            } else {
                const LRESULT defId = SendMessageA(question, DM_GETDEFID, 0, 0);
                if (HIWORD(defId) == DC_HASDEFID) answer = LOWORD(defId);
            }
            std::fprintf(stderr, "wizard: question \"%s\" answered with %d\n",
                         Text(GetDlgItem(question, 0xFFFF)).c_str(), answer);
            Press(question, answer);
            Sleep(300);
            continue;
        }
        if (!wizard || cancelled) continue;
        HWND next = GetDlgItem(wizard, kNext);
        const std::string now = PageOf(wizard);
        if (now == page || !IsWindowEnabled(next)) continue;
        Sleep(200);  // the page is drawn and ready
        page = PageOf(wizard);
        if (firstNext.empty()) firstNext = Text(next);
        last = Text(next) != firstNext;
        if (reached < pages && !last) {
            ++reached;
            Press(wizard, kNext);
            continue;
        }
        if (!IsWindowEnabled(GetDlgItem(wizard, kCancel))) {
            std::fprintf(stderr, "wizard: page %d cannot be cancelled\n", reached);
            break;
        }
        std::fprintf(stderr, "wizard: cancelled on page %d (%s)\n", reached, Text(next).c_str());
        cancelled = true;
        Press(wizard, kCancel);
    }
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        std::fputs("wizard: the installer is still running\n", stderr);
        TerminateProcess(process.hProcess, 1);
        status = 1;
    }
    CloseHandle(process.hProcess);
    return status;
}
