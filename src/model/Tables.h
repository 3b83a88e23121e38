#pragma once
// The point table and the observation table that the field-file gathering builds and the
// writers read. Both keep a placeholder at index 0; records are at 1 .. Last().

#include <array>
#include <bit>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace talvik {

// A point name as the tables keep it: always nine bytes, a longer text cut to its first nine,
// a shorter one padded with blanks. Names compare as byte texts with unsigned bytes.
class Name9 {
  public:
    static constexpr std::size_t kSize = 9;

    Name9() { bytes_.fill(' '); }
    Name9(std::string_view text) {  // NOLINT: a text is a name wherever one is expected
        const std::size_t n = text.size() < kSize ? text.size() : kSize;
        if constexpr (std::endian::native == std::endian::little) {
            // The first eight bytes are put together in a register and stored at once: a name
            // stored piecewise makes the next eight-byte read of it (a hash, a comparison) wait.
            std::uint64_t head = kBlanks;
            if (n >= 8) {
                std::memcpy(&head, text.data(), 8);
            } else if (n > 0) {
                head = Gather(text.data(), n) | (kBlanks & (~std::uint64_t{0} << (8 * n)));
            }
            std::memcpy(bytes_.data(), &head, 8);
            bytes_[8] = n == kSize ? text[8] : ' ';
        } else {
            if (n > 0) std::memcpy(bytes_.data(), text.data(), n);
            std::memset(bytes_.data() + n, ' ', kSize - n);
        }
    }
    Name9(const std::string& text) : Name9(std::string_view(text)) {}  // NOLINT
    Name9(const char* text) : Name9(std::string_view(text)) {}         // NOLINT
    // Nine NUL bytes, the name of the placeholder entries.
    static Name9 Zeros() {
        Name9 name;
        name.bytes_.fill('\0');
        return name;
    }

    static constexpr std::size_t size() { return kSize; }
    const char* data() const { return bytes_.data(); }
    std::string_view View() const { return {bytes_.data(), kSize}; }
    operator std::string_view() const { return View(); }  // NOLINT

    // The first eight bytes as a number that orders like them, and the ninth.
    std::uint64_t Head() const {
        std::uint64_t head = 0;
        for (std::size_t i = 0; i < 8; ++i)
            head = (head << 8) | static_cast<unsigned char>(bytes_[i]);
        return head;
    }
    unsigned char Last() const { return static_cast<unsigned char>(bytes_[8]); }

    friend bool operator==(const Name9& a, const Name9& b) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a.bytes_.data(), 8);
        std::memcpy(&y, b.bytes_.data(), 8);
        return x == y && a.bytes_[8] == b.bytes_[8];
    }
    friend std::strong_ordering operator<=>(const Name9& a, const Name9& b) {
        const std::uint64_t x = a.Head();
        const std::uint64_t y = b.Head();
        return x != y ? x <=> y : a.Last() <=> b.Last();
    }

  private:
    static constexpr std::uint64_t kBlanks = 0x2020202020202020ull;

    // Bytes p[0] .. p[n-1] (n from 1 to 7) at the low end of a little-endian word, zeros above.
    static std::uint64_t Gather(const char* p, std::size_t n) {
        if (n >= 4) {
            std::uint32_t low = 0;
            std::uint32_t high = 0;
            std::memcpy(&low, p, 4);
            std::memcpy(&high, p + n - 4, 4);  // overlaps `low` with the same bytes
            return low | (std::uint64_t{high} << (8 * (n - 4)));
        }
        const auto byte = [p](std::size_t i) {
            return std::uint64_t{static_cast<unsigned char>(p[i])};
        };
        return byte(0) | (byte(n / 2) << (8 * (n / 2))) | (byte(n - 1) << (8 * (n - 1)));
    }

    std::array<char, kSize> bytes_;
};

struct PointRecord {
    Name9 Name;
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    bool HasCoordinates = false;
    bool IsUsed = false;
};

// Points: entries are only ever appended (and reordered by the coordinate writer), so the
// first entry of a name never changes while the table grows; an index of first occurrences
// makes every look-up constant time. The index is an open-addressing table whose slots hold
// the name beside the entry number, so a look-up reads one slot (one cache line) and seldom
// a neighbour, never the entries.
//
// Const means read-only: the const methods change nothing, so that other threads may read a
// table nobody changes. The work the table puts off (the index of entries appended unindexed,
// the IsUsed marks of MarkUsed) is done by the changing methods: by the first look-up, by any
// non-const access to the entries, and by Seal, which the owner calls before the table is
// read through a const reference.
class PointTable {
  public:
    PointTable() { Clear(); }

