// Reads the version resource of programs back as the file's properties show it:
//   test_version_info VERSION FILE...
// Each file must carry a Dutch string block whose product and file versions are VERSION and
// whose LegalCopyright is not empty. Prints one line per fault; exit code 1 when there is one.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Value(const std::vector<char>& block, const std::string& path) {
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &size) || size == 0) return {};
    return std::string(static_cast<const char*>(value));
}

int Check(const char* file, const std::string& version) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file, &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(file, 0, size, block.data())) {
        std::printf("%s: no version resource\n", file);
        return 1;
    }
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 4 || translation[0] != 0x0413) {
        std::printf("%s: no Dutch language block\n", file);
        return 1;
    }
    char prefix[64];
    std::snprintf(prefix, sizeof(prefix), "\\StringFileInfo\\%04x%04x\\", translation[0],
                  translation[1]);
    int faults = 0;
    for (const char* key : {"ProductVersion", "FileVersion"}) {
        const std::string found = Value(block, prefix + std::string(key));
        // A four-part version may add ".0".
        if (found != version && found != version + ".0") {
            std::printf("%s: %s \"%s\" instead of \"%s\"\n", file, key, found.c_str(),
                        version.c_str());
            ++faults;
        }
    }
    if (Value(block, prefix + std::string("LegalCopyright")).empty()) {
        std::printf("%s: no LegalCopyright\n", file);
        ++faults;
    }
    return faults;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: test_version_info VERSION FILE...\n");
        return 2;
    }
    int faults = 0;
    for (int i = 2; i < argc; ++i)
        faults += Check(argv[i], argv[1]);
    return faults == 0 ? 0 : 1;
}
