// talvik-cli check as a process: the findings on stdout with their count, the exit status
// (0 without errors, warnings allowed; 1 with errors; 2 usage), and the sketch file.

#include <tuple>

#include "CliRunner.h"

namespace talvik::test {
namespace {

// A and B known, P observed exactly from both (100 m base, zenith angles of 100 gon).
const std::string kIdex =
    "HEADER\r\n  VERSION      1.20\r\n  SEPARATOR    \",\"\r\n  TERMINATOR   \";\"\r\n"
    "END HEADER\r\nDATABASE\r\n  POINTS (PointNo,PointID,East,North,Elevation)\r\n"
    "    1, \"A\", 1000.000, 1000.000, 5.000;\r\n    2, \"B\", 1100.000, 1000.000, 5.000;\r\n"
    "  END POINTS\r\nEND DATABASE\r\n";
const std::string kField =
    "1 51 GR\r\n2 102 A 1.5 1.5 B 0\r\n3 111 B 0 100 100 K1\r\n"
    "4 111 P 335.5615369 100 94.339811 K1\r\n5 102 B 1.5 1.5 A 0\r\n6 111 A 0 100 100 K1\r\n"
    "7 111 P 64.4384631 100 94.339811 K1\r\n";

using CheckCliTest = CliCase;

TEST_F(CheckCliTest, FindingsCountAndExitStatus) {
    WriteBytes(Here("net.idx"), kIdex);
    WriteBytes(Here("net.fld"), kField);
    // Set-up P with a single direction: a warning only.
    WriteBytes(Here("one.fld"), kField + "8 102 P 1.5 1.5 A 0\r\n9 111 A 0 100 94.339811 K1\r\n");
    const std::string fld = Here("net.fld"), idx = Here("net.idx");
    const std::string net1 = Example("net1.fld"), idx1 = Example("net1.idx");
    // Arguments, the exit status, the last line of stdout.
    // clang-format off
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"--field", fld, "--idex", idx, "--code", "K1"}, 0, "0 fouten, 0 waarschuwingen"},
        {{"--field", Here("one.fld"), "--idex", idx, "--code", "K1"}, 0,
         "0 fouten, 1 waarschuwing"},
        // The example is sound, as measured; its twin holds one blunder.
        {{"--field", net1, "--idex", idx1, "--code", "K", "--sketch", Here("net1.svg")}, 0,
         "0 fouten, 0 waarschuwingen"},
        {{"--field", Example("net2.fld"), "--idex", idx1, "--code", "K1", "--code", "K2"}, 1,
         "1 fout, 0 waarschuwingen"},
        {{"--field", fld}, 2, ""},
        {{"--field", fld, "--idex", idx, "--selection-set", "10"}, 2, ""},
        {{"--field", Here("missing.fld"), "--idex", idx}, 1, ""},
    };
    // clang-format on
    std::vector<std::string> outs;
    for (auto [args, exit, last] : cases) {
        args.insert(args.begin(), "check");
        const CliResult result = Run(args);
        EXPECT_EQ(result.exitCode, exit) << result.out << result.err;
        std::string out = outs.emplace_back(result.out);
        if (!out.empty()) out.pop_back();
        EXPECT_EQ(out.substr(out.rfind('\n') + 1), last) << result.out;
    }
    // Nothing but the planted blunder: the slope distance 2001-2003 booked with two digits
    // swapped (109.538 for 109.583), 45 mm against the way back.
    // The adjustment agrees: nothing rejected in the sound book, the swapped digits rejected
    // by data snooping with their size and line, joined to the pair's finding (one blunder,
    // one finding), and its summary.
    EXPECT_EQ(outs[2].rfind("opmerking: vereffening: ", 0), 0u) << outs[2];
    EXPECT_TRUE(outs[2].ends_with("toetsen\n0 fouten, 0 waarschuwingen\n")) << outs[2];
    EXPECT_EQ(
        outs[3].rfind("fout: afstand 2001-2003: heen 109.527 m, terug 109.572 m, verschil "
                      "0.045 m (toegestaan 0.027 m); vereffening: standplaats 2001, 2003: afstand "
                      "(kijkerstand 1, regel 21) verworpen, w ",
                      0),
        0u)
        << outs[3];
    EXPECT_NE(outs[3].find(", geschatte fout -0.045 m\nopmerking: vereffening: "),
              std::string::npos)
        << outs[3];
    EXPECT_TRUE(outs[3].ends_with("toetsen\n1 fout, 0 waarschuwingen\n")) << outs[3];
    EXPECT_EQ(ReadBytes(Here("net1.svg")).rfind("<?xml", 0), 0u);
}

