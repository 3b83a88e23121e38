#include "export/ExportDialogModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/MemorySettings.h"

namespace talvik {
namespace {

using Texts = std::vector<std::string>;

// The ten standard-deviation texts in the order they are stored.
Texts StdDevs(const ExportDialogModel& m) {
    const ExportOptions o = m.FillExportOptions("");
    return {o.AbsHor, o.RelHor, o.AbsVer, o.RelVer,    o.AbsDis,
            o.RelDis, o.SDXY,   o.SDZ,    o.SigmaCent, o.SigmaInst};
}

TEST(ExportDialogModelTest, FirstRunDefaultsThenCloseAndReopenRestoresEverything) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.Open("C:\\Job\\net.prj");
    const ExportOptions first = m.FillExportOptions("k.idx"), defaults;
    EXPECT_EQ(StdDevs(m), (Texts{defaults.AbsHor, defaults.RelHor, defaults.AbsVer, defaults.RelVer,
                                 defaults.AbsDis, defaults.RelDis, defaults.SDXY, defaults.SDZ,
                                 defaults.SigmaCent, defaults.SigmaInst}));
    EXPECT_EQ(first.SelCode, defaults.SelCode);
    EXPECT_TRUE(first.Version == 3 && !first.Face2to1 && m.chkHVD() && m.chkXYZ());
    EXPECT_FALSE(m.AbsVerEnabled() || m.RelVerEnabled() || m.SDZEnabled());
    EXPECT_EQ(m.txtFieldfile, "C:\\Job\\net.fld");
    EXPECT_EQ(settings.SetCalls(), 0u) << "opening stores nothing";

    m.SetChkHVD(false), m.SetChkXYZ(false);
    m.SetAbsHor("1"), m.SetRelHor("2"), m.SetAbsVer("3"), m.SetRelVer("4");
    m.txtAbsDis = "5", m.txtRelDis = "6", m.SetSDXY("7"), m.SetSDZ("8");
    m.txtSigmaCent = "9", m.txtSigmaInst = " 10 ";
    m.optV3 = false, m.optFace2to1 = true;
    ASSERT_TRUE(m.StepUp());
    m.txtSelCode[1] = " A ", m.txtSelCode[16] = "Z";
    m.Close();
    EXPECT_EQ(settings.Get(kKeyStdDev, ""), "1|2|3|4|5|6|7|8|0|0|9| 10 ");
    EXPECT_EQ(settings.Get(kKeyFace2to1, "") + settings.Get(kKeyVersion, ""), "10");
    EXPECT_EQ(settings.Get("TalvikSel2", ""), " A |||||||||||||||Z");
    EXPECT_EQ(settings.Get(kKeyCurrentSel, ""), "2");

