// A journal that someone else left beside a project: the next export obeys none of it when
// any entry names something but the project's own files, and nothing anywhere changes.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/FileReplace.h"
#include "project/ProjectTestSupport.h"

namespace talvik::testing {
namespace {

namespace fs = std::filesystem;

// Every file and folder under `root` with its bytes ("folder" for a folder).
std::map<std::string, std::string> TreeBytes(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        entries[fs::relative(entry.path(), root).generic_string()] =
            entry.is_directory() ? "folder" : ReadBytes(entry.path());
    return entries;
}

std::string Journal(const std::vector<std::string>& lines) {
    std::string text = "TALVIK COMMIT 1\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text + "END\r\n";
}

// A folder `proj` with project net1 (old files and a new file under a temporary name) and
// another project b, beside a folder `home` with a file that is no project's.
struct SharedFolder {
    TempFolder root;
    std::string project, home, thesis, freshObs, asideObs;
    SharedFolder() {
        project = root.Path("proj"), home = root.Path("home");
        fs::create_directory(project);
        fs::create_directory(home);
        thesis = (fs::path(home) / "thesis.doc").string();
        WriteBytes(thesis, "my thesis");
        for (const std::string name :
             {"net1.PRJ", "net1.OBS", "net1.TCO", "b.PRJ", "b.OBS", "b.TCO"})
            WriteBytes(In(name), "old " + name);
        freshObs = Name(TemporaryNameFor(In("net1.OBS")));
        asideObs = Name(TemporaryNameFor(In("net1.OBS")));
        WriteBytes(In(freshObs), "new obs");
        WriteBytes(In(Name(TemporaryNameFor(In("b.PRJ")))), "b's new project file");
    }
    std::string In(const std::string& name) const { return (fs::path(project) / name).string(); }
    static std::string Name(const std::string& path) { return fs::path(path).filename().string(); }
};

TEST(Journal, AnEntryThatIsNotTheProjectsOwnRefusesTheWholeJournal) {
    SharedFolder probe;
    const std::string bFresh = SharedFolder::Name(TemporaryNameFor(probe.In("b.PRJ")));
    // Each journal, the line that is refused (its number in the journal) and the entry.
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        int line;
    };
    const auto cases = [&](const SharedFolder& f) {
        const std::string folderEntry = SharedFolder::Name(TemporaryNameFor(f.In("net1.TCO")));
        fs::create_directory(f.In(folderEntry));
        WriteBytes(f.In(folderEntry) + "/inside", "kept");
        return std::vector<Case>{
            // Once obeyed: the new file (outside) removed, or moved over net1.OBS.
            {"absolute path", {"net1.OBS", f.thesis, ""}, 3},
            {"../ chain", {"net1.OBS", "../home/thesis.doc", ""}, 3},
            {"../ chain back in", {"net1.OBS", "../proj/../home/thesis.doc", ""}, 3},
            {"backslashes", {"net1.OBS", "..\\home\\thesis.doc", ""}, 3},
            {"drive letter", {"net1.OBS", "C:..\\home\\thesis.doc", ""}, 3},
            {"drive letter, absolute", {"net1.OBS", "C:\\thesis.doc", ""}, 3},
            {"target outside", {"../home/thesis.doc", f.freshObs, ""}, 2},
            {"another project's file", {"b.PRJ", bFresh, ""}, 2},
            {"another project's temporary", {"net1.PRJ", bFresh, ""}, 3},
            {"a temporary name of another file", {"net1.PRJ", f.freshObs, ""}, 3},
            {"the journal itself", {"net1.OBS", f.freshObs, "net1.JNL"}, 4},
            // A name with a line break read back as two lines: neither is the project's.
            {"a name with a line break", {"net1.OBS", "net1.OBS.0000", "0000.tmp", ""}, 3},
            {"a control character",
             {"net1.OBS", f.freshObs.substr(0, 9) + "\x01" + f.freshObs.substr(10), ""},
             3},
            {"an entry naming a folder",
             {"net1.TCO", SharedFolder::Name(TemporaryNameFor(f.In("net1.TCO"))), folderEntry},
             4},
            {"a name twice", {"net1.OBS", f.freshObs, f.freshObs}, 4},
            // A whole valid journal but for its last name.
            {"one bad line",
             {"net1.OBS", f.freshObs, f.asideObs, "net1.PRJ",
              SharedFolder::Name(TemporaryNameFor(f.In("net1.PRJ"))), "", "net1.TCO",
              SharedFolder::Name(TemporaryNameFor(f.In("net1.TCO"))), "../home/thesis.doc"},
             10},
        };
    };
    const std::size_t count = cases(probe).size();
    for (std::size_t i = 0; i < count; ++i) {
        SharedFolder f;
        const Case c = cases(f)[i];
        const std::string journal = f.In("net1.JNL");
        WriteBytes(journal, Journal(c.lines));
        const auto before = TreeBytes(f.root.Path());

        ExportOptions options;
        options.Projectfile = f.In("net1.prj");
        options.Fieldfile = f.root.Path("survey.fld");
        WriteBytes(options.Fieldfile, "51 GR\r\n101 2001 0 0\r\n");
        PointTable points;
        AngleUnitState unit;
        RecordingUi ui;
        EXPECT_EQ(ConvertFieldFile(options, points, unit, ui), ConversionOutcome::WriteFailed)
            << c.what;
        auto after = TreeBytes(f.root.Path());
        after.erase("survey.fld");
        EXPECT_EQ(after, before) << c.what;
        std::string entry = c.lines[static_cast<std::size_t>(c.line - 2)];
        for (char& ch : entry)
            if (static_cast<unsigned char>(ch) < 0x20) ch = '?';
        ASSERT_EQ(ui.messages.size(), 1u) << c.what;
        EXPECT_EQ(ui.messages[0], "! Fout bij het schrijven van: " + journal + " (regel " +
                                      std::to_string(c.line) + " \"" + entry +
                                      "\" is geen bestand van dit project; niets verplaatst of "
                                      "verwijderd, het journaal is blijven staan)")
            << c.what;
    }
}

// What the project's own commit writes is still obeyed: the new files of a commit cut short
// after every file moved in are kept, the old ones removed.
TEST(Journal, TheProjectsOwnJournalIsStillObeyed) {
    SharedFolder f;
    const std::string asideObs = f.asideObs;
    fs::rename(f.In("net1.OBS"), f.In(asideObs));
    fs::rename(f.In(f.freshObs), f.In("net1.OBS"));
    WriteBytes(f.In("net1.JNL"), Journal({"net1.OBS", f.freshObs, asideObs}));
    std::string problem;
    ASSERT_TRUE(RecoverProject(f.In("net1.JNL"), problem)) << problem;
    EXPECT_EQ(ReadBytes(f.In("net1.OBS")), "new obs");
    EXPECT_FALSE(fs::exists(f.In(asideObs)));
    EXPECT_FALSE(fs::exists(f.In("net1.JNL")));
}

// A project name with a control character could break the journal's lines: refused before
// anything is written.
TEST(Journal, AProjectNameWithAControlCharacterIsRefusedBeforeAnythingIsWritten) {
    for (const std::string name : {"a\nb.prj", "a\rb.prj", "net\x01.prj", "a\x7f.prj"}) {
        SharedFolder f;
        const auto before = TreeBytes(f.root.Path());
        ExportOptions options;
        options.Projectfile = f.In(name);
        options.Fieldfile = f.thesis;
        PointTable points;
        AngleUnitState unit;
        RecordingUi ui;
        EXPECT_EQ(ConvertFieldFile(options, points, unit, ui),
                  ConversionOutcome::ProjectPathTooShort);
        EXPECT_EQ(ui.messages, std::vector<std::string>{"Ongeldige naam voor het KORVU Project "
                                                        "(stuurteken in de naam); Afgebroken."});
        EXPECT_EQ(TreeBytes(f.root.Path()), before);
    }
}

}  // namespace
}  // namespace talvik::testing
