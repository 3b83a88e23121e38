#include "export/ExportRun.h"

#include <filesystem>
#include <fstream>

#include "export/ExportDialogModel.h"
#include "interchange/IdexReader.h"

namespace talvik {

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

std::string FindKORVU(SettingsStore& settings, FilePrompt& prompt) {
    std::string path = settings.Get(kKeyPackagePath, kDefaultPackagePath);
    if (!FileExists(path)) {
        FilePromptRequest request;
        request.startFolder = "C:\\Program Files\\";
        request.title = "Opzoeken van KORVU.EXE file";
        request.initialName = "*.EXE";
        request.filter = "KORVU.EXE (*.EXE)|*.exe|All Files (*.*)|*.*";
        path = prompt.PickFile(request);
        if (path.empty()) return {};
    }
    settings.Set(kKeyPackagePath, path);
    return path;
}

std::optional<std::string> LocateFile(UserInterface& ui, Registry& registry,
                                      KavrinReleases& releases, FilePrompt& prompt,
                                      std::string_view filterDescription,
                                      std::string_view pattern) {
    GetReleases(registry, releases);
    if (releases.Count() == 0) {
        ui.Message(kHostMissingMessage, Buttons::Ok, Icon::Critical, kAppTitle);
        return std::nullopt;
    }
    FilePromptRequest request;
    request.startFolder = GetDataPath(registry, releases.names[0]);
    request.title = "Opzoeken van " + std::string(filterDescription) + " File";
    request.initialName = std::string(pattern);
    request.filter = std::string(filterDescription) + "All Files (*.*)|*.*";
    return prompt.PickFile(request);
}

bool AskForIdexFile(ExportContext& context, std::string& packageFile, std::string& idexFile) {
    const auto picked = LocateFile(context.ui, context.registry, context.releases, context.prompt,
                                   ExportDialogModel::kIdexFilter, ExportDialogModel::kIdexPattern);
    if (!picked || picked->empty()) return false;
    idexFile = *picked;
    packageFile = ReplaceLastThree(idexFile, "prj");
    return true;
}

ConversionOutcome ExportCentral(ExportContext& context, const ExportOptions& options,
                                std::string_view projectBoxText, bool kickKorvu) {
    ReadIdexFile(options.IdexFile, context.points, context.ui);
    const ConversionOutcome outcome =
        ConvertFieldFile(options, context.points, context.angleUnit, context.ui);
    if (kickKorvu) {
        const std::string program = FindKORVU(context.settings, context.prompt);
        std::string commandLine = program;
        commandLine += " \"";
        commandLine += projectBoxText;
        commandLine += '"';
        // Whether the package started is not examined; a failed start is not reported.
        (void)context.launcher.Start(commandLine);
    }
    return outcome;
}

ConversionOutcome StartExport(ExportContext& context, ExportDialogModel& dialog,
                              const std::string& idexFile, bool kickKorvu) {
    dialog.SaveSelectionSet(dialog.SelectionSetNumber());
    dialog.SaveSettings();
    const ExportOptions options = dialog.FillExportOptions(idexFile);
    const ConversionOutcome outcome =
        ExportCentral(context, options, dialog.projectFile, kickKorvu);
    dialog.Close();
    return outcome;
}

}  // namespace talvik
