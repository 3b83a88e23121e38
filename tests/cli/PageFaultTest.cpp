// The first touches of memory of a large export with the check, counted as the system counts
// them (minor page faults of the child process). Every 4 KB page touched for the first time is
// a fault, dear on a virtual machine; the heap the export makes ready is touched in 2 MB pages.

#include <sys/resource.h>

#include <fstream>

#include "CliRunner.h"
#include "GeneratedNetwork.h"
#include "support/HeapFacts.h"

namespace talvik::test {
namespace {

using testing::HugePagesOffered;
using testing::kOwnAllocator;

long ChildFaults() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_minflt;
}

class PageFaults : public CliCase {};

// The benchmarks' network at 600 000 lines (36 MB): the check's tables beside the export's
// (its sights, the readings it keeps for the adjustment until there are too many) stay in the
// heap made ready for the run. Where they outgrew it, the rest came in 4 KB pages: some 15 000
// faults, against 200 for the export alone.
TEST_F(PageFaults, ExportWithTheCheckStaysInTheHeapMadeReady) {
    if (kOwnAllocator || !HugePagesOffered()) GTEST_SKIP() << "no huge pages for this heap";
    WriteBytes(dir_ / "big.fld", bench::MakeFieldFile(600000, 120000, 2));
    WriteBytes(dir_ / "big.idx", bench::MakeIdexFile(120000, 1));
    const long before = ChildFaults();
    const CliResult run =
        Run({"export", "--field", Here("big.fld"), "--idex", Here("big.idx"), "--project",
             Here("big.prj"), "--code", "K1", "--no-save", "--quiet", "--check"});
    const long faults = ChildFaults() - before;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("niet vereffend"), std::string::npos) << run.out.substr(0, 400);
    EXPECT_LT(faults, 3000);
}

// The check on its own, of 60 000 lines of random readings (3 MB): its adjustment's equations
// and normal equations are some 30 times its input. Without the heap made ready: 26 000 faults.
TEST_F(PageFaults, TheCheckStaysInTheHeapMadeReady) {
    if (kOwnAllocator || !HugePagesOffered()) GTEST_SKIP() << "no huge pages for this heap";
    WriteBytes(dir_ / "large.fld", bench::MakeFieldFile(60000, 5000, 7));
    WriteBytes(dir_ / "large.idx", bench::MakeIdexFile(5000, 1));
    const long before = ChildFaults();
    const CliResult run = Run({"check", "--field", Here("large.fld"), "--idex", Here("large.idx"),
                               "--code", "K1", "--quiet"});
    const long faults = ChildFaults() - before;
    EXPECT_EQ(run.exitCode, 1) << run.err;  // random readings: errors throughout
    EXPECT_LT(faults, 3000);
}

}  // namespace
}  // namespace talvik::test
