// The Win32 windows in-process, driven by window messages as a user's actions would arrive:
// the start-up decisions, every caption and tooltip, the model bindings, the file prompts and
// the runs of both dialogs on the example network.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/DialogScenarios.h"
#include "support/TempFolder.h"
#include "texts/WindowTexts.h"
#include "win32/AboutWindow.h"
#include "win32/Application.h"
#include "win32/ExportWindow.h"
#include "win32/ImportWindow.h"
#include "win32/SplashWindow.h"
#include "win32/Win32FilePrompt.h"
#include "win32/Win32UserInterface.h"

namespace talvik::win32 {
namespace {

// Delivers the queued messages as the program's loop does.
void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && IsDialogMessageA(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Delivers the queued messages until `done` or ten seconds.
bool PumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        Pump();
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(5);
    }
    return true;
}

// A key pressed on the control that has the focus, as the dialog manager receives it.
void PressKey(HWND window, WPARAM key) {
    MSG down{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    if (!IsDialogMessageA(window, &down)) DispatchMessageA(&down);
    Pump();
}

std::string FocusName() {
    return ControlName(static_cast<ControlId>(GetDlgCtrlID(GetFocus())));
}

// The desktop program with message boxes and file prompts answered by the test.
class Harness : public testing::HarnessBase<Harness, MessageBoxSetup, FileDialogSetup> {
    Win32UserInterface ui_{[this](const MessageBoxSetup& setup) { return Shown(setup); }};
    Win32FilePrompt prompt_{[this](const FileDialogSetup& setup) { return Asked(setup); }};

  public:
    std::unique_ptr<Application> app;

    static std::filesystem::path Source() { return TALVIK_SOURCE_DIR; }
    // The messages as RecordingUi keeps them, their lines apart.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const MessageBoxSetup& m : messages) {
            std::string text = m.text;
            for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
                text.erase(at, 1);
            const UINT icon = m.flags & MB_ICONMASK;
            texts.push_back(((m.flags & 0xF) == MB_OKCANCEL ? "? " : "") +
                            std::string(icon == MB_ICONINFORMATION ? "i "
                                        : icon == MB_ICONERROR     ? "! "
                                                                   : "") +
                            text + (m.title == "Talvik" ? "" : " @" + m.title));
        }
        return texts;
    }

    // Runs the start-up with no opening delay; when a dialog opens and `wait` is set, delivers
    // messages until it is shown or the job ended.
    bool Start(const std::string& commandLine, bool wait = true) {
        app.reset();
        finished = false;
        app = std::make_unique<Application>(
            AppServices{ui_, prompt_, settings, registry, launcher, "C:\\Talvik\\talvik.exe", 0});
        app->finished = [this](int code) { Ended(code); };
        const bool opening = app->Start(commandLine);
        if (opening && wait) WaitForDialog();
        return opening;
    }
    bool WaitForDialog() {
        return PumpUntil([this] { return finished || IsWindowVisible(Window()); });
    }
    bool SplashVisible() const { return IsWindowVisible(app->Splash()->Handle()); }
    bool DialogVisible() const { return IsWindowVisible(Window()); }

