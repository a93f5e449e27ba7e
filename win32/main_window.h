// The calculator's window on plain Win32 controls: the controls of the
// shared layout table at their places scaled to the window's DPI, the
// window interface of the window logic implemented on them, and the
// binding of clicks, focus moves and keys to the same handlers as the Qt
// window's.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "win32/dpi.h"
#include "win32/wide_text.h"
#include "window/layout.h"
#include "window/window_interface.h"
#include "window/window_model.h"

namespace quillet::win32 {

class MainWindow : public WindowInterface {
public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs the load handler while the window is still hidden, then shows it
    // with the focus on "Calculate".
    void Load();

    // Tab, Shift+Tab and the arrow keys of the option groups, taken from
    // the message queue before they reach a control. True when handled; the
    // message loop then neither translates nor dispatches the message.
    bool PreTranslate(const MSG& message);

    // The message loop until the window is gone; the exit code.
    int Run();

    // What the program around the calculator does with files dropped on it
    // (their names in UTF-8), with Ctrl+O and when the calculator goes, and
    // its other windows' keys, which the message loop offers first (true:
    // handled). Unset: nothing.
    struct Hooks {
        std::function<void(const std::vector<std::string>&)> filesDropped;
        std::function<void()> openRequested;
        std::function<bool(const MSG&)> preTranslate;
        std::function<void()> closing;  // the window is going ("Exit", the close box)
    };
    void SetHooks(Hooks hooks);

    // A point from elsewhere (a sweep window's row) typed into the boxes
    // with its AN type, then "Calculate", as a user would; the calculator
    // comes to the front.
    void CalculatePoint(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                        std::int16_t anType);

    HWND Handle() const { return window_; }
    HWND Control(std::string_view name) const;  // nullptr for an unknown name
    WindowModel& Model() { return model_; }
    UINT Dpi() const { return dpi_; }

    // WindowInterface
    std::string Text(TextBox box) const override;
    void SetText(TextBox box, std::string_view text) override;
    bool Option(int index) const override;
    void SetOption(int index, bool selected) override;
    double OuterWidth() const override;
    double OuterHeight() const override;
    void SetLeft(float twips) override;
    void SetTop(float twips) override;
    double ScreenWidth() const override;
    double ScreenHeight() const override;
    void SetMousePointer(MousePointer pointer) override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    void Unload() override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls();
    void FilesDropped(WPARAM drop);  // a WM_DROPFILES HDROP
    void ApplyDpi(UINT dpi);
    void MakeFonts();
    int Scale(int pixels) const;
    void OnCommand(HWND control, WORD code);
    void FocusIsOn(HWND control);
    void MoveFocus(bool forward);
    void MoveWithinGroup(HWND option, bool forward);
    bool IsTabStop(const layout::Control& control) const;
    const layout::Control* LayoutOf(HWND control) const;
    HWND Box(TextBox box) const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    UINT dpi_ = 96;
    std::array<HWND, layout::kControls.size()> controls_{};  // in the order of the layout table
    std::map<HWND, TextBox> inputBoxes_;
    std::map<std::string_view, int> tabStopOf_;  // option group (container) -> selected index, for Tab
    std::array<HFONT, 3> fonts_{};               // by layout::Font
    HBRUSH background_ = nullptr;
    HWND focusBeforeLeaving_ = nullptr;  // restored when the window is activated again
    bool busy_ = false;
    Hooks hooks_;
    WindowModel model_{*this};
};

}  // namespace quillet::win32
