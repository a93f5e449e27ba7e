#include "sweepwin/clipboard.h"

#include <cstring>

namespace quillet::sweepwin {

bool CopyToClipboard(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr)
        return false;
    void* target = ::GlobalLock(memory);
    if (target == nullptr) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(memory);
    if (::OpenClipboard(owner) == 0) {
        ::GlobalFree(memory);
        return false;
    }
    ::EmptyClipboard();
    const bool placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    ::CloseClipboard();
    if (!placed)
        ::GlobalFree(memory);  // still ours when the clipboard did not take it
    return placed;
}

}  // namespace quillet::sweepwin