// What leaves every point without a place is said once, first, and no point is listed as not
// connected: a code that selects no reading (the first run's 999), an IDEX file that is missing,
// empty or holds none of the network's points.
TEST_F(CheckCliTest, OneFindingExplainsAnUnplacedNetwork) {
    WriteBytes(Here("net.idx"), kIdex);
    WriteBytes(Here("net.fld"), kField);
    WriteBytes(Here("empty.idx"), "");
    std::string other = kIdex;
    for (std::size_t at; (at = other.find("\"A\"")) != std::string::npos;)
        other.replace(at, 3, "\"Q\"");
    for (std::size_t at; (at = other.find("\"B\"")) != std::string::npos;)
        other.replace(at, 3, "\"R\"");
    WriteBytes(Here("other.idx"), other);
    const std::string fld = Here("net.fld");
    const std::string noPlace = "; zonder bekende punten is geen punt te plaatsen\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--idex", Here("net.idx")},
         "geen enkele waarneming geselecteerd: geen objectcode van het veldbestand begint met de "
         "selectiecode 999; zonder waarnemingen is geen punt te plaatsen\n"},
        {{"--idex", Here("net.idx"), "--code", "Z", "--code", "K2"},
         "geen enkele waarneming geselecteerd: geen objectcode van het veldbestand begint met de "
         "selectiecodes Z, K2; zonder waarnemingen is geen punt te plaatsen\n"},
        {{"--idex", Here("missing.idx"), "--code", "K1"},
         "geen bekende punten: het IDEX-bestand ontbreekt of bevat geen punten" + noPlace},
        {{"--idex", Here("empty.idx"), "--code", "K1"},
         "geen bekende punten: het IDEX-bestand ontbreekt of bevat geen punten" + noPlace},
        {{"--idex", Here("other.idx"), "--code", "K1"},
         "geen van de 2 punten van het IDEX-bestand komt in de geselecteerde waarnemingen voor" +
             noPlace},
    };
    for (auto [args, finding] : cases) {
        args.insert(args.begin(), {"check", "--field", fld});
        const CliResult result = Run(args);
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(result.out, "fout: " + finding + "1 fout, 0 waarschuwingen\n") << args[4];
    }
}

// export --check: the same files as without it, the findings after the notes, the exit
// status of the export alone.
TEST_F(CheckCliTest, ExportWithCheckWritesTheSameFiles) {
    std::vector<std::string> args = ExampleExport({"--overwrite"});
    const auto files = [&] {
        return ReadBytes(Here("net1.PRJ")) + ReadBytes(Here("net1.OBS")) +
               ReadBytes(Here("net1.TCO"));
    };
    const CliResult plain = Run(args);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const std::string written = files();
    args.insert(args.end(), {"--check", "--sketch", Here("net1.svg")});
    const CliResult checked = Run(args);
    EXPECT_EQ(checked.exitCode, 0) << checked.err;
    EXPECT_EQ(files(), written);
    EXPECT_EQ(checked.err, "KORVU Project bestaat reeds! Oude project verwijderen?\n" + plain.err);
    EXPECT_TRUE(plain.out.empty());
    EXPECT_EQ(checked.out.substr(checked.out.rfind('\n', checked.out.size() - 2) + 1),
              "0 fouten, 0 waarschuwingen\n");
    EXPECT_EQ(ReadBytes(Here("net1.svg")).rfind("<?xml", 0), 0u);
}

// A sketch that cannot be replaced (a folder or a read-only file at its name) is refused with
// its reason, and what stands there is kept; on every system.
TEST_F(CheckCliTest, ASketchThatCannotBeReplacedIsKept) {
    const std::string sketch = Here("net1.svg");
    for (const bool folder : {true, false}) {
        fs::remove_all(sketch);
        if (folder) {
            fs::create_directory(sketch);
        } else {
            WriteBytes(sketch, "old sketch");
            fs::permissions(sketch, fs::perms::owner_read);
        }
        const CliResult result = Run({"check", "--field", Example("net1.fld"), "--idex",
                                      Example("net1.idx"), "--code", "K", "--sketch", sketch});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(
            result.err.find("the sketch could not be written: " + sketch +
                            (folder ? " (er staat een map met die naam)" : " (alleen-lezen)")),
            std::string::npos)
            << result.err;
        EXPECT_EQ(
            folder ? std::string(fs::is_directory(sketch) ? "folder" : "") : ReadBytes(sketch),
            folder ? "folder" : "old sketch");
        fs::permissions(sketch, fs::perms::owner_all);
    }
    for (const auto& entry : fs::directory_iterator(dir_))  // no temporary file left
        EXPECT_FALSE(entry.path().extension() == ".tmp") << entry.path();
}

}  // namespace
}  // namespace talvik::test
