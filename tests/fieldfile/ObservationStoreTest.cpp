#include <gtest/gtest.h>

#include <random>

#include "FieldFileTestSupport.h"
#include "fieldfile/Gathering.h"

namespace talvik::test {
namespace {

// The plain way: the table itself, shifted entry by entry behind the last station record.
class LiteralStore : public ObservationStore {
  public:
    void Append(const ObservationRecord& record) override { table_.push_back(record); }
    bool HasStationRecord() const override {
        for (std::size_t i = 1; i < table_.size(); ++i)
            if (table_[i].Zenith == -1) return true;
        return false;
    }
    void PlaceFace2(const ObservationRecord& record, bool blockOpen) override {
        std::size_t source = table_.size() - 1;
        table_.resize(table_.size() + (blockOpen ? 1 : 2));
        std::size_t destination = table_.size() - 1;
        for (;;) {
            table_[destination--] = table_[source];
            if (table_[source].Zenith == -1) break;
            --source;
        }
        table_[destination] = record;
    }
    ObservationTable Take() override { return std::move(table_); }

  private:
    ObservationTable table_{ObservationPlaceholder()};
};

std::string Full(const ObservationRecord& r) {
    return r.Station + '|' + r.Target + '|' + Num(r.InstrumentHeight) + '|' + Num(r.TargetHeight) +
           '|' + Num(r.Azimuth) + '|' + Num(r.Direction) + '|' + Num(r.Zenith) + '|' +
           Num(r.Distance) + '|' + Num(r.Distance2);
}

TEST(ObservationStore, SplitStoreMatchesTheShiftingTable) {
    std::mt19937 random(20240611);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* zeniths[] = {"100", "300", "-1", "200", "250", "401"};
    const char* codes[] = {" K1", " X", ""};
    for (int trial = 0; trial < 400; ++trial) {
        std::string lines;
        for (int i = 1 + pick(120); i > 0; --i) {
            const std::string k = std::to_string(pick(4));
            const std::string dir = ' ' + std::to_string(pick(400));
            const std::string choices[] = {
                "101 S" + k + " 1 2",
                "102 S" + k + " 1 2 T" + k + dir,
                "103 S" + k + " 1 2 T" + k + " 5" + dir,
                "105 " + k,
                "112 T" + k + dir + " 5 0 K1",
                "160 " + k + ' ' + std::to_string(pick(4)),
                "161",
                "111 T" + k + dir + ' ' + zeniths[pick(6)] + " 7" + codes[pick(3)],
                "111 T" + k + dir + ' ' + zeniths[pick(6)] + " 7" + codes[pick(3)],
            };
            lines += choices[pick(9)] + '|';
        }
        const std::string text = Lines(lines);
        const ExportOptions options = Options(pick(2) == 0);
        const auto read = [&](ObservationStore&& store) {
            PointTable points;
            AngleUnitState unit;
            RecordingUi ui;
            LineReader reader;
            reader.OpenText(text);
            ReadFieldRecords(reader, options, points, store, unit, ui);
            return store.Take();
        };
        const ObservationTable fast = read(SplitObservationStore());
        const ObservationTable plain = read(LiteralStore());
        ASSERT_EQ(fast.size(), plain.size()) << text;
        for (std::size_t i = 0; i < fast.size(); ++i)
            ASSERT_EQ(Full(fast[i]), Full(plain[i])) << "entry " << i << " of\n" << text;
    }
}

}  // namespace
}  // namespace talvik::test
