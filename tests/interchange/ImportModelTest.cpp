#include <gtest/gtest.h>

#include "Support.h"
#include "interchange/ImportModel.h"
#include "platform/MemorySettings.h"

namespace talvik {
namespace {

// Logs every store as "key=value;".
struct LoggingSettings : MemorySettings {
    std::string log;
    bool Set(std::string_view key, std::string_view value) override {
        log += std::string(key) + "=" + std::string(value) + ";";
        return MemorySettings::Set(key, value);
    }
};

// "number|layer|code" as the boxes show them.
std::string Shown(const ImportModel& m) {
    return m.SelNr() + "|" + m.Layer() + "|" + m.Code();
}

TEST(ImportModel, LoadsTheCurrentSet) {
    const struct {
        std::string current, set4, shown;
    } cases[] = {{"", "", "1||"},
                 {"4", "PUNTEN | GR", "4|PUNTEN| GR"},
                 {" 4 ", "A|B|C", "4|A|B|C"},
                 {"4", "x", "4||"},
                 {"0", "", "1||"},
                 {"10", "", "1||"},
                 {"x", "", "1||"},
                 {"3.5", "", "1||"}};
    for (const auto& c : cases) {
        LoggingSettings store;
        if (!c.current.empty()) store.Set("TalvikCurrentSel", c.current);
        if (!c.set4.empty()) store.Set("TalvikImport4", c.set4);
        store.log.clear();
        ImportModel model(store);
        model.Load("C:\\net.cor");
        EXPECT_EQ(Shown(model) + model.CoordFile() + store.log, c.shown + "C:\\net.cor");
    }
}

TEST(ImportModel, StepsCloseAndStart) {
    testing::ScratchDir dir;
    const std::string cor = dir.Write("in.cor", "$\n$\n$\nA 1 2 3 4\n");
    const struct {
        std::string selNr, layer;
        char action;  // + step up, - step down, c close, s start
        std::string result, stored;
    } cases[] = {
        {"3", "e|d", '+', "1 4|L4|c4", "TalvikImport3=e|d|it;"},
        {"2", "ed", '-', "1 1|L1|c1", "TalvikImport2=ed|it;"},
        {"9", "ed", '+', "0 9|ed|it", ""},
        {"1", "ed", '-', "0 1|ed|it", ""},
        {"abc", "ed", '+', "1 2|L2|c2", ""},
        {"", "ed", '-', "1 1|L1|c1", ""},
        {"3", "ed", 'c', " 3|ed|it", "TalvikImport3=ed|it;TalvikCurrentSel=3;"},
        {"x", "ed", 'c', " x|ed|it", "TalvikCurrentSel=1;"},
        {"12", "ed", 'c', " 12|ed|it", "TalvikCurrentSel=1;"},
        {"4", "ed", 's', "1 4|ed|it", "TalvikImport4=ed|it;"},
        {"0", "ed", 's', "1 0|ed|it", ""},
        {"4", " ", 's', "0 4| |it", ""},
    };
    for (const auto& c : cases) {
        LoggingSettings store;
        for (int n : {1, 2, 4})
            store.Set("TalvikImport" + std::to_string(n),
                      "L" + std::to_string(n) + "|c" + std::to_string(n));
        store.log.clear();
        ImportModel model(store);
        model.SetCoordFile(cor);
        model.SetSelNr(c.selNr);
        model.SetLayer(c.layer);
        model.SetCode("it");
        testing::RecordingUi ui;
        std::string result;
        if (c.action == '+') result = model.StepUp() ? "1" : "0";
        if (c.action == '-') result = model.StepDown() ? "1" : "0";
        if (c.action == 'c') model.Close();
        if (c.action == 's')
            result = model.Start(dir.File("o.idx"), ui) == ImportOutcome::Written ? "1" : "0";
        EXPECT_EQ(result + " " + Shown(model), c.result) << c.selNr << c.action;
        EXPECT_EQ(store.log, c.stored) << c.selNr << c.action;
    }
}

}  // namespace
}  // namespace talvik
