#pragma once
// What a user does in the export and import dialogs, the same for the Qt and the Win32 windows:
// each scenario runs on a front's harness (a HarnessBase that speaks the core's Windows-1252
// bytes, paths as the file system names them) and returns one line per fault, empty text when
// none. `opened` runs once the first dialog shows, for the front's own checks.

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/ProcessLauncher.h"
#include "platform/RegistryFile.h"
#include "platform/RegistrySettings.h"
#include "platform/UserInterface.h"
#include "support/ReadBytes.h"
#include "support/TempFolder.h"
#include "text/Text.h"

namespace talvik::testing {

// A launcher that only keeps the command lines it was asked to start.
struct RecordingLauncher : ProcessLauncher {
    bool Start(std::string_view commandLine) override {
        commandLines.emplace_back(commandLine);
        return true;
    }
    std::vector<std::string> commandLines;
};

// What the harnesses of both fronts keep: the job's folder with a private settings file, what
// the program showed and the test's answers to it, and how the job ended.
// The private settings file, counting its writes: a value set outside a batch is one write, a
// whole batch is one.
struct CountingRegistryFile : RegistryFile {
    using RegistryFile::RegistryFile;
    bool SetStringValue(RegKey root, std::string_view path, std::string_view name,
                        std::string_view text) override {
        writes += batch ? 0 : 1;
        return RegistryFile::SetStringValue(root, path, name, text);
    }
    bool BeginChanges(bool hold, std::string& problem) override {
        batch = true;
        return RegistryFile::BeginChanges(hold, problem);
    }
    bool EndChanges(std::string& problem) override {
        batch = false;
        ++writes;
        return RegistryFile::EndChanges(problem);
    }
    int writes = 0;
    bool batch = false;
};

template <typename H, typename MessageSetup, typename FileSetup>
struct HarnessBase {
    TempFolder folder;
    CountingRegistryFile registry{folder.Path("registry.reg")};
    RegistrySettings settings{registry};
    RecordingLauncher launcher;
    std::vector<MessageSetup> messages;
    std::vector<FileSetup> prompts;
    std::string pick;                     // every file prompt's answer; empty cancels
    std::function<void()> duringMessage;  // the user's action while a message is shown
    bool finished = false;
    int exitCode = -1;

    std::string Folder() const { return folder.Path(); }
    std::string Path(const char* name) const { return folder.Path(name); }
    std::string ExportLine() const {
        return "0 \"" + Path("net1.prj") + "\" \"" + Path("net1.idx") + "\"";
    }
    void CopyExamples(std::initializer_list<const char*> names) const {
        for (const char* name : names)
            std::filesystem::copy_file(H::Source() / "examples" / name, Path(name));
    }
    // A host release that uses the job's folder as its data folder.
    void InstallHost(const std::string& release = "5.0") {
        const std::string zev = "SOFTWARE\\ORNWALD\\KAVRIN\\" + release + "\\ZEV";
        RegKey key = 0;
        registry.CreateKey(kHkeyCurrentUser, zev, key);
        registry.CloseKey(key);
        registry.SetStringValue(kHkeyCurrentUser, zev, "DataPath", Folder());
    }
    std::string Stored(const char* key) { return settings.Get(key, "<none>"); }
    Answer Shown(const MessageSetup& setup) {
        messages.push_back(setup);
        if (duringMessage) duringMessage();
        return Answer::Ok;
    }
    const std::string& Asked(const FileSetup& setup) {
        prompts.push_back(setup);
        return pick;
    }
    void Ended(int code) { finished = true, exitCode = code; }
};

struct Faults {
    std::string text;
    template <typename Actual, typename Expected>
    void Eq(const Actual& actual, const Expected& expected, std::string_view what) {
        if (actual == expected) return;
        std::ostringstream line;
        line << what << ": \"" << actual << "\" instead of \"" << expected << "\"\n";
        text += line.str();
    }
    void True(bool condition, std::string_view what) { Eq(condition, true, what); }
};

inline std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : " | ") + line;
    return text;
}

