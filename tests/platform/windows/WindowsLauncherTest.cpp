// The Windows launcher starts a recorder program that writes down the arguments it received.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/TempFolder.h"
#include "platform/windows/WindowsLauncher.h"

namespace talvik {
namespace {

namespace fs = std::filesystem;

// Waits up to half a minute: a started program may be slow to come up on a busy machine.
std::string WaitForFile(const fs::path& path) {
    for (int i = 0; i < 3000 && !fs::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return testing::ReadBytes(path.string());
}

TEST(WindowsLauncher, APathWithBlanksArrivesAsOneArgument) {
    testing::TempFolder folder;
    // The package's own path is not quoted on the line: the system finds the program anyway.
    const fs::path program = folder.Path("korvu dir\\korvu.exe");
    fs::create_directories(program.parent_path());
    fs::copy_file(TALVIK_RECORD_ARGUMENTS, program);
    const std::string record = folder.Path("args.txt");
    ::SetEnvironmentVariableA("RECORD_ARGUMENTS_TO", record.c_str());
    const std::string project = folder.Path("my project\\net1.prj ");

    WindowsLauncher launcher;
    EXPECT_TRUE(launcher.Start(program.string() + " \"" + project + "\""));
    EXPECT_EQ(WaitForFile(record), project + "\n");
    ::SetEnvironmentVariableA("RECORD_ARGUMENTS_TO", nullptr);

    EXPECT_FALSE(launcher.Start(folder.Path("nowhere\\KORVU.EXE") + " \"x.prj\""));
    EXPECT_FALSE(launcher.Start(""));
}

}  // namespace
}  // namespace talvik
