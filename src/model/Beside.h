#pragma once
// Work that runs beside the caller's on a thread of its own, where one can be started; where
// none can, or where the work is too small to pay for starting a thread (`worthAThread`
// false), it runs when its result is asked for.

#include <future>
#include <system_error>
#include <utility>

namespace talvik {

template <typename Work>
auto RunBeside(Work work, bool worthAThread = true) -> std::future<decltype(work())> {
    if (!worthAThread) return std::async(std::launch::deferred, std::move(work));
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, std::move(work));
    }
}

}  // namespace talvik
