#include <gtest/gtest.h>

#include "Support.h"
#include "interchange/CoordinateImport.h"

namespace talvik {
namespace {

using namespace std::string_literals;
using testing::Lines;
using testing::ReadBytes;
using testing::RecordingUi;
using testing::ScratchDir;
using Texts = std::vector<std::string>;

// The point lines of a written IDEX file, each cut down to the text between its number and
// the code: "1 \"P12\", 155000.123,  463000.456,  1.234".
Texts PointLines(const std::string& bytes) {
    Texts lines;
    for (std::size_t at = bytes.find("\r\n   "); at != std::string::npos;
         at = bytes.find("\r\n   ", at + 2)) {
        const std::string line = bytes.substr(at + 5, bytes.find("\r\n", at + 2) - at - 5);
        if (line.starts_with(" 0,  ")) continue;  // the layer line
        lines.push_back(line.substr(1, line.rfind(",  \" GR\", 0;") - 1));
    }
    return lines;
}

TEST(CoordinateImport, ConvertsTheThirdSection) {
    const std::string head = Lines({"KORVU", "$", "A 1 2 3 4", "$", "B 1 2 3 4", "$"});
    const struct {
        std::string cor;
        Texts lines;
    } cases[] = {
        {head + "  p12   155000.123*  463000.456^ 1.234   0.001 x",
         {"1, \"P12\", 155000.123,  463000.456,  1.234"}},
        {head + Lines({"A 1 2 3", "$ X", "B 1 2 3 4", "$", "D 1 2 3 4", "$"}),
         {"1, \"B\", 1,  2,  3"}},
        {head + "K7* 10.0** 2^* 3 4", {"1, \"K7*\", 10.0*,  2^,  3"}},
        {"$\r$\r$\rA\tb 1 2 3 4\rC 5 6 7 8", {"1, \"A\tB\", 1,  2,  3", "2, \"C\", 5,  6,  7"}},
        {Lines({"$", "$", "A 1 2 3 4"}), {}},
        {"\0\xff$\r\n$\n\n\x80 * * * *"s, {}},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        RecordingUi ui;
        const std::string idx = dir.File("out.idx");
        EXPECT_EQ(ConvertCoordinateFile(" L ", " GR", dir.Write("in.cor", c.cor), idx, ui),
                  ImportOutcome::Written);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_NE(ReadBytes(idx).find("\r\n    0,  \" L \",  00000001;\r\n"), std::string::npos);
        EXPECT_EQ(PointLines(ReadBytes(idx)), c.lines) << c.cor;
    }
}

TEST(CoordinateImport, RefusesOrFailsWithoutTouchingTheOldFile) {
    ScratchDir dir;
    const std::string cor = dir.Write("in.cor", "$\n$\n$\nA 1 2 3 4\n");
    const std::string idx = dir.Write("old.idx", "OLD");
    const std::string noLayer = "Helaas, gaat niet. Kavrin Laagnaam ontbreekt";
    const std::string noCode = "Helaas, gaat niet. Kavrin Grondslagcode ontbreekt";
    const std::string noCor = "KORVU Co\xF6rdinatenfile niet gevonden: ";
    const std::string noIdx = "Kavrin IDEX file kan niet worden aangemaakt: ";
    const struct {
        std::string layer, code, cor, idx;
        ImportOutcome outcome;
        Texts messages;
    } cases[] = {
        {"  ", "GR", cor, idx, ImportOutcome::Refused, {noLayer}},
        {"L", "", cor, idx, ImportOutcome::Refused, {noCode}},
        {"", " ", cor, idx, ImportOutcome::Refused, {noLayer, noCode}},
        {"L", "C", dir.File("x.cor"), idx, ImportOutcome::Failed, {noCor + dir.File("x.cor")}},
        {"L", "C", dir.File(""), idx, ImportOutcome::Failed, {noCor + dir.File("")}},
        {"L", "C", cor, "", ImportOutcome::Failed, {noIdx}},
        {"L", "C", cor, dir.File(""), ImportOutcome::Failed, {noIdx + dir.File("")}},
        {"L", "C", cor, dir.File("x/y.idx"), ImportOutcome::Failed, {noIdx + dir.File("x/y.idx")}},
        {"\t", "\t", cor, idx, ImportOutcome::Written, {}},
    };
    for (const auto& c : cases) {
        RecordingUi ui;
        EXPECT_EQ(RunImport(c.layer, c.code, c.cor, c.idx, ui), c.outcome);
        EXPECT_EQ(ui.messages, c.messages);
        EXPECT_EQ(dir.Listing(), (Texts{"in.cor", "old.idx"}));
        EXPECT_EQ(ReadBytes(idx) == "OLD", c.outcome != ImportOutcome::Written);
    }
}

TEST(CoordinateImport, StopsAtTheLastSixteenBitPointNumber) {
    ScratchDir dir;
    std::string cor = "$\n$\n$\n";
    for (int i = 0; i < 32770; ++i)
        cor += "P 1 2 3 4\n";
    RecordingUi ui;
    const std::string idx = dir.File("out.idx");
    EXPECT_EQ(ConvertCoordinateFile("L", " GR", dir.Write("in.cor", cor), idx, ui),
              ImportOutcome::Written);
    const Texts lines = PointLines(ReadBytes(idx));
    ASSERT_EQ(lines.size(), 32767u);
    EXPECT_EQ(lines.back(), "32767, \"P\", 1,  2,  3");
    EXPECT_EQ(ui.messages,
              Texts{"Een Kavrin IDEX file bevat hoogstens 32767 punten; 3 punten zijn niet "
                    "overgenomen"});
    EXPECT_LT(ui.progress.size(), 100u);
}

}  // namespace
}  // namespace talvik
