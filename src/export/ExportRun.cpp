#include "export/ExportRun.h"

#include "export/ExportDialogModel.h"
#include "fieldfile/FieldFileReader.h"
#include "interchange/IdexReader.h"
#include "model/Tables.h"
#include "text/LineReader.h"
#include "text/Text.h"

namespace talvik {

std::string FindKORVU(SettingsStore& settings, FilePrompt& prompt) {
    std::string path = settings.Get(kKeyPackagePath, kDefaultPackagePath);
    if (!FileIsReadable(path)) {
        FilePromptRequest request;
        request.startFolder = "C:\\Program Files\\";
        request.title = "Opzoeken van KORVU.EXE file";
        request.initialName = "*.EXE";
        request.filter = "KORVU.EXE (*.EXE)|*.exe|All Files (*.*)|*.*";
        request.program = true;
        path = prompt.PickFile(request);
        if (path.empty()) return {};
    }
    settings.Set(kKeyPackagePath, path);
    return path;
}

bool AskForIdexFile(JobContext& context, std::string& packageFile, std::string& idexFile) {
    const auto picked =
        LocateFile(context, ExportDialogModel::kIdexFilter, ExportDialogModel::kIdexPattern);
    if (!picked || picked->empty()) return false;
    idexFile = *picked;
    packageFile = ReplaceLastThree(idexFile, "prj");
    return true;
}

ExportJobResult RunExportJob(JobContext& context, const ExportOptions& options,
                             const LaunchChoice& launch, ConversionSummary* summary,
                             ConversionWatcher* watcher) {
    PointTable points;
    // The field file's first quick pass runs beside the reading of the IDEX file.
    AngleUnitLookAhead lookAhead{std::string(TrimBlanks(options.Fieldfile))};
    if (options.IdexFile) ReadIdexFile(*options.IdexFile, points, context.ui);
    AngleUnitState angleUnit;
    ExportJobResult result;
    result.conversion =
        ConvertFieldFile(options, points, angleUnit, context.ui, summary, &lookAhead, watcher);
    if (launch.when != Launch::No) {
        result.program = FindKORVU(context.settings, context.prompt);
        if (result.program.empty() && launch.when == Launch::WhenFound) {
            result.launch = LaunchOutcome::NoProgram;
        } else {
            std::string commandLine = result.program;
            commandLine += " \"";
            commandLine += launch.project;
            commandLine += '"';
            const bool started = context.launcher.Start(commandLine);
            result.launch = result.program.empty() ? LaunchOutcome::NoProgram
                            : started              ? LaunchOutcome::Started
                                                   : LaunchOutcome::StartFailed;
        }
    }
    return result;
}

int DesktopExitCode(ConversionOutcome outcome) {
    return outcome == ConversionOutcome::FieldFileMissing ||
                   outcome == ConversionOutcome::ProjectPathTooShort ||
                   outcome == ConversionOutcome::WriteFailed
               ? 1
               : 0;
}

}  // namespace talvik
