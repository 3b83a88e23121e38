// Command-line cases of talvik-cli: arguments, input files, expected stderr, exit status and
// the bytes of the files written.

#include <chrono>
#include <thread>

#include "CliRunner.h"
#include "text/Text.h"

namespace talvik::test {
namespace {

const fs::path kRecorder = TALVIK_RECORD_ARGUMENTS;
const fs::path kExpected = fs::path(TALVIK_SOURCE_DIR) / "tests" / "cli" / "data";

using CliTest = CliCase;

// Which options are refused is a unit test of its own; here only how a refusal ends.
TEST_F(CliTest, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {}, {"frobnicate"}, {"export", "--field", "a.fld", "--project"}};
    for (const auto& args : cases) {
        const auto result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(result.err.rfind("talvik-cli: ", 0), 0u) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

TEST_F(CliTest, VersionAndHelp) {
    EXPECT_EQ(Run({"--version"}).out, "Talvik 3.1.71\n");
    const auto help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("talvik-cli export"), std::string::npos);
}

// The summary on stderr names every file written with its size. Numbers never follow the
// locale: the run speaks Dutch, whose decimal mark is a comma.
TEST_F(CliTest, ExportsTheExampleNetworkByteForByte) {
    const auto result = Run(ExampleExport(), {{"LC_ALL", "nl_NL.UTF-8"}, {"LANG", "nl_NL.UTF-8"}});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    for (const char* name : {"net1.PRJ", "net1.OBS", "net1.TCO"}) {
        EXPECT_NE(result.err.find("talvik-cli: wrote " + (dir_ / name).string() + " (" +
                                  std::to_string(fs::file_size(dir_ / name)) + " bytes)\n"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(testing::AsGolden(dir_ / name, ToUpper(Here("net1"))),
                  ReadBytes(kExpected / name))
            << name;
    }
    EXPECT_FALSE(fs::exists(dir_ / "net1.TOB"));
}

// A run stopped by the conversion's or the import's checks exits with 1 and writes nothing.
TEST_F(CliTest, StoppedRunsExitWithOneAndWriteNothing) {
    const std::string noField = "Kavrin FIELD file niet gevonden; Afgebroken.\n";
    // clang-format off
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"export", "--field", Here("none.fld"), "--project", Here("p.prj")}, noField},
        {{"export", "--field", dir_.string(), "--project", Here("p.prj")}, noField},
        {{"import", "--cor", Example("net1.cor"), "--idex", Here("p.idx"), "--no-save",
          "--layer", " ", "--code", "GR"}, "Helaas, gaat niet. Kavrin Laagnaam ontbreekt\n"},
    };
    // clang-format on
    for (const auto& [args, err] : cases) {
        const auto result = Run(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, err);
        for (const char* written : {"p.PRJ", "p.OBS", "p.idx"})
            EXPECT_FALSE(fs::exists(dir_ / written)) << written;
    }
}

TEST_F(CliTest, ExistingProjectIsKeptUnlessOverwriteIsGiven) {
    const std::string question = "KORVU Project bestaat reeds! Oude project verwijderen?\n";
    ASSERT_EQ(Run(ExampleExport()).exitCode, 0);
    WriteBytes(dir_ / "net1.PRJ", "mine\r\n");
    const Listing before = List(dir_);

    const auto kept = Run(ExampleExport({"--face2", "reduce"}));
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_EQ(kept.err.rfind(question, 0), 0u) << kept.err;
    EXPECT_NE(kept.err.find("talvik-cli: "), std::string::npos);
    EXPECT_EQ(List(dir_), before);

    const auto replaced = Run(ExampleExport({"--overwrite", "--quiet"}));
    EXPECT_EQ(replaced.exitCode, 0);
    EXPECT_EQ(replaced.err, question);
    EXPECT_NE(ReadBytes(dir_ / "net1.PRJ"), "mine\r\n");
}

TEST_F(CliTest, ChoicesAreStoredUnlessNoSave) {
    // The direction sigma of a fresh export with these options.
    const auto sigma = [this](std::vector<std::string> extra) {
        fs::remove(dir_ / "net1.PRJ");
        EXPECT_EQ(Run(ExampleExport(std::move(extra))).exitCode, 0);
        const std::string prj = ReadBytes(dir_ / "net1.PRJ");
        const std::size_t at = prj.find("SigmaAbsR          ");
        return at == std::string::npos ? prj : prj.substr(at + 19, 6);
    };
    EXPECT_EQ(sigma({"--abs-hor", "0.0007", "--package-version", "1"}), "0.0007");
    // The next run takes the stored choices: version 1 and the direction sigma.
    EXPECT_EQ(sigma({}), "0.0007");
    EXPECT_EQ(ReadBytes(dir_ / "net1.PRJ").rfind("KORVU  V1.0    PRJ FILE\r\n", 0), 0u);
    // --no-save: used for this run, not stored.
    EXPECT_EQ(sigma({"--abs-hor", "0.0009", "--no-save"}), "0.0009");
    EXPECT_EQ(sigma({}), "0.0007");
}

// The package's path and the project's hold blanks; on Windows this is the launcher's test too.
TEST_F(CliTest, LaunchStartsThePackageDetached) {
    const fs::path package = dir_ / "korvu dir" / ("korvu" + kRecorder.extension().string());
    const fs::path record = dir_ / "args.txt";
    fs::create_directories(package.parent_path());
    fs::copy_file(kRecorder, package);
    const fs::path project = dir_ / "my project" / "net1.prj";
    fs::create_directories(project.parent_path());
    const auto result =
        Run({"export", "--field", Example("net1.fld"), "--project", project.string(), "--code", "K",
             "--launch", "--package", package.string()},
            {{"RECORD_ARGUMENTS_TO", record.string()}});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // The package runs on its own: wait until it has written its whole line, not only made
    // the file (under Wine it was once read between the two).
    for (int i = 0; i < 3000 && !ReadBytes(record).ends_with('\n'); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadBytes(record), project.string() + "\n");

    // Without a package program the project is still written, then exit 1.
    const auto missing =
        Run(ExampleExport({"--launch", "--package", (dir_ / "nowhere" / "KORVU.EXE").string()}));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("talvik-cli: KORVU program not found"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir_ / "net1.PRJ"));
}

