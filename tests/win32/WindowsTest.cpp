// The Win32 windows in-process, driven by window messages as a user's actions would arrive:
// the start-up decisions, every caption and tooltip, the model bindings, the file prompts and
// the runs of both dialogs on the example network.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/RegistryFile.h"
#include "platform/RegistrySettings.h"
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

namespace fs = std::filesystem;
using testing::ReadBytes;
const fs::path kSource = TALVIK_SOURCE_DIR;

struct RecordingLauncher : ProcessLauncher {
    bool Start(std::string_view commandLine) override {
        commandLines.emplace_back(commandLine);
        return true;
    }
    std::vector<std::string> commandLines;
};

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

// A desktop program on a private settings file in a fresh folder, with message boxes and file
// prompts answered by the test and a launcher that only records.
class Harness {
    testing::TempFolder folder_;
    Win32UserInterface ui_{[this](const MessageBoxSetup& setup) {
        messages.push_back(setup);
        if (duringMessage) duringMessage();
        return answer;
    }};
    Win32FilePrompt prompt_{[this](const FileDialogSetup& setup) {
        prompts.push_back(setup);
        return pick;
    }};

  public:
    RegistryFile registry{folder_.Path("registry.reg")};
    RegistrySettings settings{registry};
    RecordingLauncher launcher;
    std::vector<MessageBoxSetup> messages;
    std::vector<FileDialogSetup> prompts;
    std::string pick;                     // every file prompt's answer; empty cancels
    Answer answer = Answer::Ok;           // every message's answer
    std::function<void()> duringMessage;  // the user's action while a message is shown
    bool finished = false;
    int exitCode = -1;
    std::unique_ptr<Application> app;

    std::string Folder() const { return folder_.Path(); }
    std::string Path(const char* name) const { return folder_.Path(name); }
    void CopyExamples(std::initializer_list<const char*> names) const {
        for (const char* name : names)
            fs::copy_file(kSource / "examples" / name, Path(name));
    }
    void InstallHost() {
        const std::string zev = "SOFTWARE\\ORNWALD\\KAVRIN\\5.0\\ZEV";
        RegKey key = 0;
        registry.CreateKey(kHkeyCurrentUser, zev, key);
        registry.CloseKey(key);
        registry.SetStringValue(kHkeyCurrentUser, zev, "DataPath", Folder());
    }
    std::string Stored(const char* key) { return settings.Get(key, "<none>"); }

    // Runs the start-up with no opening delay; when a dialog opens and `wait` is set, delivers
    // messages until it is shown or the job ended.
    bool Start(const std::string& commandLine, bool wait = true) {
        app.reset();
        finished = false;
        app = std::make_unique<Application>(
            AppServices{ui_, prompt_, settings, registry, launcher, "C:\\Talvik\\talvik.exe", 0});
        app->finished = [this](int code) {
            finished = true;
            exitCode = code;
        };
        const bool opening = app->Start(commandLine);
        if (opening && wait) WaitForDialog();
        return opening;
    }
    bool WaitForDialog() {
        return PumpUntil([this] { return finished || IsWindowVisible(Window()); });
    }
    std::string ExportLine() const {
        return "0 \"" + Path("net1.prj") + "\" \"" + Path("net1.idx") + "\"";
    }

    // The user at the open dialog.
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
    const std::pair<const char*, std::string> cases[] = {
        {"/kavrin", "Aanmelding bij Kavrin:\r\n"},
        {"0 C:\\a.prj", "Kavrin 5.0 dient te worden opgewaardeerd naar Build 110 of hoger.\r\n"},
    };
    for (const auto& [line, firstLine] : cases) {
        Harness h;
        EXPECT_FALSE(h.Start(line));
        ASSERT_EQ(h.messages.size(), 1u) << line;
        EXPECT_TRUE(h.messages[0].text.starts_with(firstLine)) << h.messages[0].text;
        EXPECT_EQ(h.messages[0].title, "KORVU Interface");
        EXPECT_EQ(h.messages[0].flags, UINT(MB_OK | MB_ICONINFORMATION));
        EXPECT_FALSE(IsWindowVisible(h.app->Splash()->Handle()));
    }
}

