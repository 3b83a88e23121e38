#include "platform/LargeMemory.h"

namespace talvik {

// The system's heap hands large blocks out as regions of their own and takes them back when
// they are let go; it offers no room to make ready beforehand, nor huge pages without a
// privilege a user does not have. The run uses ordinary pages.
HeapReadiness MakeHeapReady(std::uint64_t bytes, HugePageAdvice advice) {
    (void)bytes, (void)advice;
    return {};
}

}  // namespace talvik
