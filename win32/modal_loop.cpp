#include "win32/modal_loop.h"

namespace quillet::win32 {

void RunModal(HWND window, HWND owner, HWND focus, const bool& done, const std::function<void()>& beforeClose) {
    const bool ownerEnabled = owner != nullptr && ::IsWindowEnabled(owner) != 0;
    if (ownerEnabled)
        ::EnableWindow(owner, FALSE);
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    if (focus != nullptr)
        ::SetFocus(focus);
    MSG message;
    bool quit = false;
    while (!done) {
        if (::GetMessageW(&message, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        if (::IsDialogMessageW(window, &message) != 0)
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (beforeClose)
        beforeClose();
    if (ownerEnabled)
        ::EnableWindow(owner, TRUE);
    ::DestroyWindow(window);
    if (quit)
        ::PostQuitMessage(static_cast<int>(message.wParam));  // for the program's own loop
}

}  // namespace quillet::win32
