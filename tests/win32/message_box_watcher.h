// For the Win32 window tests: while a watcher lives, a thread timer looks
// every 50 ms for a message box of this thread, records what it says and
// answers it with OK, so that no test hangs in one; a menu still open past
// a deadline is closed the same way, and a test may look for a window of
// its own on each tick (a dialog to drive, say).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <string>

#include "win32/wide_text.h"

namespace quillet::win32::testing {

struct SeenMessage {
    bool shown = false;
    std::string title;
    std::string text;
    int buttons = 0;  // visible ones
    bool icon = false;
};

class MessageBoxWatcher {
public:
    MessageBoxWatcher() {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 50, Tick);
    }
    ~MessageBoxWatcher() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    SeenMessage seen;              // the last message box, answered
    DWORD menuDeadline = 0;        // a tick count; 0: menus stay open
    std::function<void()> onTick;  // the test's own look around

private:
    static std::string Text(HWND window) {
        std::wstring buffer(4096, L'\0');
        buffer.resize(static_cast<std::size_t>(::GetWindowTextW(window, buffer.data(), 4096)));
        return Narrow(buffer);
    }

    static HWND VisibleMessageBox() {
        HWND box = nullptr;
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND candidate, LPARAM found) -> BOOL {
                wchar_t name[16] = {};
                ::GetClassNameW(candidate, name, 16);
                if (std::wstring(name) != L"#32770" || !::IsWindowVisible(candidate))
                    return TRUE;
                *reinterpret_cast<HWND*>(found) = candidate;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&box));
        return box;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        MessageBoxWatcher* self = current_;
        if (self == nullptr)
            return;
        if (self->menuDeadline != 0 && ::GetTickCount() > self->menuDeadline)
            ::EndMenu();
        if (self->onTick)
            self->onTick();
        HWND box = VisibleMessageBox();
        if (box == nullptr)
            return;
        SeenMessage seen;
        seen.shown = true;
        seen.title = Text(box);
        seen.text = Text(::GetDlgItem(box, 0xFFFF));  // the message's static text
        for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[16] = {};
            ::GetClassNameW(child, name, 16);
            const LONG style = ::GetWindowLongW(child, GWL_STYLE);
            if (std::wstring(name) == L"Button" && (style & WS_VISIBLE) != 0)
                ++seen.buttons;
            if (std::wstring(name) == L"Static" && (style & SS_TYPEMASK) == SS_ICON && (style & WS_VISIBLE) != 0 &&
                ::SendMessageW(child, STM_GETICON, 0, 0) != 0)
                seen.icon = true;
        }
        self->seen = seen;
        ::SendMessageW(box, WM_COMMAND, IDOK, 0);
    }

    static inline MessageBoxWatcher* current_ = nullptr;
    UINT_PTR timer_ = 0;
};

}  // namespace quillet::win32::testing
