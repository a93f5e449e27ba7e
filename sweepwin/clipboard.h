// Text onto the clipboard, for pasting into any program.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace quillet::sweepwin {

// False when the clipboard could not be had.
bool CopyToClipboard(HWND owner, const std::wstring& text);

}  // namespace quillet::sweepwin