    void Clear() {
        marks_.clear();
        shadowed_.clear();
        entries_.assign(1, PointRecord{Name9::Zeros()});
        slots_.clear();
        indexed_ = 0;
        stale_ = false;
    }
    // Room for `count` entries in all, so that they are appended without moving the table.
    void Reserve(std::size_t count) {
        entries_.reserve(count + 1);
        Fresh();
        std::size_t size = 64;
        while (size < count * 2)
            size *= 2;
        if (size > slots_.size()) Grow(size);
    }
    // Room for `count` entries in all, the name index left as it is (a reader that clears the
    // table and reserves the index at its size comes next).
    void ReserveEntries(std::size_t count) { entries_.reserve(count + 1); }
    std::size_t Last() const { return entries_.size() - 1; }
    PointRecord& operator[](std::size_t i) {
        ApplyMarks();
        return entries_[i];
    }
    const PointRecord& operator[](std::size_t i) const { return entries_[i]; }

    // Sets the IsUsed marks MarkUsed has put off and builds the name index once for the
    // entries appended unindexed: the const view then shows the whole table.
    void Seal() {
        ApplyMarks();
        Fresh();
    }

    // Appends one entry; returns its index.
    std::size_t Append(const PointRecord& record) {
        entries_.push_back(record);
        const std::size_t index = entries_.size() - 1;
        if (stale_)
            Fresh();
        else
            Index(index);
        return index;
    }
    // Index of the first entry from 1 up whose Name equals name; 0 when none.
    std::size_t FindFirst(const Name9& name) {
        Fresh();
        if (slots_.empty()) return 0;
        for (std::size_t at = Hash(name) & Mask();; at = (at + 1) & Mask()) {
            const Slot& slot = slots_[at];
            if (slot.entry == 0) return 0;
            if (slot.name == name) return slot.entry;
        }
    }
    // Sets IsUsed of the first entry of that name, after appending an entry of that name
    // without coordinates when there is none; returns that entry's index. The index remembers
    // the names it has marked, so marking a name again touches neither the entries nor a second
    // cache line (an IsUsed cleared by hand in between stays cleared; Reindex forgets the marks).
    std::uint32_t MarkUsed(const Name9& name) {
        Fresh();
        if ((indexed_ + 1) * 2 > slots_.size()) Grow(slots_.empty() ? 64 : slots_.size() * 2);
        for (std::size_t at = Hash(name) & Mask();; at = (at + 1) & Mask()) {
            Slot& slot = slots_[at];
            if (slot.entry == 0) {
                PointRecord point;
                point.Name = name;
                point.IsUsed = true;
                entries_.push_back(point);
                slot = Slot{name, true, static_cast<std::uint32_t>(entries_.size() - 1)};
                ++indexed_;
                return slot.entry;
            }
            if (slot.name == name) {
                // The entry itself is written later, with the other marks: here it would
                // cost a cache miss at nearly every name.
                if (!slot.marked) marks_.push_back(slot.entry);
                slot.marked = true;
                return slot.entry;
            }
        }
    }
    // Asks the processor to fetch the slot where a look-up of `name` begins.
    void Prefetch(std::string_view name) const {
        if (slots_.empty()) return;
        const NameBits bits(name);
        PrefetchSlot(HashOf(bits.head, bits.last));
    }
    // Appends without updating the name index; the next look-up builds it for all entries at
    // once, which is quicker for many (the IDEX file's points).
    void AppendUnindexed(const PointRecord& record) {
        entries_.push_back(record);
        stale_ = true;
    }

    std::vector<PointRecord>& Entries() {
        ApplyMarks();
        return entries_;
    }
    const std::vector<PointRecord>& Entries() const { return entries_; }
    // The entries whose name an earlier entry has, each with that name's first entry, in the
    // order of the entries: the index finds them as it goes. Complete once sealed.
    struct Shadow {
        std::uint32_t entry = 0;
        std::uint32_t first = 0;
    };
    const std::vector<Shadow>& Shadowed() const { return shadowed_; }
    void Reindex() {
        ApplyMarks();
        slots_.clear();
        shadowed_.clear();
        indexed_ = 0;
        stale_ = true;
    }

  private:
    struct Slot {
        Name9 name;
        bool marked = false;      // MarkUsed has set the entry's IsUsed
        std::uint32_t entry = 0;  // 0: empty
    };

    std::size_t Mask() const { return slots_.size() - 1; }

