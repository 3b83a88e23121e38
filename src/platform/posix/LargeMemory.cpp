#include "platform/LargeMemory.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace talvik {

#if defined(__GLIBC__)

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// What the C library starts with (mallopt's default).
constexpr int kDefaultTopPad = 128 * 1024;
// Larger blocks are still mapped one by one (the most the C library takes).
constexpr int kMappedFrom = 32 << 20;

bool SystemAdvice(void* at, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    return ::madvise(at, bytes, MADV_HUGEPAGE) == 0;
#else
    (void)at, (void)bytes;
    return false;
#endif
}

}  // namespace

HeapReadiness MakeHeapReady(std::uint64_t bytes, HugePageAdvice advice) {
    HeapReadiness done;
    if (bytes < kLeastHeapRoom) return done;
    bytes = std::min(bytes, kMostHeapRoom);
    if (advice == nullptr) advice = SystemAdvice;
    ::mallopt(M_ARENA_MAX, 1);
    ::mallopt(M_MMAP_THRESHOLD, kMappedFrom);
    ::mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    // A block larger than all that is free comes from the top of the heap, which then grows by
    // the pad behind it. Only the block's ends are written, so the room behind it is untouched
    // when the advice is given: a 2 MB piece touched before it would stay in small pages.
    const std::size_t request = ::mallinfo2().fordblks + 4096;
    // A heap with that much free already (an earlier run's) keeps what it has.
    if (request >= static_cast<std::size_t>(kMappedFrom) / 2) return done;
    ::mallopt(M_TOP_PAD, static_cast<int>(bytes));
    const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    void* block = std::malloc(request);
    const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    ::mallopt(M_TOP_PAD, kDefaultTopPad);
    if (block == nullptr) return done;
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t from = (start + request + 64 + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t to = after & ~(kHugePage - 1);
    // The heap did not grow behind the block (the system would not let it): nothing to advise.
    if (after <= before || start + request > after || to <= from) {
        std::free(block);
        return done;
    }
    done.ready = after - before;
    // The block is stretched to the first whole 2 MB piece and kept: the run's blocks then
    // begin there, not in the piece before it, which has small pages. (Never let go, it costs
    // the pages of its two ends.)
    if (void* stretched = std::realloc(block, from - start - 64)) block = stretched;
    if (advice(reinterpret_cast<void*>(from), to - from)) done.advised = to - from;
    return done;
}

#else

HeapReadiness MakeHeapReady(std::uint64_t bytes, HugePageAdvice advice) {
    (void)bytes, (void)advice;
    return {};
}

#endif

}  // namespace talvik