    ExportDialogModel again(settings);
    again.Open("b.prj");
    EXPECT_EQ(StdDevs(again), (Texts{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(again.txtSelNr(), 2);
    EXPECT_EQ(again.txtSelCode[1], "A");
    EXPECT_TRUE(again.AbsVerEnabled() && again.SDZEnabled() && !again.optV3 && again.optFace2to1);
}

TEST(ExportDialogModelTest, CouplingCopiesSourcesWhileChecked) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.Open("a.prj");  // both couplings checked
    const auto dependents = [&m] { return Texts{m.txtAbsVer(), m.txtRelVer(), m.txtSDZ()}; };
    m.SetAbsHor("0.1"), m.SetRelHor("0.2"), m.SetSDXY("0.3");
    m.SetAbsVer("typed"), m.SetSDZ("typed");  // disabled boxes take no edit
    EXPECT_EQ(dependents(), (Texts{"0.1", "0.2", "0.3"}));
    m.SetChkHVD(false), m.SetChkXYZ(false);
    m.SetAbsHor("0.9"), m.SetSDXY("0.8"), m.SetRelVer("own");
    EXPECT_EQ(dependents(), (Texts{"0.1", "own", "0.3"}));
    m.SetChkHVD(true), m.SetChkXYZ(true);
    EXPECT_EQ(dependents(), (Texts{"0.9", "0.2", "0.8"}));
}

TEST(ExportDialogModelTest, LoadSettingsFillsBoxesInOrder) {
    struct Case {
        std::string stored;
        Texts texts;
        bool hvd, xyz;
    };
    const Case cases[] = {
        {"1|2|3|4|5|6|7|8|1|1|9|10", {"1", "2", "1", "2", "5", "6", "7", "7", "9", "10"}, 1, 1},
        {" 1 |2|3|4|5|6|7|8| 0 |0| 9|10|11",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
         0,
         0},
        {"1|2|3", {"1", "2", "3", "", "", "", "", "", "", ""}, 0, 0},
        {"a|b|c|d|e|f|g|h|1.0|0.4|i|j", {"a", "b", "a", "b", "e", "f", "g", "h", "i", "j"}, 1, 0},
        {"a|b|c|d|e|f|g|h|2|-1|i|j", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, 0, 0},
    };
    for (const Case& c : cases) {
        MemorySettings settings;
        settings.Set(kKeyStdDev, c.stored);
        ExportDialogModel m(settings);
        m.LoadSettings();
        EXPECT_EQ(StdDevs(m), c.texts) << c.stored;
        EXPECT_EQ(m.chkHVD(), c.hvd) << c.stored;
        EXPECT_EQ(m.SDZEnabled(), !c.xyz) << c.stored;
    }
    for (const auto& [stored, on] : {std::pair{"0", false}, {"2", true}, {"x", false}}) {
        MemorySettings settings;
        settings.Set(kKeyFace2to1, stored);
        settings.Set(kKeyVersion, stored);
        ExportDialogModel m(settings);
        m.LoadSettings();
        EXPECT_TRUE(m.optFace2to1 == on && m.optV3 == on) << stored;
    }
}

TEST(ExportDialogModelTest, SelectionSetsSplitAtBarsAndStepWithinOneToNine) {
    MemorySettings settings;
    settings.Set("TalvikSel2", " 10 | 20||\t4\t");
    settings.Set("TalvikSel3", "1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16|17");
    ExportDialogModel m(settings);
    m.Open("a.prj");
    m.txtSelCode[1] = "edited";
    ASSERT_TRUE(m.StepUp());
    EXPECT_EQ(Texts(&m.txtSelCode[1], &m.txtSelCode[6]), (Texts{"10", "20", "", "\t4\t", ""}));
    EXPECT_EQ(settings.Get("TalvikSel1", ""), "edited|||||||||||||||");
    EXPECT_EQ(settings.Get(kKeyCurrentSel, ""), "1") << "marks the set it stores";
    ASSERT_TRUE(m.StepUp());
    EXPECT_EQ(m.txtSelCode[16], "16");
    ASSERT_TRUE(m.StepDown() && m.StepDown());
    EXPECT_EQ(m.txtSelCode[1], "edited");

    const auto before = settings.SetCalls();
    EXPECT_FALSE(m.StepDown());
    EXPECT_EQ(settings.SetCalls(), before) << "nothing stored at the end of the range";
    while (m.StepUp()) {
    }
    EXPECT_EQ(m.txtSelNr(), 9);
    EXPECT_FALSE(settings.Has("TalvikSel10"));
}

TEST(ExportDialogModelTest, StoredCurrentSetMustBeAWholeNumberOneToNine) {
    const std::pair<const char*, int> cases[] = {{"4", 4},  {" 9 ", 9}, {"0", 1},  {"10", 1},
                                                 {"-3", 1}, {"2.5", 1}, {"3x", 1}, {"", 1}};
    for (const auto& [stored, set] : cases) {
        MemorySettings settings;
        settings.Set(kKeyCurrentSel, stored);
        settings.Set("TalvikSel" + std::to_string(set), "mine");
        ExportDialogModel m(settings);
        m.Open("a.prj");
        EXPECT_EQ(m.txtSelCode[1], "mine") << stored;
        m.Close();
        EXPECT_EQ(settings.Get(kKeyCurrentSel, ""), std::to_string(set)) << stored;
    }
}

TEST(ExportDialogModelTest, PathsReplaceLastThreeCharactersAndTrimOnFill) {
    const std::pair<const char*, const char*> cases[] = {
        {"net.PRJ", "net.fld"}, {"net.pr", "netfld"}, {"ab", "fld"}, {"", "fld"}};
    for (const auto& [package, field] : cases)
        EXPECT_EQ(ReplaceLastThree(package, "fld"), field) << package;
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.txtProjectfile = "  C:\\a b\\p.prj  ";
    m.txtFieldfile = " \tf.fld ";
    const ExportOptions o = m.FillExportOptions("");
    EXPECT_EQ(o.Projectfile + "|" + o.Fieldfile, "C:\\a b\\p.prj|\tf.fld");
}

}  // namespace
}  // namespace talvik
