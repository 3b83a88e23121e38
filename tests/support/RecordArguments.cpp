// A stand-in for a program that Talvik starts: writes the arguments it received, one per line,
// to the file named by RECORD_ARGUMENTS_TO, so that a test sees how its command line arrived.
// The file appears whole: it is written under another name first.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const char* target = std::getenv("RECORD_ARGUMENTS_TO");
    if (target == nullptr || *target == '\0') return 2;
    std::string text;
    for (int i = 1; i < argc; ++i)
        (text += argv[i]) += '\n';
    const std::string temporary = std::string(target) + ".tmp";
    std::ofstream(temporary, std::ios::binary) << text;
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    return error ? 1 : 0;
}