// Registration and a host too old to pass the paths end the process at once with their message.
template <typename H>
std::string MessagesEndTheProcess() {
    Faults f;
    const std::pair<const char*, const char*> cases[] = {
        {"0 a.prj a.idx",
         "i Kavrin 5.0 dient te worden opgewaardeerd naar Build 110 of hoger.\nNeem contact op "
         "met:\n     Draxmoor B.V.\nof   Pellvane B.V.\n     Afd. Support. @KORVU Interface"},
        {"/kavrin",
         "i Aanmelding bij Kavrin:\nGeslaagd voor versies: 5.0\nMislukt voor versies: geen "
         "@KORVU Interface"},
    };
    for (const auto& [line, shown] : cases) {
        H h;
        h.InstallHost();
        f.True(!h.Start(line) && !h.SplashVisible(), line);
        f.Eq(Joined(h.Messages()), shown, line);
    }
    // A data folder named after the host is part of a path, on either system's way of writing
    // it: the export dialog opens and nothing is written into the host's menus.
    for (const char* folder : {"/home/landmeter/kavrin/", "C:/Data/KAVRIN/"}) {
        H h;
        h.InstallHost();
        const std::string line = std::string("0 \"") + folder + "n.prj\" \"" + folder + "n.idx\"";
        const int writes = h.registry.writes;
        f.True(h.Start(line) && h.DialogVisible(), line + " opens the export");
        f.Eq(Joined(h.Messages()), "", line);
        f.Eq(h.registry.writes, writes, line + ": writes to the store");
    }
    return f.text;
}

// The splash shows until the dialog opens; with no store every box shows its default and the
// coupled boxes are disabled. Typing into a source updates its coupled box and the check boxes
// free the coupled ones; the arrows store the set being left and show the next. Closing stores
// every value and the next start shows it again.
template <typename H>
std::string FirstRunEditsArrowsAndReopening(H& h, const std::function<void()>& opened) {
    Faults f;
    h.settings.Set("TalvikSel2", "B1|B2");
    if (!h.Start(h.ExportLine(), false)) return "no dialog";
    f.True(h.SplashVisible() && !h.DialogVisible(), "the splash first");
    f.True(h.WaitForDialog() && !h.SplashVisible(), "then the dialog");
    // Each box: its text on the first run, whether it is enabled then, a text typed later.
    // clang-format off
    const struct { const char* box; std::string first; bool enabled; const char* typed; } rows[] = {
        {"txtProjectfile", h.Path("net1.prj"), true, nullptr},
        {"txtFieldfile", h.Path("net1.fld"), true, "x.fld"},
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
        f.Eq(h.Text(row.box), row.first, row.box);
        f.Eq(h.Enabled(row.box), row.enabled, row.box);
    }
    const char* const choices[] = {"chkHVD", "chkXYZ", "optV3", "optFace2Series"};
    for (const char* on : choices)
        f.True(h.Checked(on), on);
    f.True(!h.Checked("optV1") && !h.Checked("optFace2to1"), "the other options");
    if (opened) opened();

    h.Type("txtAbsHor", "0.1");
    h.Type("txtRelHor", "0.2");
    h.Type("txtSDXY", "0.3");
    f.Eq(h.Text("txtAbsVer") + h.Text("txtRelVer") + h.Text("txtSDZ"), "0.10.20.3", "coupled");
    for (const char* button : {"chkHVD", "chkXYZ", "optV1", "optFace2to1"})
        h.Click(button);
    for (const char* freed : {"txtAbsVer", "txtRelVer", "txtSDZ"})
        f.True(h.Enabled(freed), freed);
    h.Type("txtSelCode1", "A1");
    const auto step = [&h](bool up) {
        h.Arrow(up);
        return h.Text("txtSelNr") + ' ' + h.Text("txtSelCode1") + ' ' + h.Text("txtSelCode2");
    };
    f.Eq(step(false), "1 A1 ", "at the bottom nothing moves");
    f.Eq(step(true), "2 B1 B2", "up");
    f.Eq(step(true), "3 999 ", "up again");
    for (const auto& row : rows) {
        if (row.typed) h.Type(row.box, row.typed);
    }
    h.Close();
    f.True(h.finished && h.exitCode == 0, "closed");
    f.Eq(h.Stored("TalvikSel3"), "K1|||||||||||||||\xD6st 2", "codes stored");
    f.Eq(h.Stored("TalvikStdDev"), "0.011|0.012|0.013|0.014|0.015|3|0.016|0.017|0|0|0.018|0.019",
         "deviations stored");

    if (!h.Start(h.ExportLine())) return f.text + "no second dialog";
    for (const auto& row : rows) {  // the field file follows the project
        if (row.typed && row.box != std::string_view("txtFieldfile"))
            f.Eq(h.Text(row.box), row.typed, row.box);
    }
    for (const char* off : choices)
        f.True(!h.Checked(off), off);
    f.Eq(step(false), "2 B1 B2", "down");
    f.Eq(step(false), "1 A1 ", "down again");
    return f.text;
}

