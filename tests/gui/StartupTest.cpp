// Qt takes its own options out of the arguments before the job's command line is rebuilt, so
// `talvik -style fusion 0 "..." "..."` opens the export of those two paths in that style.

#include <QStyle>

#include "gui/Application.h"
#include "startup/CommandLine.h"

int main() {
    char a0[] = "talvik", a1[] = "-style", a2[] = "fusion", a3[] = "0", a4[] = "/d/n 1.prj",
         a5[] = "/d/n1.idx", *argv[] = {a0, a1, a2, a3, a4, a5, nullptr};
    int argc = 6;
    std::string line;
    const auto app = talvik::gui::StartQt(argc, argv, line);
    const talvik::StartupArgs job = talvik::ParseCommandLine(line).args;
    const bool right = line.starts_with("0 ") && job.PackageFile == a4 && job.IdexFile == a5;
    return right && QApplication::style()->name() == a2 ? 0 : 1;
}
