#include "export/ExportDialogModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/MemorySettings.h"

namespace talvik {
namespace {

std::vector<std::string> Codes(const ExportDialogModel& m) {
    return {m.txtSelCode.begin() + 1, m.txtSelCode.end()};
}

std::vector<std::string> CodesOf(std::vector<std::string> first) {
    first.resize(16);
    return first;
}

TEST(ExportDialogModelTest, FirstRunShowsDefaults) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.Open("C:\\Job\\net.prj");

    EXPECT_EQ(m.txtSelNr(), 1);
    EXPECT_EQ(Codes(m), CodesOf({"999"}));
    EXPECT_EQ(m.txtAbsHor(), "0.003");
    EXPECT_EQ(m.txtRelHor(), "0.0003");
    EXPECT_EQ(m.txtAbsVer(), "0.003");
    EXPECT_EQ(m.txtRelVer(), "0.0003");
    EXPECT_EQ(m.txtAbsDis, "0.002");
    EXPECT_EQ(m.txtRelDis, "2");
    EXPECT_EQ(m.txtSDXY(), "0.003");
    EXPECT_EQ(m.txtSDZ(), "0.003");
    EXPECT_EQ(m.txtSigmaCent, "0.003");
    EXPECT_EQ(m.txtSigmaInst, "0.005");
    EXPECT_TRUE(m.chkHVD());
    EXPECT_TRUE(m.chkXYZ());
    EXPECT_FALSE(m.AbsVerEnabled());
    EXPECT_FALSE(m.RelVerEnabled());
    EXPECT_FALSE(m.SDZEnabled());
    EXPECT_TRUE(m.optV3);
    EXPECT_FALSE(m.optFace2to1);
    EXPECT_EQ(m.txtProjectfile, "C:\\Job\\net.prj");
    EXPECT_EQ(m.txtFieldfile, "C:\\Job\\net.fld");
    EXPECT_EQ(settings.SetCalls(), 0u) << "opening stores nothing";
}

TEST(ExportDialogModelTest, FirstRunOptionsMatchTheRecordDefaults) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.Open("p.prj");
    const ExportOptions filled = m.FillExportOptions("k.idx");
    ExportOptions expected;
    expected.Projectfile = "p.prj";
    expected.Fieldfile = "p.fld";
    expected.IdexFile = "k.idx";
    EXPECT_EQ(filled.Projectfile, expected.Projectfile);
    EXPECT_EQ(filled.Fieldfile, expected.Fieldfile);
    EXPECT_EQ(filled.IdexFile, expected.IdexFile);
    EXPECT_EQ(filled.Version, expected.Version);
    EXPECT_EQ(filled.Face2to1, expected.Face2to1);
    EXPECT_EQ(filled.AbsHor, expected.AbsHor);
    EXPECT_EQ(filled.RelHor, expected.RelHor);
    EXPECT_EQ(filled.AbsVer, expected.AbsVer);
    EXPECT_EQ(filled.RelVer, expected.RelVer);
    EXPECT_EQ(filled.AbsDis, expected.AbsDis);
    EXPECT_EQ(filled.RelDis, expected.RelDis);
    EXPECT_EQ(filled.SDXY, expected.SDXY);
    EXPECT_EQ(filled.SDZ, expected.SDZ);
    EXPECT_EQ(filled.SigmaCent, expected.SigmaCent);
    EXPECT_EQ(filled.SigmaInst, expected.SigmaInst);
    EXPECT_EQ(filled.SelCode, expected.SelCode);
}

TEST(ExportDialogModelTest, FillTrimsOnlyThePathsAndMapsOptions) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.Open("x.prj");
    m.txtProjectfile = "  C:\\a b\\p.prj  ";
    m.txtFieldfile = " \tf.fld ";
    m.SetChkHVD(false);
    m.SetAbsHor(" 0.5 ");
    m.SetAbsVer("abc");
    m.txtSigmaInst = "  ";
    m.optV3 = false;
    m.optFace2to1 = true;
    m.txtSelCode[16] = " 7 ";
    const ExportOptions o = m.FillExportOptions("i.idx");
    EXPECT_EQ(o.Projectfile, "C:\\a b\\p.prj");
    EXPECT_EQ(o.Fieldfile, "\tf.fld") << "trimming removes blanks only";
    EXPECT_EQ(o.AbsHor, " 0.5 ");
    EXPECT_EQ(o.AbsVer, "abc");
    EXPECT_EQ(o.SigmaInst, "  ");
    EXPECT_EQ(o.Version, 1);
    EXPECT_TRUE(o.Face2to1);
    EXPECT_EQ(o.SelCode[16], " 7 ");
}

