// Windows: another program (here the test itself) holds one file of the old project open the
// way a package does that has the project loaded, without letting it be renamed. The export
// cannot replace that file, so it replaces none: the old project stays byte for byte, one
// message names the file and says why, and nothing is left beside it.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "support/TempFolder.h"

namespace talvik::test {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(TALVIK_SOURCE_DIR) / "examples";

std::map<std::string, std::string> Listing(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadBytes(entry.path());
    return files;
}

TEST(HeldFile, AFileHeldByAnotherProgramKeepsTheWholeOldProject) {
    testing::TempFolder folder;
    const fs::path dir = folder.Path();
    const auto store = FreshUserStore(dir / "config");
    const auto run = [&](const char* absHor) {
        return RunProgram(TALVIK_CLI,
                          {"export", "--field", (kExamples / "net1.fld").string(), "--project",
                           (dir / "project" / "net1.prj").string(), "--abs-hor", absHor,
                           "--overwrite", "--no-save"},
                          dir);
    };
    fs::create_directories(dir / "project");
    ASSERT_EQ(run("0.0007").exitCode, 0);
    const auto old = Listing(dir / "project");
    ASSERT_EQ(old.size(), 3u);
    for (const char* held : {"net1.OBS", "net1.TCO", "net1.PRJ"}) {
        const std::string path = (dir / "project" / held).string();
        const HANDLE hold = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(hold, INVALID_HANDLE_VALUE) << held;
        const CliResult result = run("0.0009");
        ::CloseHandle(hold);
        EXPECT_EQ(result.exitCode, 1) << held << ": " << result.err;
        EXPECT_NE(result.err.find("Fout bij het schrijven van: " + path +
                                  " (in gebruik door een ander programma)"),
                  std::string::npos)
            << held << ": " << result.err;
        EXPECT_EQ(Listing(dir / "project"), old) << held;
    }
    EXPECT_EQ(run("0.0009").exitCode, 0);
    EXPECT_NE(Listing(dir / "project"), old);
}

}  // namespace
}  // namespace talvik::test