// The splash shows until the dialog opens; with no store every box shows its default, and the
// coupled boxes are disabled, so Tab passes over them. Typing into a source updates its coupled
// box and the check boxes free the coupled ones; the arrows store the set being left and show
// the next. Closing stores every value and the next start shows it again.
TEST(ExportWindow, FirstRunEditsArrowsAndReopening) {
    Harness h;
    h.settings.Set("TalvikSel2", "B1|B2");
    ASSERT_TRUE(h.Start(h.ExportLine(), false));
    EXPECT_TRUE(IsWindowVisible(h.app->Splash()->Handle()));
    EXPECT_FALSE(IsWindowVisible(h.Window()));
    ExpectTable(*h.app->Splash(), texts::kSplash);
    ASSERT_TRUE(h.WaitForDialog());
    EXPECT_FALSE(IsWindowVisible(h.app->Splash()->Handle()));
    ExpectTable(*h.app->Export(), texts::kExport);
    // Each box: its text on the first run, whether it is enabled then, a text typed later.
    // clang-format off
    const struct { const char* box; std::string first; bool enabled; const char* typed; } rows[] = {
        {"txtProjectfile", h.Path("net1.prj"), true, nullptr},
        {"txtFieldfile", h.Path("net1.fld"), true, "C:\\a b\\x.fld"},
        {"txtAbsHor", "0.003", true, "0.011"},  {"txtRelHor", "0.0003", true, "0.012"},
        {"txtAbsVer", "0.003", false, "0.013"}, {"txtRelVer", "0.0003", false, "0.014"},
        {"txtAbsDis", "0.002", true, "0.015"},  {"txtRelDis", "2", true, "3"},
        {"txtSDXY", "0.003", true, "0.016"},    {"txtSDZ", "0.003", false, "0.017"},
        {"txtSigmaCent", "0.003", true, "0.018"}, {"txtSigmaInst", "0.005", true, "0.019"},
        {"txtSelNr", "1", true, nullptr}, {"txtSelCode1", "999", true, "K1"},
        {"txtSelCode16", "", true, "\xD6st 2"}, {"lblProgress", "", true, nullptr},
    };
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(h.Text(row.box), row.first) << row.box;
        EXPECT_EQ(h.Enabled(row.box), row.enabled) << row.box;
    }
    const char* const choices[] = {"chkHVD", "chkXYZ", "optV3", "optFace2Series"};
    for (const char* on : choices)
        EXPECT_TRUE(h.Checked(on)) << on;
    EXPECT_FALSE(h.Checked("optV1") || h.Checked("optFace2to1"));
    EXPECT_EQ(GetFocus(), h.Find("cmdStart"));
    EXPECT_EQ(LOWORD(SendMessageA(h.Window(), DM_GETDEFID, 0, 0)), FindControl("cmdStart"));
    std::vector<std::string> tabs = {"txtFieldfile", "cmdField",     "txtProjectfile", "cmdProject",
                                     "optV3",        "txtAbsHor",    "txtRelHor",      "txtAbsDis",
                                     "txtRelDis",    "chkHVD",       "optFace2Series", "txtSDXY",
                                     "chkXYZ",       "txtSigmaCent", "txtSigmaInst"};
    for (int i = 1; i <= 16; ++i)
        tabs.push_back(ControlName(SelCodeId(i)));
    tabs.insert(tabs.end(), {"UpDown1", "cmdExport", "cmdStart"});
    EXPECT_EQ(TabOrder(h.Window()), tabs);

    h.Type("txtAbsHor", "0.1");
    h.Type("txtRelHor", "0.2");
    h.Type("txtSDXY", "0.3");
    EXPECT_EQ(h.Text("txtAbsVer") + h.Text("txtRelVer") + h.Text("txtSDZ"), "0.10.20.3");
    for (const char* button : {"chkHVD", "chkXYZ", "optV1", "optFace2to1"})
        h.Click(button);
    for (const char* freed : {"txtAbsVer", "txtRelVer", "txtSDZ"})
        EXPECT_TRUE(h.Enabled(freed)) << freed;
    h.Type("txtSelCode1", "A1");
    const auto step = [&h](bool up) {
        h.Arrow(up);
        return h.Text("txtSelNr") + ' ' + h.Text("txtSelCode1") + ' ' + h.Text("txtSelCode2");
    };
    EXPECT_EQ(step(false), "1 A1 ");  // at the bottom nothing moves
    EXPECT_EQ(step(true), "2 B1 B2");
    EXPECT_EQ(step(true), "3 999 ");
    for (const auto& row : rows) {
        if (row.typed) h.Type(row.box, row.typed);
    }
    h.Close();
    EXPECT_TRUE(h.finished);
    EXPECT_EQ(h.exitCode, 0);
    EXPECT_EQ(h.Stored("TalvikSel3"), "K1|||||||||||||||\xD6st 2");
    EXPECT_EQ(h.Stored("TalvikStdDev"),
              "0.011|0.012|0.013|0.014|0.015|3|0.016|0.017|0|0|0.018|0.019");

    ASSERT_TRUE(h.Start(h.ExportLine()));
    for (const auto& row : rows) {
        if (row.typed && row.box != std::string_view("txtFieldfile")) {
            EXPECT_EQ(h.Text(row.box), row.typed) << row.box;
        }
    }
    for (const char* off : choices)
        EXPECT_FALSE(h.Checked(off)) << off;
    EXPECT_EQ(step(false), "2 B1 B2");
    EXPECT_EQ(step(false), "1 A1 ");
}