TEST(ExportDialogModelTest, CloseAndReopenRestoresEverything) {
    MemorySettings settings;
    {
        ExportDialogModel m(settings);
        m.Open("a.prj");
        m.SetChkHVD(false);
        m.SetChkXYZ(false);
        m.SetAbsHor("1");
        m.SetRelHor("2");
        m.SetAbsVer("3");
        m.SetRelVer("4");
        m.txtAbsDis = "5";
        m.txtRelDis = "6";
        m.SetSDXY("7");
        m.SetSDZ("8");
        m.txtSigmaCent = "9";
        m.txtSigmaInst = "10";
        m.optV3 = false;
        m.optFace2to1 = true;
        ASSERT_TRUE(m.StepUp());
        m.txtSelCode[1] = "A";
        m.txtSelCode[16] = "Z";
        m.Close();
    }
    EXPECT_EQ(settings.Get(kKeyStdDev, ""), "1|2|3|4|5|6|7|8|0|0|9|10");
    EXPECT_EQ(settings.Get(kKeyFace2to1, ""), "1");
    EXPECT_EQ(settings.Get(kKeyVersion, ""), "0");
    EXPECT_EQ(settings.Get("TalvikSel2", ""), "A|||||||||||||||Z");
    EXPECT_EQ(settings.Get(kKeyCurrentSel, ""), "2");

    ExportDialogModel again(settings);
    again.Open("b.prj");
    EXPECT_EQ(again.txtSelNr(), 2);
    EXPECT_EQ(again.txtSelCode[1], "A");
    EXPECT_EQ(again.txtSelCode[16], "Z");
    EXPECT_EQ(again.txtAbsVer(), "3");
    EXPECT_EQ(again.txtSDZ(), "8");
    EXPECT_TRUE(again.AbsVerEnabled());
    EXPECT_TRUE(again.SDZEnabled());
    EXPECT_FALSE(again.optV3);
    EXPECT_TRUE(again.optFace2to1);
}

TEST(ExportDialogModelTest, CouplingCopiesWhileChecked) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.Open("a.prj");  // both couplings checked by default

    m.SetAbsHor("0.1");
    m.SetRelHor("0.2");
    m.SetSDXY("0.3");
    EXPECT_EQ(m.txtAbsVer(), "0.1");
    EXPECT_EQ(m.txtRelVer(), "0.2");
    EXPECT_EQ(m.txtSDZ(), "0.3");
    m.SetAbsVer("typed into a disabled box");
    m.SetSDZ("typed into a disabled box");
    EXPECT_EQ(m.txtAbsVer(), "0.1");
    EXPECT_EQ(m.txtSDZ(), "0.3");

    m.SetChkHVD(false);
    m.SetChkXYZ(false);
    EXPECT_TRUE(m.AbsVerEnabled() && m.RelVerEnabled() && m.SDZEnabled());
    EXPECT_EQ(m.txtAbsVer(), "0.1") << "unchecking leaves the texts";
    m.SetAbsHor("0.9");
    m.SetSDXY("0.8");
    m.SetRelVer("own");
    EXPECT_EQ(m.txtAbsVer(), "0.1");
    EXPECT_EQ(m.txtRelVer(), "own");
    EXPECT_EQ(m.txtSDZ(), "0.3");

    m.SetChkHVD(true);
    m.SetChkXYZ(true);
    EXPECT_EQ(m.txtAbsVer(), "0.9");
    EXPECT_EQ(m.txtRelVer(), "0.2");
    EXPECT_EQ(m.txtSDZ(), "0.8");
    m.txtAbsDis = "1";
    EXPECT_EQ(m.txtRelDis, "2") << "no coupling for distances";
}

struct StdDevCase {
    const char* name;
    std::string stored;
    std::vector<std::string> texts;  // AbsHor RelHor AbsVer RelVer AbsDis RelDis SDXY SDZ Cent Inst
    bool hvd;
    bool xyz;
};

class LoadSettingsTest : public testing::TestWithParam<StdDevCase> {};

