// Renders the Win32 windows to PNG files: talvik_win32_screenshots <folder>
// (docs/screenshots/render-windows.sh runs it under Wine, on a virtual desktop of its own so
// that every window has its caption and frame). Each window is copied from the screen and
// written by GDI+.

#include "win32/Win32.h"
// GDI+ needs the COM property types first.
#include <objidl.h>

#include <gdiplus.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/RegistryFile.h"
#include "platform/RegistrySettings.h"
#include "win32/AboutWindow.h"
#include "win32/Application.h"
#include "win32/ExportWindow.h"
#include "win32/ImportWindow.h"
#include "win32/SplashWindow.h"
#include "win32/Win32FilePrompt.h"
#include "win32/Win32UserInterface.h"

namespace {

namespace fs = std::filesystem;
using namespace talvik;
using namespace talvik::win32;

struct NoLauncher : ProcessLauncher {
    bool Start(std::string_view) override { return true; }
};

void Pump(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (GetTickCount() < end) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

// The PNG encoder of GDI+.
CLSID PngEncoder() {
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::unique_ptr<char[]> buffer(new char[bytes]);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    Gdiplus::GetImageEncoders(count, bytes, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") return codecs[i].Clsid;
    }
    return CLSID{};
}

bool Capture(HWND window, const fs::path& file) {
    RECT area{};
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(200);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    bool written = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        const CLSID png = PngEncoder();
        written = image.Save(file.wstring().c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path out = argv[1];
    Gdiplus::GdiplusStartupInput startup;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &startup, nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    const fs::path folder = fs::temp_directory_path() / "talvik-screenshots";
    fs::create_directories(folder);
    RegistryFile registry((folder / "registry.reg").string());
    RegistrySettings settings(registry);
    settings.Set("TalvikSel1", "K1|K2|GR");
    settings.Set("TalvikImport1", "PUNTEN|GR");
    NoLauncher launcher;
    Win32UserInterface ui([](const MessageBoxSetup&) { return Answer::Ok; });
    Win32FilePrompt prompt([](const FileDialogSetup&) { return std::string(); });
    int failures = 0;
    const auto shoot = [&](HWND window, const char* name) {
        Pump(300);
        if (!Capture(window, out / name)) ++failures;
    };

    // The start-up window shows during the opening wait.
    Application exporter(
        {ui, prompt, settings, registry, launcher, "C:\\Talvik\\talvik.exe", 2000});
    exporter.Start("0 \"C:\\Metingen\\net1.prj\" \"C:\\Metingen\\net1.idx\"");
    shoot(exporter.Splash()->Handle(), "windows-splash.png");
    // The windows as they open: only what the program shows itself.
    Pump(2000);
    shoot(exporter.Export()->Handle(), "windows-export-dialog.png");
    SendMessageA(exporter.Export()->Handle(), WM_COMMAND,
                 MAKEWPARAM(FindControl("lblAction"), STN_CLICKED),
                 reinterpret_cast<LPARAM>(exporter.Export()->Item(ControlId::lblAction)));
    shoot(exporter.Export()->About()->Handle(), "windows-about.png");
    exporter.Export()->About()->Close();
    ShowWindow(exporter.Export()->Handle(), SW_HIDE);

    Application importer({ui, prompt, settings, registry, launcher, "C:\\Talvik\\talvik.exe", 0});
    importer.Start("1 \"C:\\Metingen\\net1.cor\" \"C:\\Metingen\\terug.idx\"");
    Pump(300);
    shoot(importer.Import()->Handle(), "windows-import-dialog.png");

    Gdiplus::GdiplusShutdown(token);
    fs::remove_all(folder);
    return failures == 0 ? 0 : 1;
}
