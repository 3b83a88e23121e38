#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "interchange/CoordinateImport.h"
#include "interchange/IdexReader.h"
#include "interchange/IdexWriter.h"
#include "interchange/ImportModel.h"
#include "support/MemorySettings.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "text/Text.h"

namespace talvik {
namespace {

using enum ImportOutcome;
using testing::CrLfLines;
using testing::ReadBytes;
using testing::RecordingUi;
using Texts = std::vector<std::string>;

class InterchangeTest : public ::testing::Test, public testing::TempFolder {};

// "NAME x y z" per point, separated by "|", names unpadded; then "!message" per message.
std::string Render(const PointTable& points, const RecordingUi& ui) {
    std::ostringstream out;
    for (std::size_t i = 1; i <= points.Last(); ++i)
        out << (i > 1 ? "|" : "") << TrimBlanks(points[i].Name) << ' ' << points[i].X << ' '
            << points[i].Y << ' ' << points[i].Z;
    for (const std::string& message : ui.messages)
        out << '!' << message;
    return out.str();
}

const std::string kHead = CrLfLines({"HEADER", "END HEADER", "DATABASE"});
const std::string kStd = "  POINTS (PointNo,PointID,East,North,Elevation,Code,LayerNo)\r\n";

TEST(IdexReader, ReadsPointTables) {
    const std::pair<std::string, std::string> cases[] = {
        {kHead + kStd + "1,\"A B\",1.5,2.5,3.5,\"GR\",0;", "A B 1.5 2.5 3.5"},
        {CrLfLines({"header", " Separator \"|\"", "TERMINATOR \"#\"", "END HEADER", "DATABASE",
                    "POINTS (PointNo|PointID|East|North|Elevation)", "1|P1|10|20|30#"}),
         "P1 10 20 30"},
        {CrLfLines({"HEADER", "SEPARATOR ,", "END HEADER", "DATABASE",  // unquoted: a blank
                    "POINTS (POINTNO POINTID EAST NORTH ELEVATION)", "1 P1 10 20 30;"}),
         "P1 10 20 30"},
        {kHead + "POINTS (PointNo, PointID, East)\r\n7,K1,1;", "7 0 0 0"},  // blanks: no match
        {kHead + "POINTS (PointNo,PointID,\r\n East)\r\n1,P1,1;", "P1 1 0 0"},
        {kHead + kStd +
             CrLfLines({"1,abcdefghijkl,1;", "2,p\xe9,1;", "5,,1;", "6,\"\",1;", "EXTRAINFO",
                        "9,X,9;", "END X", "1,P1,10,", "20,30;", "2,P2,", "10,", "20,30;", "END",
                        "3,C;"}),  // a record spans two lines, not three
         "ABCDEFGHI 1 0 0|P\xc9 1 0 0|5 1 0 0|6 1 0 0|P1 10 20 30|P2 10 0 0|30 0 0 0"},
        {CrLfLines({"HEADER", "DATABASE"}) + kStd + "1,A,1;",
         "!Er is een probleem met de Kavrin tekening"},
    };
    // What is read over an older table; a reading not refused shows at last where it ended.
    const auto read = [](const std::string& text) {
        PointTable points;
        points.Append(PointRecord{FitName9("OLD")});
        RecordingUi ui;
        LineReader reader;
        reader.OpenText(text);
        ReadIdexFile(reader, points, ui);
        const auto end = reader.Position();
        if (ui.messages.empty()) {
            EXPECT_EQ(ui.progress.back(), "Inlezen Co\xF6rdinaten: " + std::to_string(end / 128));
            EXPECT_EQ(ui.amounts.back(), std::make_pair(end, std::uint64_t{text.size()}));
        }
        return Render(points, ui);
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(read(text), expected) << text;
    std::string text = kHead + kStd;
    for (int i = 0; i < 300; ++i)
        text += "1,P" + std::to_string(i) + ",1,2,3;\r\n";
    EXPECT_EQ(read(text + "END POINTS\r\nEND DATABASE\r\n"), read(text));
}

TEST_F(InterchangeTest, WriterWritesTheFileByteForByte) {
    IdexWriter writer;
    ASSERT_TRUE(writer.Begin(Path("out.idx"), " Punten "));
    EXPECT_TRUE(writer.Point(7, "K1", "155000.000", "463000.000", "0.000", "GR"));
    EXPECT_TRUE(writer.Point(-12, "", "", "+2", "3e1", " \xf6 "));
    ASSERT_TRUE(writer.End());
    EXPECT_EQ(
        ReadBytes(Path("out.idx")),
        CrLfLines({"HEADER", "  VERSION      1.20", "  SYSTEM       \"KAVRIN\"", "END HEADER", "",
                   "", "DEFINITIONS", "  LAYERS (LayerNo,Name,Flags)",
                   "    0,  \" Punten \",  00000001;", "  END LAYERS", "END DEFINITIONS", "", "",
                   "DATABASE", "  POINTS (PointNo, PointID, East, North, Elevation, Code, LayerNo)",
                   "    7, \"K1\", 155000.000,  463000.000,  0.000,  \"GR\", 0;",
                   "   -12, \"\", ,  +2,  3e1,  \" \xf6 \", 0;", "  END POINTS", "END DATABASE"}));
    EXPECT_EQ(Entries(), 1) << "no temporary file left";
}

// The point lines of a written IDEX file without their indent, code and layer.
Texts PointLines(const std::string& bytes) {
    const std::string end = ",  \"GR\", 0;\r";
    Texts lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);)
        if (line.ends_with(end)) lines.push_back(line.substr(4, line.size() - 4 - end.size()));
    return lines;
}

TEST_F(InterchangeTest, ConvertsTheThirdSection) {
    const std::string head = CrLfLines({"KORVU", "$", "A 1 2 3 4", "$", "B 1 2 3 4", "$"});
    const std::pair<std::string, Texts> cases[] = {
        {head + CrLfLines({"A 1 2 3", "$ X", "B 1 2 3 4", "$", "D 1 2 3 4", "$"}),
         {"1, \"B\", 1,  2,  3"}},
        {head + "K7* 10.0** 2^* 3 4 x", {"1, \"K7*\", 10.0*,  2^,  3"}},
        {"$\r$\r$\rA\tb 1 2 3 4\rC 5 6 7 8", {"1, \"A\tB\", 1,  2,  3", "2, \"C\", 5,  6,  7"}},
        {CrLfLines({"$", "$", "A 1 2 3 4"}), {}},
    };
    for (const auto& [cor, lines] : cases) {
        RecordingUi ui;
        EXPECT_EQ(ConvertCoordinateFile("L", "GR", Write("in.cor", cor), Path("o.idx"), ui),
                  Written);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(PointLines(ReadBytes(Path("o.idx"))), lines) << cor;
    }
}

TEST_F(InterchangeTest, RefusesOrFailsWithoutTouchingTheOldFile) {
    const std::string cor = Write("in.cor", "$\n$\n$\nA 1 2 3 4\n");
    const std::string idx = Write("old.idx", "OLD");
    const std::string noLayer = "Helaas, gaat niet. Kavrin Laagnaam ontbreekt";
    const std::string noCode = "Helaas, gaat niet. Kavrin Grondslagcode ontbreekt";
    const std::string noIdx = "Kavrin IDEX file kan niet worden aangemaakt: ";
    const std::string noCor = "KORVU Co\xF6rdinatenfile niet gevonden: " + Path("x.cor");
    const std::string noDir = Path("x/y.idx");
    // clang-format off
    const std::tuple<std::string, std::string, std::string, std::string, ImportOutcome, Texts>
        cases[] = {
            {"  ", "GR", cor, idx, Refused, {noLayer}},
            {"", " ", cor, idx, Refused, {noLayer, noCode}},
            {"L", "C", Path("x.cor"), idx, Failed, {noCor}},
            {"L", "C", cor, noDir, Failed, {noIdx + noDir + " (map bestaat niet)"}},
            {"\t", "\t", cor, idx, Written, {}},
        };
    // clang-format on
    for (const auto& [layer, code, from, to, outcome, messages] : cases) {
        RecordingUi ui;
        EXPECT_EQ(RunImport(layer, code, from, to, ui), outcome);
        EXPECT_EQ(ui.messages, messages);
        EXPECT_EQ(Entries(), 2) << "no file left behind";
        EXPECT_EQ(ReadBytes(idx) == "OLD", outcome != Written);
    }
}

TEST_F(InterchangeTest, StopsAtTheLastSixteenBitPointNumber) {
    std::string cor = "$\n$\n$\n";
    for (int i = 0; i < 32770; ++i)
        cor += "P 1 2 3 4\n";
    RecordingUi ui;
    EXPECT_EQ(ConvertCoordinateFile("L", "GR", Write("in.cor", cor), Path("o.idx"), ui), Written);
    const Texts lines = PointLines(ReadBytes(Path("o.idx")));
    EXPECT_EQ(lines.size(), 32767u);
    EXPECT_EQ(lines.back(), "32767, \"P\", 1,  2,  3");
    EXPECT_EQ(ui.messages, Texts{"Een Kavrin IDEX file bevat hoogstens 32767 punten; 3 punten "
                                 "zijn niet overgenomen"});
}

// With more points than fit, the bar counts toward what is taken over: it is as far as the
// points taken over (the number on the progress line) and full once the last one is.
TEST_F(InterchangeTest, ProgressCountsTowardWhatIsTakenOver) {
    std::string cor = "$\n$\n$\n";
    for (int i = 0; i < 600000; ++i)
        cor += "P 1 2 3 4\n";
    RecordingUi ui;
    EXPECT_EQ(ConvertCoordinateFile("L", "GR", Write("in.cor", cor), Path("o.idx"), ui), Written);
    ASSERT_EQ(ui.progress.size(), ui.amounts.size());
    ASSERT_GE(ui.amounts.size(), 2u);
    for (std::size_t i = 0; i < ui.amounts.size(); ++i) {
        const auto [done, total] = ui.amounts[i];
        const std::string& text = ui.progress[i];
        const double points = std::stod(text.substr(text.rfind(' ') + 1));
        EXPECT_GE(static_cast<double>(done) / static_cast<double>(total), points / 32767 - 1e-6)
            << text << " at " << done << " of " << total;
    }
    EXPECT_EQ(ui.amounts.back().first, ui.amounts.back().second);
}

struct LoggingSettings : MemorySettings {
    std::string log;
    bool Set(std::string_view key, std::string_view value) override {
        log += ";" + std::string(key) + "=" + std::string(value);
        return MemorySettings::Set(key, value);
    }
};

// The import dialog's set number: a stored current set outside 1..9 opens 1.
TEST_F(InterchangeTest, ModelLoadsStepsClosesAndStarts) {
    const std::string cor = Write("in.cor", "$\n$\n$\nA 1 2 3 4\n");
    // Action l: load with `stored` as the current set; + step up, - down, c close, s start.
    const std::tuple<std::string, int, std::string, char, std::string> cases[] = {
        {" 4 ", 1, "ed", 'l', " 4|L4| c4|x"},
        {"3.5", 5, "ed", 'l', " 1|L1|c1"},
        {"12", 5, "ed", 'l', " 1|L1|c1"},
        {"", 3, "e|d", '+', "1 4|L4| c4|x;TalvikImport3=e|d|it"},
        {"", 3, "ed", '-', "1 2||;TalvikImport3=ed|it"},  // set 2 holds no bar
        {"", 9, "ed", '+', "0 9|ed|it"},
        {"", 1, "ed", '-', "0 1|ed|it"},
        {"", 12, "ed", 'c', " 9|ed|it;TalvikImport9=ed|it;TalvikCurrentSel=9"},
        {"", 4, "ed", 's', "1 4|ed|it;TalvikImport4=ed|it"},
        {"", 4, " ", 's', "0 4| |it"},
    };
    for (const auto& [stored, set, layer, action, expected] : cases) {
        LoggingSettings store;
        store.Set("TalvikImport1", "L1|c1"), store.Set("TalvikImport2", "x");
        store.Set("TalvikImport4", " L4 | c4|x"), store.Set("TalvikCurrentSel", stored);
        store.log.clear();
        ImportModel m(store);
        m.SetCoordFile(cor), m.SetSelectionSetNumber(set), m.SetLayer(layer), m.SetCode("it");
        RecordingUi ui;
        std::string result;
        if (action == 'l') m.Load(cor);
        if (action == '+') result = m.StepUp() ? "1" : "0";
        if (action == '-') result = m.StepDown() ? "1" : "0";
        if (action == 'c') m.Close();
        if (action == 's') result = m.Start(Path("o.idx"), ui) == Written ? "1" : "0";
        EXPECT_EQ(result + " " + std::to_string(m.SelectionSetNumber()) + "|" + m.Layer() + "|" +
                      m.Code() + store.log,
                  expected)
            << set << action;
    }
}

// The shift report's tolerance: shown from the store (the default when none or a bad one is
// stored), refused before anything is written when it is not a number of metres, stored only
// when it changed.
TEST_F(InterchangeTest, ModelKeepsTheToleranceOfTheShiftReport) {
    const std::string cor = Write("in.cor", "$\n$\n$\nA 1 2 3 4\n");
    const std::string refused = "!" + std::string(ImportModel::kBadTolerance);
    // stored (empty: none), shown after loading, typed, what the start gives and stores
    const std::tuple<const char*, const char*, const char*, std::string> cases[] = {
        {"", "0.05", "0.05", "written"},
        {"0.02", "0.02", " 0.1 ", "written;TalvikImportTolerance=0.1"},
        {" 0.020 ", "0.020", "0.020", "written"},
        {"abc", "0.05", "0", "written;TalvikImportTolerance=0"},
        {"", "0.05", "1000", "written;TalvikImportTolerance=1000"},
        {"", "0.05", "1000.01", refused},
        {"", "0.05", "0,05", refused},
        {"", "0.05", "-0.1", refused},
        {"", "0.05", "+0.1", refused},
        {"", "0.05", "1e-2", refused},
        {"", "0.05", "", refused},
    };
    for (const auto& [stored, shown, typed, expected] : cases) {
        LoggingSettings store;
        store.Set("TalvikImport1", "L|C");
        if (*stored) store.Set("TalvikImportTolerance", stored);
        ImportModel m(store);
        m.Load(cor);
        EXPECT_EQ(m.ToleranceText(), shown) << stored;
        m.SetToleranceText(typed);
        store.log.clear();
        RecordingUi ui;
        const ImportOutcome outcome = m.Start(Path("o.idx"), ui);
        std::string result = outcome == Written ? "written" : "";
        for (const std::string& message : ui.messages)
            result += "!" + message;
        // Only the layer/code set is stored besides the tolerance.
        const std::string log = store.log;
        result += log.substr(std::min(log.size(), std::string(";TalvikImport1=L|C").size()));
        EXPECT_EQ(result, expected) << typed;
        EXPECT_EQ(std::filesystem::exists(Path("o.idx")), outcome == Written);
        std::filesystem::remove(Path("o.idx"));
    }
}

}  // namespace
}  // namespace talvik