    HWND Window() const {
        return app->Export() ? app->Export()->Handle() : app->Import()->Handle();
    }
    HWND Find(const char* name) const {
        HWND control = GetDlgItem(Window(), FindControl(name));
        EXPECT_TRUE(control) << name;
        return control;
    }
    std::string Text(const char* name) const { return TextOf(Find(name)); }
    bool Enabled(const char* name) const { return IsWindowEnabled(Find(name)); }
    bool Checked(const char* name) const {
        return SendMessageA(Find(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void Type(const char* name, const std::string& text) {
        SendMessageA(Find(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void Click(const char* name) { SendMessageA(Find(name), BM_CLICK, 0, 0); }
    // An arrow key on the set arrows, which have the focus.
    void Arrow(bool up) {
        HWND arrows = Find("UpDown1");
        SetFocus(arrows);
        SendMessageA(arrows, WM_KEYDOWN, up ? VK_UP : VK_DOWN, 0);
        SendMessageA(arrows, WM_KEYUP, up ? VK_UP : VK_DOWN, 0);
    }
    void Close() { SendMessageA(Window(), WM_CLOSE, 0, 0); }

    // The shift report after an import: shown, its summary, its rows as shown (cells apart by
    // "|", "!" before a row drawn red), and closing it.
    ShiftWindow* Shifts() const { return app->Import() ? app->Import()->Shifts() : nullptr; }
    bool ShiftsVisible() const { return Shifts() && IsWindowVisible(Shifts()->Handle()); }
    std::string ShiftSummary() const {
        return TextOf(GetDlgItem(Shifts()->Handle(), FindControl("lblShifts")));
    }
    std::vector<std::string> ShiftLines() const { return Shifts()->Lines(); }
    void CloseShifts() { SendMessageA(Shifts()->Handle(), WM_CLOSE, 0, 0); }
};

// The tooltip of a control: its own tool, or for a frame the tool on its area.
std::string ToolTip(const Form& form, ControlId id) {
    wchar_t text[512] = {};
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = form.Handle();
    info.lpszText = text;
    info.uId = reinterpret_cast<UINT_PTR>(form.Item(id));
    SendMessageW(form.ToolTips(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&info));
    if (text[0] == 0) {
        info.uId = static_cast<UINT_PTR>(id);
        SendMessageW(form.ToolTips(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&info));
    }
    char bytes[1024] = {};
    WideCharToMultiByte(1252, 0, text, -1, bytes, sizeof(bytes), nullptr, nullptr);
    return bytes;
}

// The names of the controls the Tab key visits, from the first one on.
std::vector<std::string> TabOrder(HWND window) {
    std::vector<std::string> names;
    HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    for (HWND at = first; at && (names.empty() || at != first) && names.size() < 60;
         at = GetNextDlgTabItem(window, at, FALSE))
        names.push_back(ControlName(static_cast<ControlId>(GetDlgCtrlID(at))));
    return names;
}

// Dark (text) pixels of a control as it paints itself into a white bitmap.
int DarkPixels(HWND control) {
    RECT area{};
    GetWindowRect(control, &area);
    OffsetRect(&area, -area.left, -area.top);
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, area.right, area.bottom));
    ReleaseDC(nullptr, screen);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageA(control, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    int dark = 0;
    for (int y = 0; y < area.bottom; ++y) {
        for (int x = 0; x < area.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            dark += GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11 < 8000;
        }
    }
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return dark;
}

// The window shows the texts table: its title, each listed control its caption (a box its
// value instead), drawn, not only set, and its tooltip, and Tab visits the controls in the
// table's order.
void ExpectTable(const Form& form, const texts::WindowText& table) {
    EXPECT_EQ(TextOf(form.Handle()), table.title);
    std::vector<std::string_view> order;
    for (const texts::ControlText& control : table.controls) {
        order.push_back(control.name);
        const auto id = static_cast<ControlId>(FindControl(control.name));
        ASSERT_TRUE(form.Item(id)) << control.name;
        char kind[16] = {};
        GetClassNameA(form.Item(id), kind, sizeof(kind));
        if (lstrcmpiA(kind, "Edit") != 0 && control.name != "lblVersion") {
            EXPECT_EQ(TextOf(form.Item(id)), control.caption) << control.name;
        }
        if (!control.caption.empty()) {
            EXPECT_GE(DarkPixels(form.Item(id)), 8) << control.name << " not drawn";
        }
        EXPECT_EQ(ToolTip(form, id), control.tip) << control.name;
    }
    auto last = order.begin();
    for (const std::string& name : TabOrder(form.Handle())) {
        const auto at = std::find(order.begin(), order.end(), name);
        EXPECT_TRUE(at != order.end() && at >= last) << name << " out of the table's order";
        last = at;
    }
}

TEST(StartUp, RegistrationAndOldHostEndAtOnceWithTheirMessage) {
    EXPECT_EQ(testing::MessagesEndTheProcess<Harness>(), "");
}

// What a program prints on its standard output, handed over as a pipe as a script's capture
// does, and its exit code; one still running after ten seconds is ended.
std::pair<std::string, DWORD> RunCaptured(const std::string& program, const std::string& args) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 1 << 16)) return {"", 99};
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    PROCESS_INFORMATION process{};
    std::string line = '"' + program + "\" " + args;
    const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(write);
    DWORD code = 99;
    if (started && WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 98);
    if (started) GetExitCodeProcess(process.hProcess, &code);
    std::string out;
    char chunk[4096];
    for (DWORD got; ReadFile(read, chunk, sizeof(chunk), &got, nullptr) && got > 0;)
        out.append(chunk, got);
    if (started) CloseHandle(process.hProcess), CloseHandle(process.hThread);
    CloseHandle(read);
    return {out, code};
}

// The desktop program answers --help and --version on the output it was handed, without a
// window, and ends well.
TEST(Programs, HelpAndVersionOnStandardOutput) {
    const auto [usage, helpCode] = RunCaptured(TALVIK_PROGRAM, "--help");
    EXPECT_EQ(helpCode, 0u);
    EXPECT_EQ(usage.rfind("Usage:\r\n  talvik MODE", 0), 0u) << usage;
    EXPECT_EQ(RunCaptured(TALVIK_PROGRAM, "--version"),
              std::make_pair(std::string("Talvik " TALVIK_VERSION "\r\n"), DWORD{0}));
}

// The version resources as the files' properties show them: a Dutch block whose product and
// file versions are this build's and whose LegalCopyright is not empty. The installer test
// names its installer in TALVIK_VERSIONED_FILE instead of the two programs.
TEST(Programs, VersionResources) {
    std::vector<std::string> files{TALVIK_PROGRAM, TALVIK_CLI_PROGRAM};
    if (const char* file = std::getenv("TALVIK_VERSIONED_FILE")) files = {file};
    for (const std::string& file : files) {
        DWORD ignored = 0;
        std::vector<char> block(GetFileVersionInfoSizeA(file.c_str(), &ignored) + 1);
        WORD* language = nullptr;
        UINT size = 0;
        ASSERT_TRUE(
            GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) &&
            VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                           reinterpret_cast<void**>(&language), &size) &&
            size >= 4 && language[0] == 0x0413)
            << file << ": no Dutch version resource";
        char prefix[40];
        std::snprintf(prefix, sizeof(prefix), "\\StringFileInfo\\%04x%04x\\", language[0],
                      language[1]);
        const auto value = [&](const char* key) {
            char* text = nullptr;
            UINT length = 0;
            return VerQueryValueA(block.data(), (prefix + std::string(key)).c_str(),
                                  reinterpret_cast<void**>(&text), &length) &&
                           length > 0
                       ? std::string(text)
                       : std::string();
        };
        for (const std::string& found : {value("ProductVersion"), value("FileVersion")}) {
            EXPECT_TRUE(found == TALVIK_VERSION || found == TALVIK_VERSION ".0")
                << file << ": version " << found;
        }
        EXPECT_NE(value("LegalCopyright"), "") << file;
    }
}