    void PrefetchSlot(std::uint64_t hash) const {
        if (!slots_.empty()) Hint(slots_.data() + (hash & Mask()));
    }
    template <typename T>
    static void Hint(const T* at) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
        asm volatile("prefetcht0 %0" : : "m"(*at));
#else
        (void)at;
#endif
    }

    // A name's bytes gathered in registers as Hash reads them on a little-endian machine
    // (elsewhere the prefetch hints are merely useless): going through a Name9 in memory would
    // make the loads wait for the byte-wise stores that fill it.
    struct NameBits {
        explicit NameBits(std::string_view name) {
            for (std::size_t k = 0; k < 8; ++k) {
                const auto byte = static_cast<unsigned char>(k < name.size() ? name[k] : ' ');
                head |= std::uint64_t{byte} << (8 * k);
            }
            last = static_cast<unsigned char>(name.size() > 8 ? name[8] : ' ');
        }
        std::uint64_t head = 0;
        unsigned char last = ' ';
    };

    static std::uint64_t Hash(const Name9& name) {
        std::uint64_t head = 0;
        std::memcpy(&head, name.data(), 8);
        return HashOf(head, static_cast<unsigned char>(name.data()[8]));
    }
    static std::uint64_t HashOf(std::uint64_t head, unsigned char last) {
        std::uint64_t h = (head ^ last) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 32;
        h *= 0xD6E8FEB86659FD93ull;
        return h ^ (h >> 32);
    }

    void Fresh() {
        if (!stale_) return;
        stale_ = false;
        std::size_t size = slots_.empty() ? 64 : slots_.size();
        while (size < entries_.size() * 2)
            size *= 2;
        if (size > slots_.size()) Grow(size);
        shadowed_.clear();
        // The slot of the entry some places ahead is fetched while this one is placed: a table
        // of many points misses the cache at nearly every slot.
        constexpr std::size_t kAhead = 16;
        for (std::size_t i = 1; i < entries_.size(); ++i) {
            if (i + kAhead < entries_.size()) PrefetchSlot(Hash(entries_[i + kAhead].Name));
            Index(i);
        }
    }

    void Index(std::size_t index) {
        if ((indexed_ + 1) * 2 > slots_.size()) Grow(slots_.empty() ? 64 : slots_.size() * 2);
        const Name9& name = entries_[index].Name;
        for (std::size_t at = Hash(name) & Mask();; at = (at + 1) & Mask()) {
            Slot& slot = slots_[at];
            if (slot.entry == 0) {
                slot = Slot{name, false, static_cast<std::uint32_t>(index)};
                ++indexed_;
                return;
            }
            if (slot.name == name) {
                if (slot.entry != index)
                    shadowed_.push_back({static_cast<std::uint32_t>(index), slot.entry});
                return;
            }
        }
    }

    void Grow(std::size_t size) {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.resize(size);
        for (const Slot& slot : old) {
            if (slot.entry == 0) continue;
            std::size_t at = Hash(slot.name) & Mask();
            while (slots_[at].entry != 0)
                at = (at + 1) & Mask();
            slots_[at] = slot;
        }
    }

    // Sets IsUsed of the entries MarkUsed found, before anyone looks at an entry.
    void ApplyMarks() {
        if (marks_.empty()) return;
        for (const std::uint32_t entry : marks_)
            entries_[entry].IsUsed = true;
        marks_.clear();
    }

    std::vector<PointRecord> entries_;
    // Entries whose IsUsed MarkUsed has set in the index only; written by ApplyMarks.
    std::vector<std::uint32_t> marks_;
    std::vector<Slot> slots_;  // size a power of two, at most half full
    std::vector<Shadow> shadowed_;
    std::size_t indexed_ = 0;
    bool stale_ = false;  // entries were appended unindexed
};

// A record is of one of two kinds. A set-up record (a station record) opens the observations of
// one set-up of the instrument on its station and measures nothing but, at most, a reference
// direction; its Zenith is -1, and a Zenith of -1 makes any record one, also one read from a
// field file. Every other record is an observation; its Zenith 0 means no zenith angle.
struct ObservationRecord {
    static constexpr double kSetUpZenith = -1.0;

    Name9 Station;
    Name9 Target;
    // The point-table entries of the two names (the first entry of each name) as the gathering
    // found them; 0 when it did not look the name up (a record made by hand, a missing name).
    std::uint32_t StationEntry = 0;
    std::uint32_t TargetEntry = 0;
    // The line of the field file the record comes from (counted from 1; a copy of a station
    // record keeps its line); 0 when not known. What watches the export names lines with it.
    std::uint32_t Line = 0;
    double InstrumentHeight = 0.0;
    double TargetHeight = 0.0;
    double Azimuth = 0.0;
    double Direction = 0.0;
    double Zenith = 0.0;
    double Distance = 0.0;
    double Distance2 = 0.0;