// Without paths on the command line the IDEX file is asked for in the host's data folder
// (cancelling ends the job); a browse button shows the pick in its box, or empties the box when
// cancelled. `accented` is "é" as the file system spells it.
template <typename H>
std::string FilePrompts(H& h, const std::string& accented) {
    Faults f;
    h.InstallHost();
    f.True(h.Start("") && h.finished && h.prompts.size() == 1, "IDEX prompt cancelled");
    h.pick = h.Path("north 2.idx");
    if (!h.Start("")) return f.text + "no dialog";
    f.Eq(h.Text("txtProjectfile"), h.Path("north 2.prj"), "project from the IDEX file");
    f.Eq(h.Text("txtFieldfile"), h.Path("north 2.fld"), "field file from the IDEX file");
    h.pick = h.Path(("Zuid " + accented + ".fld").c_str());
    h.Click("cmdField");
    f.Eq(h.Text("txtFieldfile"), h.pick, "picked field file");
    h.pick.clear();
    h.Click("cmdProject");
    f.Eq(h.Text("txtProjectfile"), "", "cancelled project");
    f.Eq(h.prompts.size(), 4u, "prompts");
    f.True(!h.finished, "still open");
    return f.text;
}

// Both start buttons store the dialog, export the example as the batch program does and end;
// only Start launches the package. `press` presses a button the front's way.
template <typename H>
std::string StartButtons(const std::function<void(H&, const char*)>& press) {
    Faults f;
    for (const char* button : {"cmdExport", "cmdStart"}) {
        H h;
        h.CopyExamples({"net1.fld", "net1.idx"});
        const std::string package = h.Path("korvu.exe");
        WriteBytes(package, "MZ");
        h.settings.Set("Talvik3Path", package);
        if (!h.Start(h.ExportLine())) return f.text + "no dialog";
        h.Type("txtSelCode1", "K");
        const int writes = h.registry.writes;
        press(h, button);
        f.True(h.finished && h.exitCode == 0 && !h.DialogVisible(), button);
        f.Eq(std::to_string(h.registry.writes - writes), "1", "one write of the store");
        f.True(!h.Enabled("cmdStart") && !h.Text("lblProgress").empty(), "progress shown");
        for (const char* name : {"net1.PRJ", "net1.OBS", "net1.TCO"}) {
            f.True(AsGolden(h.Path(name), ToUpper(h.Path("net1"))) ==
                       ReadBytes(h.Source() / "tests" / "cli" / "data" / name),
                   name);
        }
        f.Eq(h.Stored("TalvikSel1") + h.Stored("TalvikVersion"), "K|||||||||||||||1", "stored");
        const bool launches = button == std::string_view("cmdStart");
        f.Eq(Joined(h.launcher.commandLines),
             launches ? package + " \"" + h.Path("net1.prj") + "\"" : "", "launched");
        f.True(h.prompts.empty() && h.Messages().empty(), "nothing asked");
    }
    return f.text;
}

// Closing is never refused: a close request at the overwrite question is taken, and the run
// still writes the whole project before the process ends.
template <typename H>
std::string CloseDuringTheRun(H& h) {
    Faults f;
    h.CopyExamples({"net1.fld", "net1.idx"});
    WriteBytes(h.Path("net1.PRJ"), "old\r\n");
    if (!h.Start(h.ExportLine())) return "no dialog";
    h.Type("txtSelCode1", "K");
    h.duringMessage = [&h] { h.Close(); };
    h.Click("cmdExport");
    f.True(h.finished && h.exitCode == 0 && !h.DialogVisible(), "ended");
    f.Eq(Joined(h.Messages()), "? KORVU Project bestaat reeds! Oude project verwijderen?", "asked");
    f.True(ReadBytes(h.Path("net1.PRJ")).size() > 100, "new project");
    f.True(std::filesystem::exists(h.Path("net1.TCO")), "coordinates written");
    f.Eq(h.Stored("TalvikSel1"), "K|||||||||||||||", "stored");
    return f.text;
}