// The dialogs' scenarios (support/DialogScenarios.h), with the texts table, the focus, the
// default button and the tab order of each window; the coupled boxes are disabled at first, so
// Tab passes over them.
TEST(ExportWindow, FirstRunEditsArrowsAndReopening) {
    Harness h;
    EXPECT_EQ(testing::FirstRunEditsArrowsAndReopening(
                  h,
                  [&h] {
                      ExpectTable(*h.app->Splash(), texts::kSplash);
                      ExpectTable(*h.app->Export(), texts::kExport);
                      EXPECT_EQ(FocusName(), "txtFieldfile");
                      const auto defaultId = LOWORD(SendMessageA(h.Window(), DM_GETDEFID, 0, 0));
                      EXPECT_EQ(GetDlgItem(h.Window(), defaultId), nullptr);
                      std::vector<std::string> tabs = {
                          "txtFieldfile", "cmdField",     "txtProjectfile", "cmdProject",
                          "optV3",        "txtAbsHor",    "txtRelHor",      "txtAbsDis",
                          "txtRelDis",    "chkHVD",       "optFace2Series", "txtSDXY",
                          "chkXYZ",       "txtSigmaCent", "txtSigmaInst"};
                      for (int i = 1; i <= 16; ++i)
                          tabs.push_back(ControlName(SelCodeId(i)));
                      tabs.insert(tabs.end(), {"UpDown1", "cmdExport", "cmdStart", "cmdCheck"});
                      EXPECT_EQ(TabOrder(h.Window()), tabs);
                  }),
              "");
}

