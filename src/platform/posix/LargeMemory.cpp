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
// What the C library starts with (mallopt's defaults).
constexpr int kDefaultThreshold = 128 * 1024;
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

LargeMemory::LargeMemory(std::uint64_t bytes, Advice advice) {
    if (bytes < kLeastBytes) return;
    bytes = std::min(bytes, kMostBytes);
    if (advice == nullptr) advice = SystemAdvice;
    changed_ = true;
    ::mallopt(M_ARENA_MAX, 1);
    ::mallopt(M_MMAP_THRESHOLD, kMappedFrom);
    ::mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    // A block larger than all that is free comes from the top of the heap, which then grows by
    // the pad behind it. Only the block's ends are written, so the room behind it is untouched
    // when the advice is given: a 2 MB piece touched before it would stay in small pages.
    const std::size_t request = ::mallinfo2().fordblks + 4096;
    // A heap with that much free already (an earlier run's) keeps what it has.
    if (request >= static_cast<std::size_t>(kMappedFrom) / 2) return;
    ::mallopt(M_TOP_PAD, static_cast<int>(bytes));
    const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    void* block = std::malloc(request);
    const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    ::mallopt(M_TOP_PAD, kDefaultThreshold);
    if (block == nullptr) return;
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t from = (start + request + 64 + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t to = after & ~(kHugePage - 1);
    // The heap did not grow behind the block (the system would not let it): nothing to advise.
    if (after <= before || start + request > after || to <= from) {
        std::free(block);
        return;
    }
    ready_ = after - before;
    // The block is stretched to the first whole 2 MB piece and kept while the run lasts: the
    // run's blocks then begin there, not in the piece before it, which has small pages.
    if (void* stretched = std::realloc(block, from - start - 64)) block = stretched;
    filler_ = block;
    if (advice(reinterpret_cast<void*>(from), to - from)) advised_ = to - from;
}

LargeMemory::~LargeMemory() {
    if (!changed_) return;
    std::free(filler_);
    ::mallopt(M_TRIM_THRESHOLD, kDefaultThreshold);
    ::mallopt(M_MMAP_THRESHOLD, kDefaultThreshold);
    // Nothing is trimmed here: what the caller does next (a report) takes blocks that are
    // touched already, and the heap's free top goes back to the system at the next release of
    // a large block.
}

#else

LargeMemory::LargeMemory(std::uint64_t bytes, Advice advice) {
    (void)bytes, (void)advice;
}

LargeMemory::~LargeMemory() = default;

#endif

}  // namespace talvik
