// The desktop program's start: Qt takes its own options out of the arguments before the job's
// command line is rebuilt, so `talvik -style fusion 0 "..." "..."` opens the export of those
// two paths in that style.

#include <QStyle>
#include <cstdio>

#include "gui/Application.h"
#include "startup/CommandLine.h"

int main() {
    char program[] = "talvik", style[] = "-style", fusion[] = "fusion", mode[] = "0",
         project[] = "/data/net 1.prj", idex[] = "/data/net1.idx";
    char* argv[] = {program, style, fusion, mode, project, idex, nullptr};
    int argc = 6;
    std::string line;
    const auto app = talvik::gui::StartQt(argc, argv, line);
    const talvik::StartupDecision decision = talvik::ParseCommandLine(line);
    const bool right = decision.outcome == talvik::StartupOutcome::ExportDialog &&
                       decision.args.PackageFile == project && decision.args.IdexFile == idex &&
                       QApplication::style()->name() == fusion;
    if (!right) std::fprintf(stderr, "the job's command line: %s\n", line.c_str());
    return right ? 0 : 1;
}