TEST(ExportWindow, FilePromptsAndTheAboutBox) {
    Harness h;
    ASSERT_TRUE(h.Start(h.ExportLine()));
    h.Click("cmdField");  // no host installed: the message, then the end
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "Kavrin niet gevonden; afbreken");
    EXPECT_EQ(h.messages[0].flags, UINT(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(h.finished && h.prompts.empty());

    h.InstallHost();
    h.messages.clear();
    ASSERT_TRUE(h.Start(""));  // the IDEX file is asked for; cancelling ends the job
    ASSERT_EQ(h.prompts.size(), 1u);
    EXPECT_TRUE(h.finished);
    EXPECT_EQ(h.prompts[0].folder, h.Folder() + "\\");
    EXPECT_EQ(h.prompts[0].title, "Opzoeken van Kavrin IDEX Files|*.idx| File");
    EXPECT_EQ(h.prompts[0].initialName, "*.idx");

    h.pick = "C:\\survey\\north 2.idx";
    ASSERT_TRUE(h.Start(""));
    EXPECT_EQ(h.Text("txtProjectfile"), "C:\\survey\\north 2.prj");
    EXPECT_EQ(h.Text("txtFieldfile"), "C:\\survey\\north 2.fld");
    h.pick = "D:\\Zuid \xE9.fld";
    h.Click("cmdField");
    EXPECT_EQ(h.Text("txtFieldfile"), h.pick);
    h.pick.clear();
    h.Click("cmdProject");
    EXPECT_EQ(h.Text("txtProjectfile"), "");
    EXPECT_EQ(h.prompts.size(), 4u);
    EXPECT_FALSE(h.finished);
    EXPECT_TRUE(h.messages.empty());

    // The heading opens the About box; OK closes it, a second click opens it again.
    SendMessageA(h.Window(), WM_COMMAND, MAKEWPARAM(FindControl("lblAction"), STN_CLICKED),
                 reinterpret_cast<LPARAM>(h.Find("lblAction")));
    AboutWindow* about = h.app->Export()->About();
    ASSERT_TRUE(about && IsWindowVisible(about->Handle()));
    ExpectTable(*about, texts::kAbout);
    EXPECT_EQ(TextOf(about->Item(static_cast<ControlId>(FindControl("lblVersion")))),
              "Version 3.1.71");
    SendMessageA(about->Item(ControlId::cmdOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(about->Handle()));
}

// Both buttons store the dialog, export the example as the batch program does and end; only
// Start launches the package. They are pressed from the keyboard: the access key of one, the
// Enter key for the default one.
TEST(ExportWindow, StartButtonsExportTheExample) {
    const struct {
        const char* button;
        UINT message;
        WPARAM key;
    } presses[] = {{"cmdExport", WM_SYSCHAR, 'e'}, {"cmdStart", WM_KEYDOWN, VK_RETURN}};
    for (const auto& [button, message, key] : presses) {
        Harness h;
        h.CopyExamples({"net1.fld", "net1.idx"});
        const std::string package = h.Path("KORVU.EXE");
        testing::WriteBytes(package, "MZ");
        h.settings.Set("Talvik3Path", package);
        ASSERT_TRUE(h.Start(h.ExportLine()));
        h.Type("txtSelCode1", "K");
        PostMessageA(GetFocus(), message, key, message == WM_SYSCHAR ? 1 << 29 : 0);
        PumpUntil([&h] { return h.finished; });

        EXPECT_TRUE(h.finished) << button;
        EXPECT_EQ(h.exitCode, 0);
        EXPECT_FALSE(IsWindowVisible(h.Window()));
        EXPECT_FALSE(h.Enabled("cmdStart"));
        EXPECT_NE(h.Text("lblProgress"), "");
        // The network name is the project path in upper case.
        std::string base = h.Path("NET1");
        for (char& c : base)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const char* name : {"net1.PRJ", "net1.OBS", "net1.TCO"}) {
            std::string written = ReadBytes(h.Path(name));
            for (std::size_t at; (at = written.find(base)) != std::string::npos;)
                written.replace(at, base.size(), "C:\\DATA\\NET1");
            EXPECT_EQ(written, ReadBytes(kSource / "tests" / "cli" / "data" / name)) << name;
        }
        EXPECT_EQ(h.Stored("TalvikSel1") + h.Stored("TalvikVersion"), "K|||||||||||||||1");
        std::vector<std::string> launched{package + " \"" + h.Path("net1.prj") + "\""};
        if (button == std::string_view("cmdExport")) launched.clear();
        EXPECT_EQ(h.launcher.commandLines, launched);
        EXPECT_TRUE(h.prompts.empty() && h.messages.empty());
    }
}

// Closing is never refused: a close request during the run is taken, and the run still writes
// the whole project before the process ends.
TEST(ExportWindow, CloseDuringTheRun) {
    Harness h;
    h.CopyExamples({"net1.fld", "net1.idx"});
    testing::WriteBytes(h.Path("net1.PRJ"), "old\r\n");
    ASSERT_TRUE(h.Start(h.ExportLine()));
    h.Type("txtSelCode1", "K");
    h.duringMessage = [&h] { h.Close(); };  // at the overwrite question
    h.Click("cmdExport");

    EXPECT_TRUE(h.finished);
    EXPECT_EQ(h.exitCode, 0);
    EXPECT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].flags, UINT(MB_OKCANCEL));
    EXPECT_GT(fs::file_size(h.Path("net1.PRJ")), 100u);
    EXPECT_EQ(h.Stored("TalvikSel1"), "K|||||||||||||||");
}

