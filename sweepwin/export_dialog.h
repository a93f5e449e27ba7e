// Asking where an export goes: the save dialog, then the checks the dialog
// does not make, since the name it returns may still get an ending: never
// the measurement itself, and a file that exists is replaced only when the
// user says so, asked by the name that will be written.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace quillet::sweepwin {

struct ExportFormat {
    const char* filter;   // "CSV (*.csv)"
    const char* pattern;  // "*.csv"
    const char* suffix;   // "csv"
};

struct ExportTarget {
    std::string file;    // UTF-8
    std::size_t format;  // index into the formats offered
};

// The file named in the dialog, with its own ending where that is one of
// the formats, else with the chosen format's ending; nothing when the user
// gave up or refused. Proposed beside the measurement as its name without
// the ending, plus proposedEnding.
std::optional<ExportTarget> AskExportTarget(HWND owner, const std::string& measurement, const std::string& title,
                                            const std::string& proposedEnding, std::span<const ExportFormat> formats);

// A message box of the program's.
void ShowWarning(HWND owner, const std::string& text);

}  // namespace quillet::sweepwin
