// Windows: another program (here the test) holds a file of the old project open without letting
// it be renamed. The export replaces no file then, and one message names the file and why.

#include <windows.h>

#include "CliRunner.h"

namespace talvik::test {
namespace {

using HeldFile = CliCase;

TEST_F(HeldFile, AFileHeldByAnotherProgramKeepsTheWholeOldProject) {
    const fs::path project = dir_ / "project";
    const auto run = [&](const char* absHor) {
        return Run({"export", "--field", Example("net1.fld"), "--project",
                    (project / "net1.prj").string(), "--abs-hor", absHor, "--overwrite",
                    "--no-save"});
    };
    fs::create_directories(project);
    ASSERT_EQ(run("0.0007").exitCode, 0);
    const auto old = List(project);
    for (const char* held : {"net1.OBS", "net1.TCO", "net1.PRJ"}) {
        const std::string path = (project / held).string();
        const HANDLE hold = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const CliResult result = run("0.0009");
        ::CloseHandle(hold);
        EXPECT_EQ(result.exitCode, 1) << held << ": " << result.err;
        EXPECT_NE(result.err.find(path + " (in gebruik door een ander programma)"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(List(project), old) << held;
    }
    EXPECT_EQ(run("0.0009").exitCode, 0);
    EXPECT_NE(List(project), old);
}

}  // namespace
}  // namespace talvik::test