TEST(ImportWindow, SetsRefusalImportAndClosing) {
    Harness h;
    h.CopyExamples({"net1.cor"});
    h.settings.Set("TalvikCurrentSel", "2");
    h.settings.Set("TalvikImport2", " PUNTEN | GR");
    h.settings.Set("TalvikImport3", "L3|C3");
    const std::string line = "1 \"" + h.Path("net1.cor") + "\" \"" + h.Path("back.idx") + "\"";
    ASSERT_TRUE(h.Start(line));
    ASSERT_TRUE(h.app->Import());
    ExpectTable(*h.app->Import(), texts::kImport, "lblProgressCaption");
    EXPECT_EQ(h.Text("txtSelNr") + '|' + h.Text("txtKVLayer") + '|' + h.Text("txtKVCode"),
              "2|PUNTEN| GR");
    EXPECT_EQ(h.Text("txtCoordfile"), h.Path("net1.cor"));
    EXPECT_EQ(GetFocus(), h.Find("txtKVLayer"));
    EXPECT_EQ(TabOrder(h.Window()),
              (std::vector<std::string>{"txtCoordfile", "cmdCoord", "txtKVLayer", "txtKVCode",
                                        "UpDown1", "cmdStart"}));

    h.Type("txtKVLayer", "L2");
    h.Arrow(true);
    EXPECT_EQ(h.Text("txtSelNr") + h.Text("txtKVLayer") + h.Text("txtKVCode"), "3L3C3");
    EXPECT_EQ(h.Stored("TalvikImport2"), "L2| GR");
    h.Arrow(false);
    EXPECT_EQ(h.Text("txtSelNr") + h.Text("txtKVLayer"), "2L2");

    h.Type("txtKVLayer", "  ");
    h.Type("txtKVCode", "");
    h.Click("cmdStart");  // refused: both messages, the dialog stays
    ASSERT_EQ(h.messages.size(), 2u);
    EXPECT_EQ(h.messages[0].text, "Helaas, gaat niet. Kavrin Laagnaam ontbreekt");
    EXPECT_FALSE(h.finished);
    EXPECT_TRUE(h.Enabled("cmdStart"));
    EXPECT_FALSE(fs::exists(h.Path("back.idx")));

    h.Type("txtKVLayer", "PUNTEN");
    h.Type("txtKVCode", "GR");
    h.Click("cmdStart");
    EXPECT_TRUE(h.finished);
    EXPECT_EQ(h.exitCode, 0);
    EXPECT_EQ(ReadBytes(h.Path("back.idx")), ReadBytes(kSource / "tests/cli/data/back.idx"));
    EXPECT_EQ(h.Stored("TalvikImport2"), "PUNTEN|GR");
    EXPECT_EQ(h.Stored("TalvikCurrentSel"), "2");  // an import does not store the set number

    ASSERT_TRUE(h.Start(line));  // closing stores the set shown
    h.Arrow(true);
    h.Type("txtKVLayer", "L");
    h.Close();
    EXPECT_TRUE(h.finished);
    EXPECT_EQ(h.Stored("TalvikImport3") + h.Stored("TalvikCurrentSel"), "L|C33");
}

TEST(Presentation, MessageBoxesAndFilePromptFilters) {
    const struct {
        std::string_view text;
        Buttons buttons;
        Icon icon;
        std::string_view shown;
        UINT flags;
    } boxes[] = {
        {"a\rb\r\nc\r", Buttons::Ok, Icon::None, "a\r\nb\r\nc\r\n", MB_OK},
        {"q", Buttons::OkCancel, Icon::Critical, "q", MB_OKCANCEL | MB_ICONERROR},
        {"i", Buttons::Ok, Icon::Information, "i", MB_OK | MB_ICONINFORMATION},
    };
    for (const auto& box : boxes) {
        const MessageBoxSetup setup = MakeMessageBoxSetup(box.text, box.buttons, box.icon, "T");
        EXPECT_EQ(setup.text, box.shown);
        EXPECT_EQ(setup.flags, box.flags);
    }
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
