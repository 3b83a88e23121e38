// Feeds arbitrary bytes to the command-line parse, the launcher's argument split and the export
// dialog's reading of stored settings.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "export/ExportDialogModel.h"
#include "platform/posix/PosixLauncher.h"
#include "startup/CommandLine.h"
#include "support/MemorySettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const talvik::StartupDecision d = talvik::ParseCommandLine(text);
    if (d.args.PackageFile.size() + d.args.IdexFile.size() > text.size()) std::abort();
    if (d.outcome == talvik::StartupOutcome::ImportDialog && d.args.Mode != 1) std::abort();

    std::size_t total = 0;
    for (const std::string& argument : talvik::SplitArguments(text))
        total += argument.size();
    if (total > text.size()) std::abort();

    talvik::MemorySettings settings;
    const auto cut = text.find('\n');
    settings.Set(talvik::kKeyStdDev, text.substr(0, cut));
    settings.Set(talvik::kKeyCurrentSel, text.substr(0, 2));
    settings.Set("TalvikSel1", cut == text.npos ? text : text.substr(cut + 1));
    talvik::ExportDialogModel model(settings);
    model.Open(text.substr(0, 8));
    if (model.SelectionSetNumber() < 1 || model.SelectionSetNumber() > 9) std::abort();
    if (model.CoupleHorVer() && model.AbsVer() != model.AbsHor()) std::abort();
    if (model.CoupleXyZ() && model.SdZ() != model.SdXY()) std::abort();
    model.Close();
    return 0;
}
