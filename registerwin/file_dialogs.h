// The register window's questions for file names, in the common dialogs;
// names are UTF-8 here. Empty when the user gives up.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace quillet::registerwin {

// An existing register to open, starting in `folder`.
std::string AskRegisterToOpen(HWND owner, const std::string& folder);
// Where to start a register. No question about an existing file: a new
// register is never made over one, which is opened or refused instead.
std::string AskRegisterToStart(HWND owner, const std::string& proposed);
// Where a copy of the register goes; an existing file is replaced only
// when the user says so.
std::string AskBackupFile(HWND owner, const std::string& proposed);
// Where a printed record goes, ending in .pdf, asked about replacing by the
// name that will be written.
std::string AskPdfFile(HWND owner, const std::string& title, const std::string& proposed);

}  // namespace quillet::registerwin
