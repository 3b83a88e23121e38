#include "export/ExportRun.h"

#include "export/ExportDialogModel.h"
#include "fieldfile/FieldFileReader.h"
#include "interchange/IdexReader.h"
#include "model/Tables.h"
#include "platform/LargeMemory.h"
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
    // The run's tables are large: the heap is made ready for them before the first of them,
    // and before the threads that read and write beside this one start.
    const std::uint64_t fieldBytes = InputBytes({std::string(TrimBlanks(options.Fieldfile))});
    const std::uint64_t idexBytes = options.IdexFile ? InputBytes({*options.IdexFile}) : 0;
    MakeHeapReady(RoomForInput(fieldBytes + idexBytes));
    PointTable points;
    // The point table is made at its final size at once (a table that grows is copied, and held
    // twice meanwhile): the IDEX file's points take some 50 to 70 bytes each, and one new point
    // per 2 KB of field file is more than surveys add.
    points.ReserveEntries(static_cast<std::size_t>(idexBytes / 64 + fieldBytes / 2048));
    // The conversion's first quick pass over the field file runs beside the reading of the
    // IDEX file.
    FieldFileConversion conversion(options, points, context.ui);
    conversion.SetWatcher(watcher);
    AngleUnitState angleUnit;
    ExportJobResult result;
    if (options.IdexFile && !ReadIdexFile(*options.IdexFile, points, context.ui))
        result.conversion = ConversionOutcome::InputRefused;
    else
        result.conversion = conversion.Run(angleUnit, summary);
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
    return outcome == ConversionOutcome::Finished || outcome == ConversionOutcome::ProjectKept ? 0
                                                                                               : 1;
}

}  // namespace talvik
