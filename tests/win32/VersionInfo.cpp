// Reads programs' version resources back as the files' properties show them:
//   test_version_info VERSION FILE...
// Each file must have a Dutch block whose product and file versions are VERSION (".0" may
// follow) and whose LegalCopyright is not empty. Prints each fault; exit code 1 when any.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    int faults = argc < 3 ? 1 : 0;
    for (int i = 2; i < argc; ++i) {
        const char* file = argv[i];
        DWORD ignored = 0;
        std::vector<char> block(GetFileVersionInfoSizeA(file, &ignored) + 1);
        WORD* language = nullptr;
        UINT size = 0;
        if (!GetFileVersionInfoA(file, 0, static_cast<DWORD>(block.size()), block.data()) ||
            !VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                            reinterpret_cast<void**>(&language), &size) ||
            size < 4 || language[0] != 0x0413) {
            std::printf("%s: no Dutch version resource\n", file);
            ++faults;
            continue;
        }
        char prefix[40];
        std::snprintf(prefix, sizeof(prefix), "\\StringFileInfo\\%04x%04x\\", language[0],
                      language[1]);
        const auto value = [&](const char* key) {
            char* text = nullptr;
            UINT length = 0;
            return VerQueryValueA(block.data(), (prefix + std::string(key)).c_str(),
                                  reinterpret_cast<void**>(&text), &length) &&
                           length > 0
                       ? std::string(text)
                       : std::string();
        };
        const std::string version = argv[1];
        const std::string copyright = value("LegalCopyright");
        for (const std::string& found : {value("ProductVersion"), value("FileVersion")}) {
            if (found != version && found != version + ".0") {
                std::printf("%s: version \"%s\", not %s\n", file, found.c_str(), version.c_str());
                ++faults;
            }
        }
        if (copyright.empty()) std::printf("%s: no LegalCopyright\n", file), ++faults;
    }
    return faults == 0 ? 0 : 1;
}
