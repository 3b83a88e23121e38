#include <gtest/gtest.h>

#include "Support.h"
#include "interchange/ImportModel.h"
#include "platform/MemorySettings.h"

namespace talvik {
namespace {

using testing::RecordingUi;
using testing::ScratchDir;

struct Shown {
    std::string selNr, layer, code;
    bool operator==(const Shown&) const = default;
};
Shown Show(const ImportModel& m) {
    return {m.SelNr(), m.Layer(), m.Code()};
}

TEST(ImportModel, LoadsTheCurrentSet) {
    const struct {
        std::string current, stored;
        Shown shown;
    } cases[] = {
        {"", "", {"1", "", ""}},
        {"4", "PUNTEN | GR", {"4", "PUNTEN", " GR"}},
        {" 4 ", "A|B|C", {"4", "A", "B|C"}},
        {"4", "no bar", {"4", "", ""}},
        {"0", "", {"1", "", ""}},
        {"10", "", {"1", "", ""}},
        {"x", "", {"1", "", ""}},
        {"3.5", "", {"1", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current);
        MemorySettings store;
        if (!c.current.empty()) store.Set("TalvikCurrentSel", c.current);
        if (!c.stored.empty()) store.Set("TalvikImport4", c.stored);
        store.Set("TalvikImport1", "|");
        const std::size_t sets = store.SetCalls();
        ImportModel model(store);
        model.Load("C:\\net.cor");
        EXPECT_EQ(Show(model), c.shown);
        EXPECT_EQ(model.CoordFile(), "C:\\net.cor");
        EXPECT_EQ(store.SetCalls(), sets);
    }
}

TEST(ImportModel, StepsBetweenSets) {
    const struct {
        const char* label;
        std::string selNr;
        bool up, changed;
        Shown shown;
        std::map<std::string, std::string> stored;  // keys written by the step
    } cases[] = {
        {"up from 3", "3", true, true, {"4", "L4", "c4"}, {{"TALVIKIMPORT3", "ed|it"}}},
        {"down from 4", "4", false, true, {"3", "L3", "c3"}, {{"TALVIKIMPORT4", "ed|it"}}},
        {"up at 9", "9", true, false, {"9", "ed", "it"}, {}},
        {"down at 1", "1", false, false, {"1", "ed", "it"}, {}},
        {"up from text", "abc", true, true, {"2", "L2", "c2"}, {}},
        {"down from text", "", false, true, {"1", "L1", "c1"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MemorySettings store;
        for (int n = 1; n <= 9; ++n)
            store.Set("TalvikImport" + std::to_string(n),
                      "L" + std::to_string(n) + "|c" + std::to_string(n));
        MemorySettings before = store;
        ImportModel model(store);
        model.SetSelNr(c.selNr);
        model.SetLayer("ed");
        model.SetCode("it");
        EXPECT_EQ(c.up ? model.StepUp() : model.StepDown(), c.changed);
        EXPECT_EQ(Show(model), c.shown);
        for (int n = 1; n <= 9; ++n) {
            const std::string key = "TALVIKIMPORT" + std::to_string(n);
            const auto it = c.stored.find(key);
            EXPECT_EQ(store.Get(key, ""), it == c.stored.end() ? before.Get(key, "") : it->second);
        }
        EXPECT_FALSE(store.Has("TalvikCurrentSel"));
    }
}

TEST(ImportModel, CloseStoresTheSetAndItsNumber) {
    const struct {
        std::string selNr, currentSel;
        bool storesSet;
    } cases[] = {{"5", "5", true}, {"x", "1", false}, {"12", "1", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selNr);
        MemorySettings store;
        ImportModel model(store);
        model.SetSelNr(c.selNr);
        model.SetLayer(" A|B ");
        model.SetCode(" C");
        model.Close();
        EXPECT_EQ(store.Get("TalvikCurrentSel", ""), c.currentSel);
        EXPECT_EQ(store.Size(), c.storesSet ? 2u : 1u);
        if (!c.storesSet) continue;
        EXPECT_EQ(store.Get("TalvikImport5", ""), " A|B | C");
        model.LoadImportSet(5);
        EXPECT_EQ(Show(model), (Shown{"5", "A", "B | C"}));
    }
}

TEST(ImportModel, StartChecksStoresTheSetAndConverts) {
    ScratchDir dir;
    MemorySettings store;
    ImportModel model(store);
    model.Load(dir.Write("in.cor", "$\n$\n$\nA 1 2 3 4\n"));
    model.SetSelNr("2");
    RecordingUi ui;
    EXPECT_EQ(model.Start(dir.File("out.idx"), ui), ImportOutcome::Refused);
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(store.Size(), 0u);
    model.SetLayer("L");
    model.SetCode("GR");
    EXPECT_EQ(model.Start(dir.File("out.idx"), ui), ImportOutcome::Written);
    EXPECT_EQ(store.Get("TalvikImport2", ""), "L|GR");
    EXPECT_FALSE(store.Has("TalvikCurrentSel"));
    EXPECT_NE(testing::ReadBytes(dir.File("out.idx")).find("\"A\""), std::string::npos);
    model.SetSelNr("0");
    EXPECT_EQ(model.Start(dir.File("out.idx"), ui), ImportOutcome::Written);
    EXPECT_EQ(store.Size(), 1u);
}

}  // namespace
}  // namespace talvik
