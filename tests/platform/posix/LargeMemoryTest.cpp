#include "platform/LargeMemory.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "support/HeapFacts.h"

namespace talvik {
namespace {

using testing::HugePagesOffered;
using testing::kOwnAllocator;

constexpr std::size_t kTable = std::size_t{24} << 20;  // 6 144 small pages, 12 huge ones
constexpr std::uint64_t kRoom = std::uint64_t{64} << 20;

long MinorFaults() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// The page faults of writing every byte of a fresh block of `bytes`.
long FaultsOfATable(std::size_t bytes = kTable) {
    const std::unique_ptr<char[]> table(new char[bytes]);
    const long before = MinorFaults();
    std::memset(table.get(), 1, bytes);
    asm volatile("" : : "r"(table.get()) : "memory");  // the writes are kept
    return MinorFaults() - before;
}

// Bytes the C library has mapped for blocks of their own.
std::size_t MappedBlocks() {
    return ::mallinfo2().hblkhd;
}

// Each test begins with the heap of a fresh process.
class LargeMemoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        ::mallopt(M_TRIM_THRESHOLD, 128 * 1024);
        ::malloc_trim(0);
    }
};

TEST_F(LargeMemoryTest, ATableInTheRoomIsTouchedIn2MBFaults) {
    if (kOwnAllocator || !HugePagesOffered()) GTEST_SKIP() << "no huge pages for this heap";
    const HeapReadiness heap = MakeHeapReady(kRoom);
    ASSERT_GE(heap.advised, kTable);
    // The first block begins on a whole huge page, not in the small pages before the room.
    EXPECT_LE(FaultsOfATable(std::size_t{1} << 20), 2);
    EXPECT_LT(FaultsOfATable(), static_cast<long>(kTable / 4096 / 8));
}

TEST_F(LargeMemoryTest, RefusedHugePagesStillKeepBlocksLetGo) {
    if (kOwnAllocator) GTEST_SKIP() << "the sanitizer's heap";
    const HeapReadiness heap = MakeHeapReady(kRoom, [](void*, std::size_t) { return false; });
    EXPECT_GE(heap.ready, kRoom);
    EXPECT_EQ(heap.advised, 0u);
    const long first = FaultsOfATable();
    EXPECT_GT(first, static_cast<long>(kTable / 4096 / 2)) << "small pages, all touched once";
    EXPECT_LT(FaultsOfATable(), 64) << "the next phase's table takes the same pages again";
}

TEST_F(LargeMemoryTest, ASmallRunLeavesTheHeapAsItIs) {
    if (kOwnAllocator) GTEST_SKIP() << "the sanitizer's heap";
    EXPECT_EQ(MakeHeapReady(kLeastHeapRoom - 1).ready, 0u);
    const std::size_t mapped = MappedBlocks();
    const std::unique_ptr<char[]> table(new char[kTable]);
    asm volatile("" : : "r"(table.get()) : "memory");  // the block is kept
    EXPECT_GE(MappedBlocks(), mapped + kTable) << "a large block is mapped by itself";
}

}  // namespace
}  // namespace talvik
