// The desktop program: started by the host with a mode number and two quoted paths, by an
// installer with the registration switch, or by hand without arguments.

#include <QApplication>
#include <cstdio>
#include <memory>
#include <string>

#include "gui/Application.h"
#include "gui/ExportWindow.h"
#include "gui/ImportWindow.h"
#include "gui/Logo.h"
#include "gui/QtFilePrompt.h"
#include "gui/QtUserInterface.h"
#include "gui/ScreenText.h"
#include "gui/Translations.h"
#include "platform/Platform.h"
#include "platform/RegistrySettings.h"
#include "startup/CommandLine.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so they need no display.
    if (const auto info = talvik::DesktopInfoText(talvik::RebuildCommandLine(argc, argv))) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }

    std::string commandLine;
    const std::unique_ptr<QApplication> app = talvik::gui::StartQt(argc, argv, commandLine);
    QApplication::setApplicationName(QStringLiteral("Talvik"));
    QApplication::setOrganizationName(QStringLiteral("Kelvaris"));
    QApplication::setWindowIcon(talvik::gui::AppIcon());
    talvik::gui::InstallDutchTranslations(*app);
    // Every job ends the process itself; a hidden start-up window must not end it early.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::unique_ptr<talvik::Registry> registry = talvik::MakeUserRegistry();
    talvik::RegistrySettings settings(*registry);
    const std::unique_ptr<talvik::ProcessLauncher> launcher = talvik::MakeLauncher();
    talvik::gui::QtUserInterface ui;
    talvik::gui::QtFilePrompt prompt;

    const std::string problem = talvik::CheckUserRegistry(*registry);
    if (!problem.empty()) {
        ui.Message(problem, talvik::Buttons::Ok, talvik::Icon::Critical, talvik::kAppTitle);
    }

    talvik::gui::AppServices services{
        ui,        prompt,    settings,
        *registry, *launcher, talvik::gui::ModelPath(QCoreApplication::applicationFilePath())};
    talvik::gui::Application talvikApp(services);
    QObject::connect(&talvikApp, &talvik::gui::Application::finished, app.get(),
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    if (!talvikApp.Start(commandLine)) return 0;
    // File prompts centre over the dialog that asks for them.
    if (talvikApp.Export()) prompt.SetParentWindow(talvikApp.Export());
    if (talvikApp.Import()) prompt.SetParentWindow(talvikApp.Import());
    return QApplication::exec();
}
