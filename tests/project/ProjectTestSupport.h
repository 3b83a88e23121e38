#pragma once
// For the project tests and the export benchmark: a scratch folder, files, expected texts.

#include <filesystem>
#include <map>
#include <string>

#include "fieldfile/FieldFileTestSupport.h"
#include "project/Conversion.h"
#include "support/ReadBytes.h"
#include "support/TempFolder.h"

namespace talvik::testing {

using SilentUi = RecordingUi;

// A scratch folder: `dir / name` is the path of a file in it.
struct ScratchDir : TempFolder {
    std::string operator/(const std::string& name) const { return Path(name); }
    std::filesystem::path path() const { return Path(); }
};

// Every entry of the folder with its bytes ("folder" for a folder).
inline std::map<std::string, std::string> FolderBytes(const std::filesystem::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        entries[entry.path().filename().string()] =
            entry.is_directory() ? "folder" : ReadBytes(entry.path());
    return entries;
}

// The lines separated by "|", each followed by CR LF.
inline std::string CrLf(std::string_view lines) {
    return Lines(lines, "");
}

}  // namespace talvik::testing

namespace talvik {

// The whole conversion over known points read before.
inline ConversionOutcome ConvertFieldFile(const ExportOptions& options, PointTable& points,
                                          AngleUnitState& angleUnit, UserInterface& ui,
                                          ConversionSummary* summary = nullptr,
                                          ConversionWatcher* watcher = nullptr) {
    FieldFileConversion conversion(options, points, ui);
    conversion.SetWatcher(watcher);
    return conversion.Run(angleUnit, summary);
}

}  // namespace talvik
