// The calculator on Windows: one window on plain Win32 controls.

#include <cstdio>
#include <exception>

#include "win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        quillet::win32::MainWindow window(instance);
        window.Load();
        return window.Run();
    } catch (const std::exception& error) {
        ::MessageBoxW(nullptr, quillet::win32::Wide(error.what()).c_str(), L"Quillet", MB_OK | MB_ICONERROR);
        return 1;
    }
}
