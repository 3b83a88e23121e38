// Feeds arbitrary bytes as the registry file, then reads it the ways the program does and makes
// one change. A file that is reported damaged must stay byte for byte as it was; a file that is
// fine must take the change and keep what could be read before.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/MenuRegistration.h"
#include "host/Releases.h"
#include "platform/RegistryFile.h"
#include "platform/RegistrySettings.h"

namespace {

class Folder {
  public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-reg-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace talvik;
    static const Folder folder;
    const std::string path = folder.Path() + "/registry.reg";
    const std::string input(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(input.data(), static_cast<std::streamsize>(input.size()));
    }

    RegistryFile registry(path);
    RegistrySettings settings(registry);
    KavrinReleases before;
    GetReleases(registry, before);
    for (const std::string& release : before.names)
        GetDataPath(registry, release);
    const std::string selection = settings.Get("TalvikSel1", "999");
    const bool damaged = !registry.CheckFile().empty();

    const bool stored = settings.Set("TalvikCurrentSel", "3");
    if (damaged) {
        Require(!stored);
        Require(ReadAll(path) == input);
    } else {
        Require(stored);
        Require(settings.Get("TalvikCurrentSel", "1") == "3");
        Require(settings.Get("TalvikSel1", "999") == selection);
        KavrinReleases after;
        GetReleases(registry, after);
        Require(after.names == before.names);
        RegisterInReleases(registry, 0, kImportPattern, kImportCaption, "/opt/talvik", after);
        Require(registry.CheckFile().empty());
    }
    return 0;
}
