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

ExportJobResult RunExportJob(JobContext& context, ExportDialogModel& dialog, const ExportJob& job) {
    dialog.SaveSelectionSet(dialog.SelectionSetNumber());
    dialog.SaveSettings();
    const ExportOptions options = dialog.FillExportOptions(job.idexFile.value_or(""));
    PointTable points;
    // The conversion's first quick pass over the field file runs beside the reading of the
    // IDEX file.
    FieldFileConversion conversion(options, points, context.ui);
    AngleUnitState angleUnit;
    ExportJobResult result;
    if (job.idexFile && !ReadIdexFile(options.IdexFile, points, context.ui))
        result.conversion = ConversionOutcome::InputRefused;
    else
        result.conversion = conversion.Run(angleUnit, job.summary);
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

int DesktopExitCode(ConversionOutcome outcome) {
    return outcome == ConversionOutcome::Finished || outcome == ConversionOutcome::ProjectKept ? 0
                                                                                               : 1;
}

}  // namespace talvik
