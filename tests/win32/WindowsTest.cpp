// The Win32 windows in-process, driven by window messages as a user's actions would arrive:
// the start-up decisions, every caption and tooltip, the model bindings, the file prompts and
// the runs of both dialogs on the example network.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "support/DialogScenarios.h"
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

// Delivers the queued messages as the program's loop does, until `done` or ten seconds.
bool PumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            HWND root = GetAncestor(message.hwnd, GA_ROOT);
            if (root && IsDialogMessageA(root, &message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(5);
    }
    return true;
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

// The window shows the texts table: its title, each listed control its caption (a box its
// value instead) and tooltip, and Tab visits the controls in the table's order. `absent`: a
// listed control this window lacks.
void ExpectTable(const Form& form, const texts::WindowText& table, std::string_view absent = {}) {
    EXPECT_EQ(TextOf(form.Handle()), table.title);
    std::vector<std::string_view> order;
    for (const texts::ControlText& control : table.controls) {
        order.push_back(control.name);
        const auto id = static_cast<ControlId>(FindControl(control.name));
        EXPECT_EQ(form.Item(id) == nullptr, control.name == absent) << control.name;
        if (!form.Item(id) || control.name == absent) continue;
        char kind[16] = {};
        GetClassNameA(form.Item(id), kind, sizeof(kind));
        if (lstrcmpiA(kind, "Edit") != 0 && control.name != "lblVersion") {
            EXPECT_EQ(TextOf(form.Item(id)), control.caption) << control.name;
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
                      EXPECT_EQ(GetFocus(), h.Find("cmdStart"));
                      EXPECT_EQ(LOWORD(SendMessageA(h.Window(), DM_GETDEFID, 0, 0)),
                                FindControl("cmdStart"));
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

// The buttons are pressed from the keyboard: the access key of one, Enter for the default one.
TEST(ExportWindow, StartButtonsFromTheKeyboard) {
    EXPECT_EQ(testing::StartButtons<Harness>([](Harness& h, const char* button) {
                  const bool enter = button == std::string_view("cmdStart");
                  PostMessageA(GetFocus(), enter ? WM_KEYDOWN : WM_SYSCHAR, enter ? VK_RETURN : 'e',
                               enter ? 0 : 1 << 29);
                  PumpUntil([&h] { return h.finished; });
              }),
              "");
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
                      ExpectTable(*h.app->Import(), texts::kImport, "lblProgressCaption");
                      EXPECT_EQ(GetFocus(), h.Find("txtKVLayer"));
                      EXPECT_EQ(TabOrder(h.Window()),
                                (std::vector<std::string>{"txtCoordfile", "cmdCoord", "txtKVLayer",
                                                          "txtKVCode", "UpDown1", "cmdStart"}));
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

// A window moved to a screen of twice the scale lays itself out twice as large.
TEST(Presentation, PerMonitorScaling) {
    Harness h;
    ASSERT_TRUE(h.Start(h.ExportLine()));
    const auto width = [&h](const char* name) {
        RECT area{};
        GetWindowRect(h.Find(name), &area);
        return area.right - area.left;
    };
    const int before = width("cmdStart");
    const UINT dpi = h.app->Export()->Dpi();
    RECT window{};
    GetWindowRect(h.Window(), &window);
    SendMessageA(h.Window(), WM_DPICHANGED, MAKEWPARAM(dpi * 2, dpi * 2),
                 reinterpret_cast<LPARAM>(&window));
    EXPECT_EQ(h.app->Export()->Dpi(), dpi * 2);
    EXPECT_NEAR(width("cmdStart"), before * 2, 2);
}

}  // namespace
}  // namespace talvik::win32