// The import dialog opens on the stored set; the arrows store the set being left and show the
// next; refused input keeps the dialog open and writes nothing; then the IDEX file is written,
// the job ends and the set number is not stored. Closing stores the set shown.
template <typename H>
std::string ImportSetsRefusalImportAndClosing(H& h, const std::function<void()>& opened) {
    Faults f;
    h.CopyExamples({"net1.cor"});
    h.settings.Set("TalvikCurrentSel", "2");
    h.settings.Set("TalvikImport2", " PUNTEN | GR");
    h.settings.Set("TalvikImport3", "L3|C3");
    const std::string line = "1 \"" + h.Path("net1.cor") + "\" \"" + h.Path("back.idx") + "\"";
    if (!h.Start(line)) return "no dialog";
    f.Eq(h.Text("txtSelNr") + '|' + h.Text("txtKVLayer") + '|' + h.Text("txtKVCode"),
         "2|PUNTEN| GR", "set 2");
    f.Eq(h.Text("txtCoordfile"), h.Path("net1.cor"), "coordinate file");
    if (opened) opened();
    h.Type("txtKVLayer", "L2");
    h.Arrow(true);
    f.Eq(h.Text("txtSelNr") + h.Text("txtKVLayer") + h.Text("txtKVCode"), "3L3C3", "set 3");
    f.Eq(h.Stored("TalvikImport2"), "L2| GR", "set 2 stored");
    h.Arrow(false);
    f.Eq(h.Text("txtSelNr") + h.Text("txtKVLayer"), "2L2", "back to set 2");

    h.Type("txtKVLayer", "  ");
    h.Type("txtKVCode", "");
    h.Click("cmdStart");
    f.Eq(Joined(h.Messages()),
         "Helaas, gaat niet. Kavrin Laagnaam ontbreekt | Helaas, gaat niet. Kavrin "
         "Grondslagcode ontbreekt",
         "refused");
    f.True(!h.finished && h.Enabled("cmdStart"), "still open");
    f.True(!std::filesystem::exists(h.Path("back.idx")), "nothing written");
    h.Type("txtKVLayer", "PUNTEN");
    h.Type("txtKVCode", "GR");
    f.Eq(h.Text("txtTolerance"), "0.05", "tolerance shown");
    // The old drawing has 2001 six centimetres east and lacks PM17: after the import the shift
    // report shows every point, 2001 first and red; closing it ends the process.
    const auto golden = h.Source() / "tests" / "cli" / "data" / "back.idx";
    std::string old = ReadBytes(golden);
    old.replace(old.find("155087.1234"), 11, "155087.1834");
    old.erase(old.find("    6, \"PM17\""), old.find("END POINTS") - old.find("    6, \"PM17\""));
    WriteBytes(h.Path("back.idx"), old);
    h.Click("cmdStart");
    f.True(!h.finished && h.ShiftsVisible(), "report shown");
    f.Eq(Joined(h.ShiftLines()),
         "!2001|155087.1234|463112.5678|11.2345|-0.0600|0.0000|0.0000|0.0600|verschoven | "
         "1001|155000.0000|463000.0000|12.3450|0.0000|0.0000|0.0000|0.0000|ok | "
         "1002|155123.4560|463210.9870|11.0000|0.0000|0.0000|0.0000|0.0000|ok | "
         "2002|155171.0042|463020.3317|10.9871|0.0000|0.0000|0.0000|0.0000|ok | "
         "2003|155102.7780|463004.1195|9.8750|0.0000|0.0000|0.0000|0.0000|ok | "
         "PM17|155050.0000|463100.0000|4.8120|||||nieuw",
         "report table");
    f.True(h.ShiftSummary().find("5 vergeleken, 1 nieuw, 0 ontbreken, 1 gemarkeerd") !=
               std::string::npos,
           "report summary " + h.ShiftSummary());
    h.CloseShifts();
    f.True(h.finished && h.exitCode == 0, "imported");
    f.True(ReadBytes(h.Path("back.idx")) == ReadBytes(golden), "back.idx");
    f.Eq(h.Stored("TalvikImport2") + h.Stored("TalvikCurrentSel"), "PUNTEN|GR2", "stored");

    if (!h.Start(line)) return f.text + "no second dialog";
    h.Arrow(true);
    h.Type("txtKVLayer", "L");
    h.Close();
    f.True(h.finished, "closed");
    f.Eq(h.Stored("TalvikImport3") + h.Stored("TalvikCurrentSel"), "L|C33", "closing stores");
    return f.text;
}

}  // namespace talvik::testing