TEST_P(LoadSettingsTest, FillsBoxesInOrder) {
    const StdDevCase& c = GetParam();
    MemorySettings settings;
    settings.Set(kKeyStdDev, c.stored);
    ExportDialogModel m(settings);
    m.LoadSettings();
    const std::vector<std::string> got{m.txtAbsHor(),  m.txtRelHor(), m.txtAbsVer(), m.txtRelVer(),
                                       m.txtAbsDis,    m.txtRelDis,   m.txtSDXY(),   m.txtSDZ(),
                                       m.txtSigmaCent, m.txtSigmaInst};
    EXPECT_EQ(got, c.texts);
    EXPECT_EQ(m.chkHVD(), c.hvd);
    EXPECT_EQ(m.chkXYZ(), c.xyz);
    EXPECT_EQ(m.AbsVerEnabled(), !c.hvd);
    EXPECT_EQ(m.SDZEnabled(), !c.xyz);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, LoadSettingsTest,
    testing::Values(StdDevCase{"Uncoupled",
                               "1|2|3|4|5|6|7|8|0|0|9|10",
                               {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
                               false,
                               false},
                    StdDevCase{"CheckedCopiesSources",
                               "1|2|3|4|5|6|7|8|1|1|9|10",
                               {"1", "2", "1", "2", "5", "6", "7", "7", "9", "10"},
                               true,
                               true},
                    StdDevCase{"FieldsTrimmed",
                               " 1 |2  |  3|4|5|6|7|8| 0 |0|  9|10 ",
                               {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
                               false,
                               false},
                    StdDevCase{"FewerFieldsLeaveEmptyAndUnchecked",
                               "1|2|3",
                               {"1", "2", "3", "", "", "", "", "", "", ""},
                               false,
                               false},
                    StdDevCase{
                        "EmptyStored", "", {"", "", "", "", "", "", "", "", "", ""}, false, false},
                    StdDevCase{"SurplusFieldsIgnored",
                               "1|2|3|4|5|6|7|8|0|0|9|10|11|12",
                               {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
                               false,
                               false},
                    StdDevCase{"CheckStateIsNumericValue",
                               "a|b|c|d|e|f|g|h|1.0|0.4|i|j",
                               {"a", "b", "a", "b", "e", "f", "g", "h", "i", "j"},
                               true,
                               false},
                    StdDevCase{"OnlyOneChecks",
                               "a|b|c|d|e|f|g|h|2|-1|i|j",
                               {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"},
                               false,
                               false}),
    [](const testing::TestParamInfo<StdDevCase>& info) { return std::string(info.param.name); });

TEST(ExportDialogModelTest, OptionsFollowNumericValueOfSettings) {
    struct Case {
        const char* face;
        const char* version;
        bool face2to1;
        bool v3;
    };
    for (const Case& c :
         {Case{"0", "1", false, true}, Case{"1", "0", true, false}, Case{"2", "3", true, true},
          Case{"x", "abc", false, false}, Case{"0.0", "-1", false, true}}) {
        MemorySettings settings;
        settings.Set(kKeyFace2to1, c.face);
        settings.Set(kKeyVersion, c.version);
        ExportDialogModel m(settings);
        m.LoadSettings();
        EXPECT_EQ(m.optFace2to1, c.face2to1) << c.face;
        EXPECT_EQ(m.optV3, c.v3) << c.version;
    }
}

struct SelCase {
    const char* name;
    std::string stored;
    std::vector<std::string> codes;
};

class LoadSelectionSetTest : public testing::TestWithParam<SelCase> {};

TEST_P(LoadSelectionSetTest, SplitsAtBars) {
    MemorySettings settings;
    settings.Set("TalvikSel5", GetParam().stored);
    ExportDialogModel m(settings);
    m.LoadSelectionSet(5);
    EXPECT_EQ(Codes(m), CodesOf(GetParam().codes));
}

INSTANTIATE_TEST_SUITE_P(Stored, LoadSelectionSetTest,
                         testing::Values(SelCase{"Single", "999", {"999"}},
                                         SelCase{"Trimmed", " 10 | 20|30 ", {"10", "20", "30"}},
                                         SelCase{"GapsStayEmpty", "1||3", {"1", "", "3"}},
                                         SelCase{"Sixteen",
                                                 "1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16",
                                                 {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
                                                  "11", "12", "13", "14", "15", "16"}},
                                         SelCase{"MoreThanSixteenKeepsFirst",
                                                 "1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16|17|18",
                                                 {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
                                                  "11", "12", "13", "14", "15", "16"}},
                                         SelCase{"TabsKept", "\tA\t|B", {"\tA\t", "B"}},
                                         SelCase{"Empty", "", {}}),
                         [](const testing::TestParamInfo<SelCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ExportDialogModelTest, SaveSelectionSetJoinsUntrimmedAndMarksCurrent) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.txtSelCode[1] = " a ";
    m.txtSelCode[2] = "b";
    m.SaveSelectionSet(7);
    EXPECT_EQ(settings.Get("TalvikSel7", ""), " a |b||||||||||||||");
    EXPECT_EQ(settings.Get(kKeyCurrentSel, ""), "7");
}

TEST(ExportDialogModelTest, SteppingStoresTheSetLeftAndLoadsTheNext) {
    MemorySettings settings;
    settings.Set("TalvikSel2", "two");
    ExportDialogModel m(settings);
    m.Open("a.prj");
    m.txtSelCode[1] = "edited one";

    ASSERT_TRUE(m.StepUp());
    EXPECT_EQ(m.txtSelNr(), 2);
    EXPECT_EQ(m.txtSelCode[1], "two");
    EXPECT_EQ(settings.Get("TalvikSel1", ""), "edited one|||||||||||||||");
    EXPECT_EQ(settings.Get(kKeyCurrentSel, ""), "1") << "the set left is marked as it is stored";

    m.txtSelCode[2] = "more";
    ASSERT_TRUE(m.StepDown());
    EXPECT_EQ(m.txtSelNr(), 1);
    EXPECT_EQ(m.txtSelCode[1], "edited one");
    EXPECT_EQ(settings.Get("TalvikSel2", ""), "two|more||||||||||||||");
    ASSERT_TRUE(m.StepUp());
    EXPECT_EQ(Codes(m), CodesOf({"two", "more"}));
}

TEST(ExportDialogModelTest, SteppingPastTheEndsStoresNothing) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.Open("a.prj");
    const auto before = settings.SetCalls();
    EXPECT_FALSE(m.StepDown());
    EXPECT_EQ(m.txtSelNr(), 1);
    EXPECT_EQ(settings.SetCalls(), before);
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(m.StepUp());
    EXPECT_EQ(m.txtSelNr(), 9);
    const auto atNine = settings.SetCalls();
    EXPECT_FALSE(m.StepUp());
    EXPECT_EQ(m.txtSelNr(), 9);
    EXPECT_EQ(settings.SetCalls(), atNine);
    EXPECT_FALSE(settings.Has("TalvikSel10"));
    EXPECT_FALSE(settings.Has("TalvikSel0"));
}

TEST(ExportDialogModelTest, StoredCurrentSetMustBeAWholeNumberOneToNine) {
    struct Case {
        const char* stored;
        int set;
    };
    for (const Case& c : {Case{"4", 4}, Case{" 9 ", 9}, Case{"1", 1}, Case{"0", 1}, Case{"10", 1},
                          Case{"-3", 1}, Case{"2.5", 1}, Case{"3x", 1}, Case{"", 1}, Case{"abc", 1},
                          Case{"99999999999999999999", 1}}) {
        MemorySettings settings;
        settings.Set(kKeyCurrentSel, c.stored);
        settings.Set("TalvikSel" + std::to_string(c.set), "mine");
        ExportDialogModel m(settings);
        m.Open("a.prj");
        EXPECT_EQ(m.txtSelNr(), c.set) << c.stored;
        EXPECT_EQ(m.txtSelCode[1], "mine") << c.stored;
        m.Close();
        EXPECT_EQ(settings.Get(kKeyCurrentSel, ""), std::to_string(c.set)) << c.stored;
    }
}

TEST(ExportDialogModelTest, CurrentSetIsSharedThroughTheStore) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.Open("a.prj");
    for (int i = 0; i < 3; ++i)
        m.StepUp();
    m.Close();
    EXPECT_EQ(settings.Get(kKeyCurrentSel, ""), "4");
}

TEST(ExportDialogModelTest, FieldFileIsProjectWithLastThreeCharactersReplaced) {
    struct Case {
        const char* package;
        const char* field;
    };
    for (const Case& c : {Case{"C:\\a\\net.prj", "C:\\a\\net.fld"}, Case{"net.PRJ", "net.fld"},
                          Case{"net.pr", "netfld"}, Case{"net.prjx", "net.pfld"},
                          Case{"abc", "fld"}, Case{"ab", "fld"}, Case{"", "fld"}}) {
        MemorySettings settings;
        ExportDialogModel m(settings);
        m.Open(c.package);
        EXPECT_EQ(m.txtFieldfile, c.field) << c.package;
        EXPECT_EQ(m.txtProjectfile, c.package);
    }
}

}  // namespace
}  // namespace talvik