// Without a host the browse button ends the job with a message; the prompts start in the
// host's data folder with the host's texts; the heading opens the About box, OK closes it.
TEST(ExportWindow, FilePromptsAndTheAboutBox) {
    Harness h;
    ASSERT_TRUE(h.Start(h.ExportLine()));
    h.Click("cmdField");
    EXPECT_EQ(h.Messages(), std::vector<std::string>{"! Kavrin niet gevonden; afbreken"});
    EXPECT_TRUE(h.finished && h.prompts.empty());

    EXPECT_EQ(testing::FilePrompts(h, "\xE9"), "");
    EXPECT_EQ(h.prompts[0].folder, h.Folder() + "\\");
    EXPECT_EQ(h.prompts[0].title, "Opzoeken van Kavrin IDEX Files|*.idx| File");
    EXPECT_EQ(h.prompts[0].initialName, "*.idx");
    SendMessageA(h.Window(), WM_COMMAND, MAKEWPARAM(FindControl("lblAction"), STN_CLICKED),
                 reinterpret_cast<LPARAM>(h.Find("lblAction")));
    AboutWindow* about = h.app->Export()->About();
    ASSERT_TRUE(about && IsWindowVisible(about->Handle()));
    ExpectTable(*about, texts::kAbout);
    EXPECT_EQ(TextOf(about->Item(ControlId::lblVersion)), "Version 3.1.71");
    SendMessageA(about->Item(ControlId::cmdOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(about->Handle()));
}

// The buttons are pressed from the keyboard with their access keys; the run's last phase
// shows on the bar as done.
TEST(ExportWindow, StartButtonsFromTheKeyboard) {
    EXPECT_EQ(testing::StartButtons<Harness>([](Harness& h, const char* button) {
                  const bool start = button == std::string_view("cmdStart");
                  PostMessageA(GetFocus(), WM_SYSCHAR, start ? 's' : 'e', 1 << 29);
                  PumpUntil([&h] { return h.finished; });
                  EXPECT_EQ(h.Text("lblPercent"), "100%");
              }),
              "");
}

// Enter in any box starts nothing (no default button: no export, no launch); the arrow keys
// move only between the options of one group, a check box being a group of its own.
TEST(ExportWindow, EnterAndArrowKeys) {
    Harness h;
    h.CopyExamples({"net1.fld", "net1.idx"});
    ASSERT_TRUE(h.Start(h.ExportLine()));
    for (HWND c = GetWindow(h.Window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char kind[16] = {};
        GetClassNameA(c, kind, sizeof(kind));
        if (lstrcmpiA(kind, "Edit") != 0 || !IsWindowEnabled(c)) continue;
        SetFocus(c);
        PressKey(h.Window(), VK_RETURN);
        EXPECT_TRUE(!h.finished && h.launcher.commandLines.empty()) << FocusName();
    }
    const std::vector<std::string> groups[] = {
        {"optV3", "optV1"}, {"optFace2Series", "optFace2to1"}, {"chkHVD"}, {"chkXYZ"}};
    for (const std::vector<std::string>& group : groups) {
        SetFocus(h.Find(group[0].c_str()));
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RIGHT}) {
            PressKey(h.Window(), key);
            EXPECT_TRUE(std::find(group.begin(), group.end(), FocusName()) != group.end())
                << "from " << group[0] << " to " << FocusName();
        }
    }
}

TEST(ExportWindow, CloseDuringTheRun) {
    Harness h;
    EXPECT_EQ(testing::CloseDuringTheRun(h), "");
    EXPECT_EQ(h.messages.at(0).flags, UINT(MB_OKCANCEL));
}

TEST(ImportWindow, SetsRefusalImportAndClosing) {
    Harness h;
    EXPECT_EQ(testing::ImportSetsRefusalImportAndClosing(
                  h,
                  [&h] {
                      ExpectTable(*h.app->Import(), texts::kImport);
                      EXPECT_EQ(FocusName(), "txtCoordfile");
                      EXPECT_EQ(TabOrder(h.Window()),
                                (std::vector<std::string>{"txtCoordfile", "cmdCoord", "txtKVLayer",
                                                          "txtKVCode", "UpDown1", "txtTolerance",
                                                          "cmdStart"}));
                  }),
              "");
}