    bool IsSetUp() const { return Zenith == kSetUpZenith; }
    void MakeSetUp() { Zenith = kSetUpZenith; }
    // The observation file opens a series at every record whose zenith is below 0: at each
    // set-up, and at an observation read from a field file with a negative zenith angle, which
    // writes no line of its own.
    bool OpensSeries() const { return Zenith < 0; }
};

// Observations: index 0 is an all-zero placeholder, records at 1 .. size()-1 in writing order.
// The records are kept in blocks of a fixed size, so that the table grows without moving them
// and without ever needing room for two copies of itself.
class ObservationTable {
    static constexpr std::size_t kShift = 10;
    static constexpr std::size_t kBlock = std::size_t{1} << kShift;

    template <typename Table, typename Record>
    class Iter {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = ObservationRecord;
        using difference_type = std::ptrdiff_t;
        using pointer = Record*;
        using reference = Record&;

        Iter() = default;
        Iter(Table* table, std::size_t at) : table_(table), at_(at) {}
        Record& operator*() const { return (*table_)[at_]; }
        Record* operator->() const { return &(*table_)[at_]; }
        Record& operator[](difference_type n) const { return *(*this + n); }
        Iter& operator++() { return ++at_, *this; }
        Iter operator++(int) { return Iter(table_, at_++); }
        Iter& operator--() { return --at_, *this; }
        Iter operator--(int) { return Iter(table_, at_--); }
        Iter& operator+=(difference_type n) { return at_ += static_cast<std::size_t>(n), *this; }
        Iter& operator-=(difference_type n) { return at_ -= static_cast<std::size_t>(n), *this; }
        friend Iter operator+(Iter i, difference_type n) { return i += n; }
        friend Iter operator+(difference_type n, Iter i) { return i += n; }
        friend Iter operator-(Iter i, difference_type n) { return i -= n; }
        friend difference_type operator-(const Iter& a, const Iter& b) {
            return static_cast<difference_type>(a.at_) - static_cast<difference_type>(b.at_);
        }
        friend bool operator==(const Iter& a, const Iter& b) { return a.at_ == b.at_; }
        friend auto operator<=>(const Iter& a, const Iter& b) { return a.at_ <=> b.at_; }

      private:
        Table* table_ = nullptr;
        std::size_t at_ = 0;
    };

  public:
    using value_type = ObservationRecord;
    using iterator = Iter<ObservationTable, ObservationRecord>;
    using const_iterator = Iter<const ObservationTable, const ObservationRecord>;

    ObservationTable() = default;
    explicit ObservationTable(std::size_t count) { resize(count); }
    ObservationTable(std::initializer_list<ObservationRecord> records) {
        for (const ObservationRecord& record : records)
            push_back(record);
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    ObservationRecord& operator[](std::size_t i) { return blocks_[i >> kShift][i & (kBlock - 1)]; }
    const ObservationRecord& operator[](std::size_t i) const {
        return blocks_[i >> kShift][i & (kBlock - 1)];
    }
    ObservationRecord& back() { return blocks_.back().back(); }
    const ObservationRecord& back() const { return blocks_.back().back(); }

    void push_back(const ObservationRecord& record) {
        if ((size_ & (kBlock - 1)) == 0) {
            blocks_.emplace_back();
            blocks_.back().reserve(kBlock);
        }
        blocks_.back().push_back(record);
        ++size_;
    }
    void pop_back() {
        blocks_.back().pop_back();
        if (blocks_.back().empty()) blocks_.pop_back();
        --size_;
    }
    void resize(std::size_t count) {
        while (size_ > count)
            pop_back();
        while (size_ < count)
            push_back(ObservationRecord{});
    }
    void clear() {
        blocks_.clear();
        size_ = 0;
    }

    iterator begin() { return {this, 0}; }
    iterator end() { return {this, size_}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

  private:
    std::vector<std::vector<ObservationRecord>> blocks_;  // each of capacity kBlock
    std::size_t size_ = 0;
};

// Takes observation records one by one in writing order, the placeholder left out: a table,
// or the observation writer itself.
class ObservationSink {
  public:
    virtual ~ObservationSink() = default;
    virtual void Put(const ObservationRecord& record) = 0;
    // Records that came together, in order: a sink that looks ahead may take them at once.
    virtual void PutMany(std::span<const ObservationRecord> records) {
        for (const ObservationRecord& record : records)
            Put(record);
    }
};

// Units of the angles in the field file; set by the field file, stated by the writers.
enum class AngleUnit { DegreesMinutesSeconds, DecimalDegrees, Gon };

struct AngleUnitState {
    AngleUnit value = AngleUnit::DegreesMinutesSeconds;
};

}  // namespace talvik
