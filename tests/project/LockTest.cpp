// The project's lock file: what stands at its name when it cannot be used is reported by the
// lock file's own name and the reason, and nothing else is touched.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "project/ProjectTestSupport.h"

namespace talvik::testing {
namespace {

namespace fs = std::filesystem;

TEST(ProjectLock, AnUnusableLockFileIsReportedByItsOwnName) {
    struct Case {
        const char* what;
        std::function<void(const std::string& lock, const std::string& outside)> arrange;
        const char* reason;
    };
    std::vector<Case> cases = {
        {"a folder",
         [](const std::string& lock, const std::string&) { fs::create_directory(lock); },
         "er staat een map met die naam"},
    };
#ifndef _WIN32
    cases.push_back({"a link to a file outside",
                     [](const std::string& lock, const std::string& outside) {
                         fs::create_symlink(outside, lock);
                     },
                     "er staat een koppeling met die naam"});
    cases.push_back({"a named pipe",
                     [](const std::string& lock, const std::string&) {
                         ASSERT_EQ(::mkfifo(lock.c_str(), 0644), 0);
                     },
                     "geen gewoon bestand"});
#endif
    for (const Case& c : cases) {
        TempFolder root;
        fs::create_directory(root.Path("proj"));
        const std::string outside = root.Write("thesis.doc", "my thesis");
        const std::string project = (fs::path(root.Path("proj")) / "net1").string();
        WriteBytes(project + ".PRJ", "old project");
        const std::string lock = project + ".LCK";
        c.arrange(lock, outside);
        // What the folder holds (a pipe by its name only: reading it would wait).
        const auto listing = [&] {
            std::map<std::string, std::string> entries;
            for (const auto& entry : fs::directory_iterator(root.Path("proj"))) {
                const auto status = entry.symlink_status();
                entries[entry.path().filename().string()] =
                    fs::is_regular_file(status) ? ReadBytes(entry.path())
                    : fs::is_symlink(status)    ? fs::read_symlink(entry.path()).string()
                                                : "other";
            }
            return entries;
        };
        const auto before = listing();

        ExportOptions options;
        options.Projectfile = project + ".prj";
        options.Fieldfile = root.Write("survey.fld", "51 GR\r\n101 2001 0 0\r\n");
        PointTable points;
        AngleUnitState unit;
        RecordingUi ui;
        EXPECT_EQ(ConvertFieldFile(options, points, unit, ui), ConversionOutcome::WriteFailed)
            << c.what;
        EXPECT_EQ(ui.messages, std::vector<std::string>{"! Fout bij het schrijven van: " + lock +
                                                        " (" + c.reason + ")"})
            << c.what;
        EXPECT_EQ(ReadBytes(outside), "my thesis") << c.what;
        EXPECT_EQ(listing(), before) << c.what;
    }
}

}  // namespace
}  // namespace talvik::testing
