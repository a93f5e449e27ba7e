// The calculator on Windows: one window on plain Win32 controls, and a
// sweep window for each measured sweep named on the command line, dropped
// on the calculator or chosen with Ctrl+O. With --register the register
// window opens beside it: the first file named is then the register.

// shellapi.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "apps/quillet-win32/sweep_windows.h"
#include "win32/main_window.h"

namespace {

struct CommandLine {
    bool showRegister = false;
    std::string registerFile;
    std::vector<std::string> files;  // as UTF-8
};

CommandLine Arguments() {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    CommandLine line;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        if (std::wstring_view(arguments[i]) == L"--register")
            line.showRegister = true;
        else
            line.files.push_back(quillet::win32::Narrow(arguments[i]));
    }
    ::LocalFree(arguments);
    if (line.showRegister && !line.files.empty()) {
        line.registerFile = line.files.front();
        line.files.erase(line.files.begin());
    }
    return line;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        quillet::win32::MainWindow window(instance);
        quillet::app::SweepWindows sweepWindows(instance, window);
        window.Load();
        const CommandLine line = Arguments();
        if (line.showRegister)
            sweepWindows.ShowRegister(line.registerFile);
        sweepWindows.Open(line.files);
        return window.Run();
    } catch (const std::exception& error) {
        ::MessageBoxW(nullptr, quillet::win32::Wide(error.what()).c_str(), L"Quillet", MB_OK | MB_ICONERROR);
        return 1;
    }
}
