#include "gui/Application.h"

#include "gui/ExportWindow.h"
#include "gui/ImportWindow.h"
#include "gui/QtUserInterface.h"
#include "gui/SplashWindow.h"
#include "host/MenuRegistration.h"
#include "platform/Platform.h"
#include "startup/CommandLine.h"

namespace talvik::gui {

std::unique_ptr<QApplication> StartQt(int& argc, char** argv, std::string& commandLine) {
    auto app = std::make_unique<QApplication>(argc, argv);
    // The desktop entry's name, which the window system matches the windows to.
    QGuiApplication::setDesktopFileName(QStringLiteral("nl.kelvaris.talvik"));
    commandLine = RawCommandLine().value_or(RebuildCommandLine(argc, argv));
    return app;
}

Application::Application(AppServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)), context_{services_.ui,
                                                                services_.settings,
                                                                services_.registry,
                                                                services_.prompt,
                                                                services_.launcher,
                                                                releases_} {}

Application::~Application() = default;

bool Application::Start(std::string_view commandLine) {
    splash_ = std::make_unique<SplashWindow>();
    splash_->show();
    services_.ui.SetParentWindow(splash_.get());

    const StartupDecision decision = ParseCommandLine(commandLine);
    switch (decision.outcome) {
        case StartupOutcome::Register:
            RegisterWithHost(services_.registry, releases_, services_.ui, services_.programPath);
            splash_->close();
            return false;
        case StartupOutcome::OldHost:
            ShowOldHostMessage(services_.ui);
            splash_->close();
            return false;
        case StartupOutcome::ImportDialog:
            import_ = std::make_unique<ImportWindow>(context_);
            services_.ui.SetParentWindow(import_.get());
            services_.ui.SetProgressLabel(import_->ProgressLabel());
            services_.ui.SetProgressBar(import_->ProgressBar());
            connect(import_.get(), &ImportWindow::finished, this, &Application::finished);
            import_->Open(decision.args.PackageFile, decision.args.IdexFile, splash_.get(),
                          services_.openDelayMs);
            return true;
        case StartupOutcome::ExportDialog:
            break;
    }
    export_ = std::make_unique<ExportWindow>(context_);
    services_.ui.SetParentWindow(export_.get());
    services_.ui.SetProgressLabel(export_->ProgressLabel());
    services_.ui.SetProgressBar(export_->ProgressBar());
    connect(export_.get(), &ExportWindow::finished, this, &Application::finished);
    export_->Open(decision.args.PackageFile, decision.args.IdexFile, commandLine.empty(),
                  splash_.get(), services_.openDelayMs);
    return true;
}

}  // namespace talvik::gui
