#pragma once
// The point table and the observation table that the field-file gathering builds and the
// writers read. Both keep a placeholder at index 0; records are at 1 .. Last().

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace talvik {

struct PointRecord {
    std::string Name = std::string(9, ' ');  // fixed text of 9 characters
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    bool HasCoordinates = false;
    bool IsUsed = false;
};

// Points: entries are only ever appended (and reordered by the coordinate writer), so the
// first entry of a name never changes while the table grows; an index of first occurrences
// makes every look-up constant time.
class PointTable {
  public:
    PointTable() { Clear(); }

    void Clear() {
        entries_.assign(1, PointRecord{std::string(9, '\0')});
        first_.clear();
    }
    std::size_t Last() const { return entries_.size() - 1; }
    PointRecord& operator[](std::size_t i) { return entries_[i]; }
    const PointRecord& operator[](std::size_t i) const { return entries_[i]; }

    // Appends one entry (its Name must already be a 9-character text); returns its index.
    std::size_t Append(PointRecord record) {
        entries_.push_back(std::move(record));
        const std::size_t index = entries_.size() - 1;
        first_.try_emplace(entries_.back().Name, index);
        return index;
    }
    // Index of the first entry from 1 up whose Name equals name9 exactly; 0 when none.
    std::size_t FindFirst(std::string_view name9) const {
        const auto it = first_.find(name9);
        return it == first_.end() ? 0 : it->second;
    }

    // Direct access for the coordinate writer, which reorders the entries; it calls Reindex()
    // afterwards.
    std::vector<PointRecord>& Entries() { return entries_; }
    const std::vector<PointRecord>& Entries() const { return entries_; }
    void Reindex() {
        first_.clear();
        for (std::size_t i = 1; i < entries_.size(); ++i)
            first_.try_emplace(entries_[i].Name, i);
    }

  private:
    // Looks names up as string_view, without building a string per search.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };

    std::vector<PointRecord> entries_;
    std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> first_;
};

struct ObservationRecord {
    std::string Station = std::string(9, ' ');  // fixed text of 9 characters
    std::string Target = std::string(9, ' ');   // fixed text of 9 characters
    double InstrumentHeight = 0.0;
    double TargetHeight = 0.0;
    double Azimuth = 0.0;
    double Direction = 0.0;
    double Zenith = 0.0;  // -1 marks a station record
    double Distance = 0.0;
    double Distance2 = 0.0;
};

// Observations: index 0 is an all-zero placeholder, records at 1 .. size()-1 in writing order.
using ObservationTable = std::vector<ObservationRecord>;

// Units of the angles in the field file; set by the field file, stated by the writers.
struct AngleUnitState {
    int value = 0;  // 0 degrees-minutes-seconds, 1 decimal degrees, 2 gon
};

}  // namespace talvik
