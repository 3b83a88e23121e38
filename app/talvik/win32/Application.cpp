#include "win32/Application.h"

#include "host/MenuRegistration.h"
#include "startup/CommandLine.h"
#include "win32/ExportWindow.h"
#include "win32/ImportWindow.h"
#include "win32/SplashWindow.h"
#include "win32/Win32FilePrompt.h"
#include "win32/Win32UserInterface.h"

namespace talvik::win32 {

Application::Application(AppServices services)
    : services_(std::move(services)), context_{services_.ui,       services_.settings,
                                               services_.registry, services_.prompt,
                                               services_.launcher, releases_} {}

Application::~Application() = default;

bool Application::Start(std::string_view commandLine) {
    splash_ = std::make_unique<SplashWindow>();
    splash_->Create();
    services_.ui.SetParentWindow(splash_->Handle());

    const StartupDecision decision = ParseCommandLine(commandLine);
    const auto end = [this](int code) {
        if (finished) finished(code);
    };
    switch (decision.outcome) {
        case StartupOutcome::Register:
            RegisterWithHost(services_.registry, releases_, services_.ui, services_.programPath);
            ShowWindow(splash_->Handle(), SW_HIDE);
            return false;
        case StartupOutcome::OldHost:
            ShowOldHostMessage(services_.ui);
            ShowWindow(splash_->Handle(), SW_HIDE);
            return false;
        case StartupOutcome::ImportDialog:
            import_ = std::make_unique<ImportWindow>(context_);
            if (!import_->Create()) return false;
            services_.ui.SetParentWindow(import_->Handle());
            services_.ui.SetProgressLabel(import_->ProgressLabel());
            services_.ui.SetProgressBar(import_->ProgressBar(), import_->PercentLabel());
            services_.prompt.SetParentWindow(import_->Handle());
            import_->finished = end;
            import_->Open(decision.args.PackageFile, decision.args.IdexFile, splash_->Handle(),
                          services_.openDelayMs);
            return true;
        case StartupOutcome::ExportDialog:
            break;
    }
    export_ = std::make_unique<ExportWindow>(context_);
    if (!export_->Create()) return false;
    services_.ui.SetParentWindow(export_->Handle());
    services_.ui.SetProgressLabel(export_->ProgressLabel());
    services_.ui.SetProgressBar(export_->ProgressBar(), export_->PercentLabel());
    services_.prompt.SetParentWindow(export_->Handle());
    export_->finished = end;
    export_->Open(decision.args.PackageFile, decision.args.IdexFile, commandLine.empty(),
                  splash_->Handle(), services_.openDelayMs);
    return true;
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && IsDialogMessageA(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

}  // namespace talvik::win32
