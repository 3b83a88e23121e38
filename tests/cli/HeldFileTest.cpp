// Windows: another program (here the test) holds a file of the old project open without letting
// it be renamed. The export replaces no file then, and one message names the file and why.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <map>

#include "CliRunner.h"
#include "support/TempFolder.h"

namespace talvik::test {
namespace {

namespace fs = std::filesystem;

TEST(HeldFile, AFileHeldByAnotherProgramKeepsTheWholeOldProject) {
    testing::TempFolder folder;
    const fs::path dir = folder.Path(), project = dir / "project";
    const auto store = FreshUserStore(dir / "config");
    const auto run = [&](const char* absHor) {
        return RunProgram(
            TALVIK_CLI,
            {"export", "--field", TALVIK_SOURCE_DIR "/examples/net1.fld", "--project",
             (project / "net1.prj").string(), "--abs-hor", absHor, "--overwrite", "--no-save"},
            dir);
    };
    const auto listing = [&] {  // every file of the project folder with its bytes
        std::map<std::string, std::string> files;
        for (const auto& file : fs::directory_iterator(project))
            files[file.path().filename().string()] = ReadBytes(file.path());
        return files;
    };
    fs::create_directories(project);
    ASSERT_EQ(run("0.0007").exitCode, 0);
    const auto old = listing();
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
        EXPECT_EQ(listing(), old) << held;
    }
    EXPECT_EQ(run("0.0009").exitCode, 0);
    EXPECT_NE(listing(), old);
}

}  // namespace
}  // namespace talvik::test
