// The calculator on Windows: one window on plain Win32 controls, and a
// sweep window for each measured sweep named on the command line, dropped
// on the calculator or chosen with Ctrl+O.

// shellapi.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "apps/quillet-win32/sweep_windows.h"
#include "win32/main_window.h"

namespace {

// The files named on the command line, as UTF-8.
std::vector<std::string> FilesNamed() {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> files;
    for (int i = 1; arguments != nullptr && i < count; ++i)
        files.push_back(quillet::win32::Narrow(arguments[i]));
    ::LocalFree(arguments);
    return files;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        quillet::win32::MainWindow window(instance);
        quillet::app::SweepWindows sweepWindows(instance, window);
        window.Load();
        sweepWindows.Open(FilesNamed());
        return window.Run();
    } catch (const std::exception& error) {
        ::MessageBoxW(nullptr, quillet::win32::Wide(error.what()).c_str(), L"Quillet", MB_OK | MB_ICONERROR);
        return 1;
    }
}