TEST_F(CliTest, ImportsTheExampleCoordinates) {
    const auto result = Run({"import", "--cor", Example("net1.cor"), "--idex", Here("back.idx"),
                             "--layer", "PUNTEN", "--code", "GR"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "talvik-cli: wrote " + Here("back.idx") + " (" +
                              std::to_string(fs::file_size(dir_ / "back.idx")) +
                              " bytes, 6 points)\ntalvik-cli: Kavrin IDEX file " +
                              Here("back.idx") +
                              " bestaat nog niet: alle punten zijn nieuw\ntalvik-cli: "
                              "Verschuivingen tegen " +
                              Here("back.idx") +
                              " (tolerantie 0.05 m): 0 vergeleken, 6 nieuw, 0 ontbreken, 0 "
                              "gemarkeerd\n");
    EXPECT_EQ(ReadBytes(dir_ / "back.idx"), ReadBytes(kExpected / "back.idx"));

    // The layer and code were stored in set 1: a second import needs neither.
    const auto again = Run({"import", "--cor", Example("net1.cor"), "--idex", Here("again.idx")});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(ReadBytes(dir_ / "again.idx"), ReadBytes(kExpected / "back.idx"));
}

// The shift report of an import over the IDEX file of the import before: the summary on
// stderr, every point in the CSV file; the IDEX file is the one written without a report, and
// a report that cannot be written ends with 1 after the import.
TEST_F(CliTest, ImportReportsTheShiftsAgainstTheOldIdexFile) {
    const std::vector<std::string> first = {"import", "--cor",          Example("net1.cor"),
                                            "--idex", Here("back.idx"), "--layer",
                                            "PUNTEN", "--code",         "GR",
                                            "--quiet"};
    ASSERT_EQ(Run(first).exitCode, 0);
    std::string cor = ReadBytes(fs::path(Example("net1.cor")));
    const auto replace = [&](const std::string& from, const std::string& to) {
        ASSERT_NE(cor.find(from), std::string::npos) << from;
        cor.replace(cor.find(from), from.size(), to);
    };
    replace("463210.9870*", "463210.9880*");  // a known point, 1 mm
    replace("155087.1234 ", "155087.1834 ");  // 6 cm
    replace("  pm17       155050.0000*    463100.0000*    4.8120*    0.0000\r\n",
            "  n1 155000.0000 463000.0000 10.0000 0.0000\r\n");
    WriteBytes(dir_ / "shifted.cor", cor);

    const auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"import", "--cor", Here("shifted.cor"), "--idex",
                                         Here("back.idx")};
        args.insert(args.end(), extra.begin(), extra.end());
        WriteBytes(dir_ / "back.idx", ReadBytes(kExpected / "back.idx"));
        return Run(args);
    };
    const std::string csv =
        "punt,x,y,h,dx,dy,dh,verschuiving,status\r\n"
        "1001,155000.0000,463000.0000,12.3450,0.0000,0.0000,0.0000,0.0000,ok\r\n"
        "1002,155123.4560,463210.9880,11.0000,0.0000,0.0010,0.0000,0.0010,vast punt verschoven\r\n"
        "2001,155087.1834,463112.5678,11.2345,0.0600,0.0000,0.0000,0.0600,verschoven\r\n"
        "2002,155171.0042,463020.3317,10.9871,0.0000,0.0000,0.0000,0.0000,ok\r\n"
        "2003,155102.7780,463004.1195,9.8750,0.0000,0.0000,0.0000,0.0000,ok\r\n"
        "N1,155000.0000,463000.0000,10.0000,,,,,nieuw\r\n"
        "PM17,155050.0000,463100.0000,4.8120,,,,,ontbreekt\r\n";
    const std::string idex = Here("back.idx");
    const auto reported = run({"--report", Here("shifts.csv")});
    EXPECT_EQ(reported.exitCode, 0) << reported.err;
    EXPECT_EQ(reported.err.substr(reported.err.find('\n') + 1),
              "talvik-cli: Verschuivingen tegen " + idex +
                  " (tolerantie 0.05 m): 5 vergeleken, 1 nieuw, 1 ontbreekt, 2 gemarkeerd\n"
                  "talvik-cli: Grootste verschuivingen: 2001 0.0600 m, 1002 0.0010 m\n"
                  "talvik-cli:   2001: verschoven (0.0600 m)\n"
                  "talvik-cli:   1002: vast punt verschoven (0.0010 m)\n"
                  "talvik-cli: Niet in de KORVU file: PM17\n");
    EXPECT_EQ(ReadBytes(dir_ / "shifts.csv"), csv);
    const std::string withReport = ReadBytes(dir_ / "back.idx");
    ASSERT_EQ(Run({"import", "--cor", Here("shifted.cor"), "--idex", Here("plain.idx")}).exitCode,
              0);
    EXPECT_EQ(withReport, ReadBytes(dir_ / "plain.idx"));

    // --quiet: nothing on stderr, the file all the same; a tolerance given is stored.
    fs::remove(dir_ / "shifts.csv");
    const auto quiet = run({"--quiet", "--tolerance", "0.07", "--report", Here("shifts.csv")});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(ReadBytes(dir_ / "shifts.csv").find(",verschoven\r\n"), std::string::npos);
    const auto stored = run({});
    EXPECT_NE(stored.err.find("(tolerantie 0.07 m): 5 vergeleken, 1 nieuw, 1 ontbreekt, 1 "
                              "gemarkeerd\n"),
              std::string::npos)
        << stored.err;

    // A report into a missing folder: the import is done, the status says the file is not.
    const auto failed = run({"--quiet", "--report", Here("none/shifts.csv")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(
        failed.err.rfind(
            "talvik-cli: the shift report was not written: " + Here("none/shifts.csv") + " (", 0),
        0u)
        << failed.err;
    EXPECT_EQ(ReadBytes(dir_ / "back.idx"), withReport);
}

TEST_F(CliTest, RegisterReportsPerRelease) {
    const std::string release5 = "SOFTWARE\\Ornwald\\Kavrin\\5.0\\ZEV";
    for (const std::string& key : {release5, std::string("SOFTWARE\\Ornwald\\Kavrin\\6.0")}) {
        RegKey handle = 0;
        ASSERT_TRUE(store_->CreateKey(kHkeyCurrentUser, key, handle)) << key;
        store_->CloseKey(handle);
    }
    ASSERT_TRUE(store_->SetStringValue(kHkeyCurrentUser, release5, "DataPath", "D:\\Data"));
    const auto result = Run({"register"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err,
              "Aanmelding bij Kavrin:\nGeslaagd voor versies: 5.0\nMislukt voor versies: 6.0\n");
    // Unregistering finds both entries the registration wrote.
    EXPECT_EQ(
        Run({"unregister"}).err,
        "Afmelding bij Kavrin:\nVerwijderd uit versie 5.0: Import \"Korvu Co\xC3\xB6rdinaten\", "
        "Export \"Korvu Project\"\n");
}

// On a terminal the progress line is rewritten in place and ends on the phase's final state,
// its bar full; the note follows on a line of its own.
TEST_F(CliTest, ProgressLineOnATerminal) {
#ifdef _WIN32
    GTEST_SKIP() << "no pseudo-terminal here";
#endif
    if (!fs::exists("/usr/bin/script")) GTEST_SKIP() << "script(1) runs the program on a terminal";
    const std::string command = "'" + kCli + "' import --cor '" + Example("net1.cor") +
                                "' --idex '" + Here("b.idx") + "' --layer P --code G";
    const auto result = RunProgram("/usr/bin/script", {"-qec", command, "/dev/null"}, dir_,
                                   {{"XDG_CONFIG_HOME", Here("config")}});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    const std::string last = "\rInlezen KORVU Co\xC3\xB6rdinaten: 6  [####################] 100%";
    const std::size_t end = result.out.rfind(last);
    ASSERT_NE(end, std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\rtalvik-cli: wrote ", end), std::string::npos) << result.out;
}

}  // namespace
}  // namespace talvik::test
