// For delimited text whose columns could not be recognised, on plain
// Win32 controls: the file's first lines, what each column holds and in
// which unit, the reference of S11, and the reading previewed before it is
// accepted. Modal over its owner; every control is reached by Tab or its
// label's access key.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>

#include "measurement/read_measurement.h"

namespace quillet::sweepwin {

struct ChosenColumns {
    std::string list;  // as an-sweep's --columns takes it
    measurement::ReadOptions options;
};

// The class name of the dialog's window, for tests that find it.
inline constexpr wchar_t kColumnDialogClass[] = L"QuilletColumnDialog";

// why: the reader's message. Nothing when the user gave up.
std::optional<ChosenColumns> AskColumns(HINSTANCE instance, HWND owner, const std::string& path,
                                        const std::string& why);

}  // namespace quillet::sweepwin
