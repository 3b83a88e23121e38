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

// The point lines of a written IDEX file (the lines between the table's opening and closing).
std::vector<std::string> PointLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (lines.size() < 17) return {"malformed"};
    return {lines.begin() + 15, lines.end() - 2};
}

std::string Pt(const std::string& n, const std::string& id, const std::string& e,
               const std::string& nn, const std::string& z) {
    return "    " + n + ", \"" + id + "\", " + e + ",  " + nn + ",  " + z + ",  \" GR\", 0;";
}

TEST(CoordinateImport, ConvertsTheThirdSection) {
    const std::string sections = Lines({"KORVU", "$", "A 1 2 3 4", "$", "B 1 2 3 4", "$"});
    const struct {
        const char* label;
        std::string cor;
        std::vector<std::string> lines;
    } cases[] = {
        {"markers and blanks",
         sections + "  p12   155000.123*  463000.456^ 1.234   0.001 x\r\n",
         {Pt("1", "P12", "155000.123", "463000.456", "1.234")}},
        {"short lines use no number",
         sections + Lines({"A 1 2 3", "B 1 2 3 4"}),
         {Pt("1", "B", "1", "2", "3")}},
        {"$ with a word is no separator",
         sections + Lines({"$ X", "C 1 2 3 4"}),
         {Pt("1", "C", "1", "2", "3")}},
        {"fourth section ignored",
         sections + Lines({"C 1 2 3 4", "$", "D 1 2 3 4", "$"}),
         {Pt("1", "C", "1", "2", "3")}},
        {"one marker, never on the name",
         sections + "K7* 10.0** 2^* 3 4",
         {Pt("1", "K7*", "10.0*", "2^", "3")}},
        {"tab inside a word, lone CR",
         "$\r$\r$\rA\tb 1 2 3 4\rC 5 6 7 8",
         {Pt("1", "A\tB", "1", "2", "3"), Pt("2", "C", "5", "6", "7")}},
        {"fewer than three separators", Lines({"$", "$", "A 1 2 3 4"}), {}},
        {"junk", ("\0\xff$\r\n$\n\n\x80 * * * *"s), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ScratchDir dir;
        RecordingUi ui;
        const std::string idx = dir.File("out.idx");
        EXPECT_EQ(ConvertCoordinateFile(" L ", " GR", dir.Write("in.cor", c.cor), idx, ui),
                  ImportOutcome::Written);
        EXPECT_TRUE(ui.messages.empty());
        const std::string bytes = ReadBytes(idx);
        EXPECT_NE(bytes.find("\r\n    0,  \" L \",  00000001;\r\n"), std::string::npos);
        EXPECT_EQ(PointLines(bytes), c.lines);
    }
}

TEST(CoordinateImport, RefusesEmptyLayerOrCode) {
    const std::string noLayer = "Helaas, gaat niet. Kavrin Laagnaam ontbreekt";
    const std::string noCode = "Helaas, gaat niet. Kavrin Grondslagcode ontbreekt";
    const struct {
        std::string layer, code;
        std::vector<std::string> messages;
    } cases[] = {
        {"  ", "GR", {noLayer}},
        {"L", "", {noCode}},
        {"", " ", {noLayer, noCode}},
        {"\t", "\t", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layer + "|" + c.code);
        ScratchDir dir;
        RecordingUi ui;
        const ImportOutcome outcome =
            RunImport(c.layer, c.code, dir.Write("in.cor", ""), dir.File("out.idx"), ui);
        EXPECT_EQ(ui.messages, c.messages);
        EXPECT_EQ(outcome, c.messages.empty() ? ImportOutcome::Written : ImportOutcome::Refused);
        EXPECT_EQ(dir.Listing().size(), c.messages.empty() ? 2u : 1u);
    }
}

TEST(CoordinateImport, UnusableFilesFailAndLeaveTheOldFile) {
    ScratchDir dir;
    const std::string cor = dir.Write("in.cor", "$\n$\n$\nA 1 2 3 4\n");
    const std::string idx = dir.Write("old.idx", "OLD");
    const struct {
        std::string cor, idx, message;
    } cases[] = {
        {dir.File("none.cor"), idx,
         "KORVU Co\xF6rdinatenfile niet gevonden: " + dir.File("none.cor")},
        {dir.File(""), idx, "KORVU Co\xF6rdinatenfile niet gevonden: " + dir.File("")},
        {cor, "", "Kavrin IDEX file kan niet worden aangemaakt: "},
        {cor, dir.File("x/y.idx"),
         "Kavrin IDEX file kan niet worden aangemaakt: " + dir.File("x/y.idx")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        RecordingUi ui;
        EXPECT_EQ(ConvertCoordinateFile("L", "C", c.cor, c.idx, ui), ImportOutcome::Failed);
        EXPECT_EQ(ui.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(dir.Listing(), (std::vector<std::string>{"in.cor", "old.idx"}));
        EXPECT_EQ(ReadBytes(idx), "OLD");
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
    const std::vector<std::string> lines = PointLines(ReadBytes(idx));
    ASSERT_EQ(lines.size(), 32767u);
    EXPECT_EQ(lines.back(), Pt("32767", "P", "1", "2", "3"));
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               "Een Kavrin IDEX file bevat hoogstens 32767 punten; 3 punten zijn "
                               "niet overgenomen"});
    EXPECT_LT(ui.progress.size(), 100u);
}

}  // namespace
}  // namespace talvik