// Icons and buttons show in the scenarios' messages; here the line ends the box needs.
TEST(Presentation, MessageBoxesAndFilePromptFilters) {
    const MessageBoxSetup box = MakeMessageBoxSetup("a\rb\r\nc\r", Buttons::Ok, Icon::None, "T");
    EXPECT_EQ(box.text + std::to_string(box.flags), "a\r\nb\r\nc\r\n" + std::to_string(MB_OK));
    EXPECT_EQ(DialogFilter("KORVU.EXE (*.EXE)|*.exe|All Files (*.*)|*.*"),
              std::string("KORVU.EXE (*.EXE)\0*.exe\0All Files (*.*)\0*.*\0\0", 45));
    EXPECT_EQ(FindControl("txtSelCode16"), static_cast<int>(SelCodeId(16)));
    for (const char* unknown : {"txtSelCode0", "txtSelCode17", "txtSelCode", "nothing"})
        EXPECT_EQ(FindControl(unknown), 0) << unknown;
}

// After a message about a box the focus is back in that box (a tolerance that is none: the
// tolerance box); a written file shows on the progress line, its bar at the end.
TEST(ImportWindow, FocusAfterAMessageAndProgress) {
    Harness h;
    h.CopyExamples({"net1.cor"});
    const struct {
        const char *layer, *code, *file, *focus;
    } cases[] = {
        {" ", "GR", "net1.cor", "txtKVLayer"},
        {"L", " ", "net1.cor", "txtKVCode"},
        {"L", "GR", "missing.cor", "txtCoordfile"},
        {"L", "GR", "0,05", "txtTolerance"},
    };
    const std::string line = "1 \"" + h.Path("net1.cor") + "\" \"" + h.Path("back.idx") + "\"";
    ASSERT_TRUE(h.Start(line));
    for (const auto& c : cases) {
        h.Type("txtKVLayer", c.layer);
        h.Type("txtKVCode", c.code);
        const bool tolerance = std::string_view(c.file).find(',') != std::string_view::npos;
        h.Type("txtTolerance", tolerance ? c.file : "0.05");
        h.Type("txtCoordfile", h.Path(tolerance ? "net1.cor" : c.file));
        SetFocus(h.Find("cmdStart"));
        h.Click("cmdStart");
        EXPECT_EQ(FocusName(), c.focus) << c.layer << '|' << c.code << '|' << c.file;
    }
    h.Type("txtTolerance", "0.05");
    h.Click("cmdStart");
    ASSERT_TRUE(!h.finished && h.ShiftsVisible());
    EXPECT_EQ(h.Text("lblProgress").rfind("Inlezen KORVU Co\xF6rdinaten: ", 0), 0u);
    EXPECT_EQ(SendMessageA(h.Find("prbProgress"), PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(h.Text("lblPercent"), "100%");
    h.Close();  // the import window too ends the process once the report shows
    EXPECT_TRUE(h.finished && !h.ShiftsVisible());
}

// The system's file prompt takes a name that does not exist yet (a new project) and gives it
// back. A timer inside the prompt's loop types the name and presses Open; a prompt that
// refuses the name is cancelled later, which gives back nothing.
constexpr char kPromptTitle[] = "Opzoeken van KORVU Projectfile Locatie";
int g_ticks = 0;
void CALLBACK TypeIntoPrompt(HWND, UINT, UINT_PTR, DWORD) {
    HWND prompt = FindWindowA("#32770", kPromptTitle);
    if (!prompt || ++g_ticks < 2) return;
    if (g_ticks == 2) {
        for (int id : {0x47C, 0x480}) {  // the name box: a combo box (cmb13) or an edit (edt1)
            HWND box = GetDlgItem(prompt, id);
            if (HWND edit = box ? FindWindowExA(box, nullptr, "Edit", nullptr) : nullptr)
                box = edit;
            if (box) SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("groot.prj"));
        }
        PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    } else if (g_ticks > 5) {
        PostMessageA(GetLastActivePopup(prompt), WM_COMMAND, IDCANCEL, 0);
        PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
    }
}

TEST(Presentation, FilePromptTakesANewName) {
    testing::TempFolder folder;
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, &TypeIntoPrompt);
    const std::string picked =
        Win32FilePrompt().PickFile({folder.Path(), kPromptTitle, "*.prj", "KORVU|*.prj|"});
    KillTimer(nullptr, timer);
    EXPECT_EQ(picked, folder.Path("groot.prj"));
}

