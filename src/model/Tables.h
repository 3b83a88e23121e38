#pragma once
// The point table and the observation table that the field-file gathering builds and the
// writers read. Both keep a placeholder at index 0; records are at 1 .. Last().

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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
// makes every look-up constant time. The index is an open-addressing table of entry numbers,
// each with a fragment of its name's hash, so a search seldom touches an entry it does not want.
class PointTable {
  public:
    PointTable() { Clear(); }

    void Clear() {
        entries_.assign(1, PointRecord{std::string(9, '\0')});
        slots_.clear();
        indexed_ = 0;
    }
    std::size_t Last() const { return entries_.size() - 1; }
    PointRecord& operator[](std::size_t i) { return entries_[i]; }
    const PointRecord& operator[](std::size_t i) const { return entries_[i]; }

    // Appends one entry (its Name must already be a 9-character text); returns its index.
    std::size_t Append(PointRecord record) {
        entries_.push_back(std::move(record));
        const std::size_t index = entries_.size() - 1;
        Index(index);
        return index;
    }
    // Index of the first entry from 1 up whose Name equals name9 exactly; 0 when none.
    std::size_t FindFirst(std::string_view name9) const {
        if (slots_.empty()) return 0;
        const std::uint64_t hash = Hash(name9);
        const auto tag = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t at = hash & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[at];
            if (slot.entry == 0) return 0;
            if (slot.tag == tag && entries_[slot.entry].Name == name9) return slot.entry;
        }
    }

    // Direct access for the coordinate writer, which reorders the entries; it calls Reindex()
    // afterwards.
    std::vector<PointRecord>& Entries() { return entries_; }
    const std::vector<PointRecord>& Entries() const { return entries_; }
    void Reindex() {
        slots_.clear();
        indexed_ = 0;
        for (std::size_t i = 1; i < entries_.size(); ++i)
            Index(i);
    }

  private:
    struct Slot {
        std::uint32_t entry = 0;  // 0: empty
        std::uint32_t tag = 0;    // upper half of the name's hash
    };

    static std::uint64_t Hash(std::string_view name) {
        // FNV-1a, then a final mix so that the low bits (the slot) depend on every byte.
        std::uint64_t h = 14695981039346656037ull;
        for (char c : name)
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        h ^= h >> 31;
        h *= 0x9E3779B97F4A7C15ull;
        return h ^ (h >> 29);
    }

    // Enters entry `index` unless an earlier entry has its name already.
    void Index(std::size_t index) {
        if ((indexed_ + 1) * 2 > slots_.size()) Grow();
        const std::string& name = entries_[index].Name;
        const std::uint64_t hash = Hash(name);
        const auto tag = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t at = hash & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[at];
            if (slot.entry == 0) {
                slot = Slot{static_cast<std::uint32_t>(index), tag};
                ++indexed_;
                return;
            }
            if (slot.tag == tag && entries_[slot.entry].Name == name) return;
        }
    }

    void Grow() {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.resize(old.empty() ? 64 : old.size() * 2);
        for (const Slot& slot : old) {
            if (slot.entry == 0) continue;
            const std::uint64_t hash = Hash(entries_[slot.entry].Name);
            std::size_t at = hash & (slots_.size() - 1);
            while (slots_[at].entry != 0)
                at = (at + 1) & (slots_.size() - 1);
            slots_[at] = slot;
        }
    }

    std::vector<PointRecord> entries_;
    std::vector<Slot> slots_;  // size a power of two, at most half full
    std::size_t indexed_ = 0;
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
