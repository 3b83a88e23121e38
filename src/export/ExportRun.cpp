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

ExportJobResult RunExportJob(ExportContext& context, ExportDialogModel& dialog,
                             const ExportJob& job) {
    dialog.SaveSelectionSet(dialog.SelectionSetNumber());
    dialog.SaveSettings();
    const ExportOptions options = dialog.FillExportOptions(job.idexFile.value_or(""));
    if (job.idexFile)
        ReadIdexFile(options.IdexFile, context.points, context.ui);
    else
        context.points.Clear();

    ExportJobResult result;
    result.conversion =
        ConvertFieldFile(options, context.points, context.angleUnit, context.ui, job.summary);
    if (job.launch != Launch::No) {
        result.program = FindKORVU(context.settings, context.prompt);
        if (result.program.empty() && job.launch == Launch::WhenFound) {
            result.launch = LaunchOutcome::NoProgram;
        } else {
            std::string commandLine = result.program;
            commandLine += " \"";
            commandLine += dialog.projectFile;
            commandLine += '"';
            const bool started = context.launcher.Start(commandLine);
            result.launch = result.program.empty() ? LaunchOutcome::NoProgram
                            : started              ? LaunchOutcome::Started
                                                   : LaunchOutcome::StartFailed;
        }
    }
    dialog.Close();
    return result;
}

}  // namespace talvik
