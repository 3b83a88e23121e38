#pragma once
// Memory for a run that builds large tables: the point table and its name index, the orders
// of the coordinate file, the readers' and writers' buffers, the network check's tables. The
// system hands out memory empty, and the first touch of every 4 KB page of it costs a page
// fault, which on a virtual machine is dear: a run of a million lines touches some 50 MB.
//
// MakeHeapReady makes the process's heap ready for the run at once: blocks of up to 32 MB
// come from the heap instead of being mapped and unmapped one by one, a block let go stays in
// the heap for the next phase's tables instead of going back to the system, all threads take
// from the same heap, and the heap's room is advised for transparent huge pages, so that the
// first touch of 2 MB costs one fault. Where the system refuses any of it (huge pages switched
// off, another C library, Windows, whose heap has nothing of this), the run goes on with
// ordinary pages. The heap stays so until the process ends: a watcher of the run may go on
// working in it after the run has returned, and a process of this program runs one job. The
// tables themselves allocate as always (std::vector).

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace talvik {

// Less room than this leaves the heap as it is (a small run makes few faults anyway).
inline constexpr std::uint64_t kLeastHeapRoom = std::uint64_t{8} << 20;
// The most room made ready at once.
inline constexpr std::uint64_t kMostHeapRoom = std::uint64_t{1} << 30;

// Asks the system to back the range with huge pages; false when it refuses.
using HugePageAdvice = bool (*)(void* at, std::size_t bytes);

// What MakeHeapReady did.
struct HeapReadiness {
    std::uint64_t ready = 0;    // bytes of room added to the heap; 0: none
    std::uint64_t advised = 0;  // bytes of that room the system took the advice for huge pages for
};

// Makes the heap ready for about `bytes` in use at once. `advice`: the call that asks for
// huge pages (the system's when null; tests refuse). A heap that has much free already (an
// earlier run's) gets no more room.
HeapReadiness MakeHeapReady(std::uint64_t bytes, HugePageAdvice advice = nullptr);

// The bytes of the regular files among `paths` together (anything else counts nothing).
std::uint64_t InputBytes(std::initializer_list<std::string> paths);

// The room to make ready for a run over `inputBytes` of input: the export keeps some three
// quarters of its input at once; the network check beside it keeps up to three and a half
// times the input more (on the benchmarks' million lines its sights are 56 MB in a table that
// doubles as it grows, so that for a moment the old and the new table are held), and the
// heap's blocks do not fit each other exactly. A block that does not fit in the room comes in
// small pages, each touched for the first time, so the room is made large: room not touched
// costs no memory.
inline std::uint64_t RoomForInput(std::uint64_t inputBytes) {
    return inputBytes * 6;
}

// The room for the network check of a real network on its own: its adjustment keeps some 20 to
// 35 times the input at once (the equations, the normal equations, the factor and the selected
// inverse; 33 times for a 20 000-point mesh); the random readings of a benchmark less (the
// adjustment steps aside there).
inline std::uint64_t RoomForCheck(std::uint64_t inputBytes) {
    return inputBytes * 40;
}

}  // namespace talvik
