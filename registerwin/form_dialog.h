// A small modal form on plain Win32 controls: a note, labelled fields, the
// faults found in what was typed, and the buttons. The form stays open with
// what was typed until its check finds no fault, or the user gives up.
// Every field is reached by Tab or its label's access key.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quillet::registerwin {

// The class name of the form's window, and its controls' ids, for tests
// that fill it in.
inline constexpr wchar_t kFormDialogClass[] = L"QuilletFormDialog";
enum FormControl : int { kProblemsControl = 90, kFirstFieldControl = 100 };

struct FormField {
    std::string label;  // with its access key: "&Maker:"
    enum Kind { Text, Digits, Choice } kind = Text;
    std::string initial;               // Choice: the index chosen
    std::vector<std::string> choices;  // Choice only
    std::string cue;                   // shown grey in an empty field: "L1,N"
};

// What was typed, trimmed, one per field; a Choice gives the index chosen.
using FormValues = std::vector<std::string>;
// The faults of the values, or none once they have been taken.
using FormCheck = std::function<std::vector<std::string>(const FormValues& values)>;

// True when check took the values; false when the user gave up. Modal
// over owner, which may be none.
bool RunForm(HWND owner, const std::string& title, const std::string& note, const std::vector<FormField>& fields,
             const std::string& acceptText, const FormCheck& check);

}  // namespace quillet::registerwin
