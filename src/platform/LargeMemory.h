#pragma once
// Memory for a run that builds large tables: the point table and its name index, the orders
// of the coordinate file, the readers' and writers' buffers, the network check's tables. The
// system hands out memory empty, and the first touch of every 4 KB page of it costs a page
// fault, which on a virtual machine is dear: a run of a million lines touches some 50 MB.
//
// While a LargeMemory lives, the process's heap is made ready for the run at once: blocks of
// up to 32 MB come from the heap instead of being mapped and unmapped one by one, a block let
// go stays in the heap for the next phase's tables instead of going back to the system, all
// threads take from the same heap (from then on), and the heap's room is advised for
// transparent huge pages, so that the first touch of 2 MB costs one fault. Where the system
// refuses any of it (huge pages switched off, another C library, Windows, whose heap has
// nothing of this), the run goes on with ordinary pages. When it ends, large blocks are mapped
// by themselves again, and the heap's free top goes back to the system at the next release of
// a large block. One at a time per process; the tables themselves allocate as always
// (std::vector).

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace talvik {

class LargeMemory {
  public:
    // Less room than this leaves the heap as it is (a small run makes few faults anyway).
    static constexpr std::uint64_t kLeastBytes = std::uint64_t{8} << 20;
    // The most room made ready at once.
    static constexpr std::uint64_t kMostBytes = std::uint64_t{1} << 30;

    // Asks the system to back the range with huge pages; false when it refuses.
    using Advice = bool (*)(void* at, std::size_t bytes);

    // Makes the heap ready for about `bytes` in use at once. `advice`: the call that asks
    // for huge pages (the system's when null; tests refuse).
    explicit LargeMemory(std::uint64_t bytes, Advice advice = nullptr);
    ~LargeMemory();
    LargeMemory(const LargeMemory&) = delete;
    LargeMemory& operator=(const LargeMemory&) = delete;

    // Bytes of the heap made ready; 0 when nothing was changed.
    std::uint64_t Ready() const { return ready_; }
    // Bytes of that room the system took the advice for huge pages for.
    std::uint64_t Advised() const { return advised_; }

  private:
    bool changed_ = false;    // the heap's settings are to be put back
    void* filler_ = nullptr;  // holds the heap's room before the first whole huge page
    std::uint64_t ready_ = 0;
    std::uint64_t advised_ = 0;
};

// The bytes of the regular files among `paths` together (anything else counts nothing).
std::uint64_t InputBytes(std::initializer_list<std::string> paths);

// The room to make ready for a run over `inputBytes` of input: the export keeps some three
// quarters of its input at once, the network check beside it up to twice as much again, and
// the heap's blocks do not fit each other exactly. Room not touched costs no memory.
inline std::uint64_t RoomForInput(std::uint64_t inputBytes) {
    return inputBytes * 4;
}

}  // namespace talvik
