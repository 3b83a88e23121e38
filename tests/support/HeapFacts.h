#pragma once
// What a test of page faults needs to know about the heap it runs on.

#include <fstream>
#include <string>

namespace talvik::testing {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kOwnAllocator = true;  // the sanitizer's heap is not the C library's
#else
inline constexpr bool kOwnAllocator = false;
#endif

// The system backs memory advised for it with huge pages.
inline bool HugePagesOffered() {
    std::ifstream file("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(file, modes);
    return modes.find("[always]") != std::string::npos ||
           modes.find("[madvise]") != std::string::npos;
}

}  // namespace talvik::testing