// Each window fits a 1366 x 768 screen's work area (the taskbar takes 40 pixels) at 100 %,
// The shift report's window after an import over a drawing whose 2001 lies 6 cm east: the
// flagged row drawn red, a click on a heading sorts by that column, the copy button puts the
// rows shown on the clipboard, closing ends the process.
TEST(ImportWindow, ShiftReportDrawsSortsCopiesAndCloses) {
    Harness h;
    h.InstallHost();
    h.CopyExamples({"net1.cor"});
    std::string old = testing::ReadBytes(Harness::Source() / "tests" / "cli" / "data" / "back.idx");
    old.replace(old.find("155087.1234"), 11, "155087.1834");
    testing::WriteBytes(h.Path("out.idx"), old);
    ASSERT_TRUE(h.Start("1 \"" + h.Path("net1.cor") + "\" \"" + h.Path("out.idx") + "\""));
    h.Type("txtKVLayer", "PUNTEN");
    h.Type("txtKVCode", "GR");
    h.Click("cmdStart");
    ASSERT_TRUE(h.ShiftsVisible());
    Pump();
    HWND list = h.Shifts()->List();
    // Red pixels of a row as the list prints itself.
    const auto redIn = [&](int row) {
        RECT area{}, item{};
        GetClientRect(list, &area);
        item.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
        HDC screen = GetDC(list), dc = CreateCompatibleDC(screen);
        HGDIOBJ before = SelectObject(dc, CreateCompatibleBitmap(screen, area.right, area.bottom));
        ReleaseDC(list, screen);
        PrintWindow(list, dc, PW_CLIENTONLY);
        int red = 0;
        for (int y = item.top; y < item.bottom; ++y)
            for (int x = item.left; x < std::min(item.right, area.right); ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                red += GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90;
            }
        DeleteObject(SelectObject(dc, before));
        DeleteDC(dc);
        return red;
    };
    EXPECT_GT(redIn(0), 20);
    EXPECT_EQ(redIn(1), 0);
    const auto names = [&] {
        std::string shown;
        for (const std::string& line : h.ShiftLines())
            shown += line.substr(0, line.find('|')) + ' ';
        return shown;
    };
    EXPECT_EQ(names(), "!2001 1001 1002 2002 2003 PM17 ");
    NMLISTVIEW click{};
    click.hdr = {list, static_cast<UINT_PTR>(ControlId::lstShifts), LVN_COLUMNCLICK};
    click.iSubItem = 7;
    SendMessageA(h.Shifts()->Handle(), WM_NOTIFY, click.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(names(), "1001 1002 2002 2003 PM17 !2001 ");
    SendMessageA(GetDlgItem(h.Shifts()->Handle(), FindControl("cmdCopy")), BM_CLICK, 0, 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    const auto* copied = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
    const std::string text = copied ? copied : "";
    GlobalUnlock(GetClipboardData(CF_TEXT));
    CloseClipboard();
    EXPECT_EQ(text.substr(0, text.find("\r\n", 60)),
              "punt\tx\ty\th\tdx\tdy\tdh\tverschuiving\tstatus\r\n"
              "1001\t155000.0000\t463000.0000\t12.3450\t0.0000\t0.0000\t0.0000\t0.0000\tok");
    EXPECT_FALSE(h.finished);
    SendMessageA(GetDlgItem(h.Shifts()->Handle(), FindControl("cmdClose")), BM_CLICK, 0, 0);
    EXPECT_TRUE(h.finished && h.exitCode == 0);
}

// 125 % and 150 %: at the scale the prefix sets (win32.windows_<dpi>dpi run this test at
// 120 and 144 dpi), or at 96 dpi each scale as a window moved to such a screen gets it. On a
// large screen a window is laid out at its screen's scale.
// The frames of a window.
std::vector<HWND> Frames(HWND window) {
    std::vector<HWND> frames;
    for (HWND at = GetWindow(window, GW_CHILD); at; at = GetWindow(at, GW_HWNDNEXT)) {
        char kind[16] = {};
        GetClassNameA(at, kind, sizeof(kind));
        if (lstrcmpiA(kind, "Button") == 0 &&
            (GetWindowLongA(at, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
            frames.push_back(at);
    }
    return frames;
}

// Paints into a white bitmap `width` by `height` and returns the first and last columns that
// hold dark pixels in its top `rows`.
template <typename Paint>
std::pair<int, int> PaintedInk(int width, int height, int rows, Paint&& paint) {
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, width, height));
    ReleaseDC(nullptr, screen);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    paint(dc);
    SelectObject(dc, oldFont);
    int first = width, last = -1;
    for (int y = 0; y < std::min(rows, height); ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11 < 8000) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return {first, last};
}

// Whether a frame draws its caption whole: the dark columns in the caption's band of the
// frame, as it paints itself, span as much as the caption's text drawn alone in the frame's
// font, to a pixel. (The frame's line is grey, not dark.) Empty when whole.
std::string CaptionCut(HWND frame) {
    const std::string caption = TextOf(frame);
    if (caption.empty()) return "";
    const auto font = reinterpret_cast<HFONT>(SendMessageA(frame, WM_GETFONT, 0, 0));
    RECT area{};
    GetWindowRect(frame, &area);
    const int width = area.right - area.left, height = area.bottom - area.top;
    TEXTMETRICA metrics{};
    const auto text = PaintedInk(width + 40, height, height / 2, [&](HDC dc) {
        SelectObject(dc, font);
        GetTextMetricsA(dc, &metrics);
        TextOutA(dc, 4, 0, caption.data(), static_cast<int>(caption.size()));
    });
    const auto drawn = PaintedInk(width, height, metrics.tmHeight, [&](HDC dc) {
        SendMessageA(frame, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    });
    const int textWidth = text.second - text.first, drawnWidth = drawn.second - drawn.first;
    if (drawn.second >= 0 && drawnWidth >= textWidth - 1) return "";
    return caption + ": drawn " + std::to_string(drawnWidth + 1) + " pixels wide, the text " +
           std::to_string(textWidth + 1);
}

// Every frame's caption is drawn whole, at each scale.
TEST(Presentation, FrameCaptionsDrawnWhole) {
    Harness h, i;
    ASSERT_TRUE(h.Start(h.ExportLine()));
    ASSERT_TRUE(i.Start("1 \"" + i.Path("a.cor") + "\" \"" + i.Path("a.idx") + "\""));
    const UINT system = DpiOf(nullptr);
    const std::vector<UINT> scales =
        system == 96 ? std::vector<UINT>{96, 120, 144} : std::vector<UINT>{system};
    int frames = 0;
    for (Form* form : {static_cast<Form*>(h.app->Export()), static_cast<Form*>(i.app->Import())}) {
        for (UINT dpi : scales) {
            if (dpi != form->Dpi()) {
                RECT window{};
                GetWindowRect(form->Handle(), &window);
                SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                             reinterpret_cast<LPARAM>(&window));
            }
            Pump();
            for (HWND frame : Frames(form->Handle())) {
                ++frames;
                EXPECT_EQ(CaptionCut(frame), "") << dpi << " dpi";
            }
        }
    }
    EXPECT_GE(frames, 7);
}

TEST(Presentation, WindowsFitTheWorkArea) {
    Harness h, i;
    ASSERT_TRUE(h.Start(h.ExportLine()));
    ASSERT_TRUE(i.Start("1 \"" + i.Path("a.cor") + "\" \"" + i.Path("a.idx") + "\""));
    AboutWindow about;
    about.Show(nullptr);
    const UINT system = DpiOf(nullptr);
    const std::vector<UINT> scales =
        system == 96 ? std::vector<UINT>{96, 120, 144} : std::vector<UINT>{system};
    for (Form* form : {static_cast<Form*>(h.app->Export()), static_cast<Form*>(i.app->Import()),
                       static_cast<Form*>(&about)}) {
        form->SetWorkArea({0, 0, 1366, 728});
        for (UINT dpi : scales) {
            RECT window{};
            GetWindowRect(form->Handle(), &window);
            if (dpi != form->Dpi()) {
                SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                             reinterpret_cast<LPARAM>(&window));
                GetWindowRect(form->Handle(), &window);
            }
            EXPECT_TRUE(window.right - window.left <= 1366 && window.bottom - window.top <= 728)
                << dpi << ": " << window.right - window.left << 'x' << window.bottom - window.top;
        }
        form->SetWorkArea({0, 0, 4000, 4000});
        EXPECT_EQ(form->LayoutDpi(), scales.back());
    }
}

}  // namespace
}  // namespace talvik::win32
