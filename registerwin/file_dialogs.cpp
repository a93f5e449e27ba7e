#include "registerwin/file_dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "win32/wide_text.h"

namespace quillet::registerwin {
namespace {

constexpr wchar_t kRegisterFilter[] = L"Registers (*.sqlite, *.db)\0*.sqlite;*.db\0All files (*.*)\0*.*\0";

struct FileQuestion {
    const wchar_t* title;
    const wchar_t* filter;
    const wchar_t* ending;  // added to a name without one; nullptr: none
    std::string proposed;   // a full name, or a folder to start in
    bool proposedIsFolder = false;
    DWORD flags = 0;
    bool save = true;
};

std::string Ask(HWND owner, const FileQuestion& question) {
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring proposed = win32::Wide(question.proposed);
    if (!question.proposedIsFolder)
        std::copy_n(proposed.begin(), std::min(proposed.size(), file.size() - 1), file.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = question.filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = question.title;
    dialog.lpstrDefExt = question.ending;
    dialog.lpstrInitialDir = question.proposedIsFolder && !proposed.empty() ? proposed.c_str() : nullptr;
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | question.flags;
    const BOOL chosen = question.save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    return chosen != 0 ? win32::Narrow(file.data()) : std::string();
}

}  // namespace

std::string AskRegisterToOpen(HWND owner, const std::string& folder) {
    return Ask(owner,
               {L"Open a verification register", kRegisterFilter, nullptr, folder, true, OFN_FILEMUSTEXIST, false});
}

std::string AskRegisterToStart(HWND owner, const std::string& proposed) {
    return Ask(owner, {L"Start a verification register", kRegisterFilter, nullptr, proposed, false, 0, true});
}

std::string AskBackupFile(HWND owner, const std::string& proposed) {
    return Ask(owner, {L"Back up the register", kRegisterFilter, nullptr, proposed, false, OFN_OVERWRITEPROMPT, true});
}

std::string AskPdfFile(HWND owner, const std::string& title, const std::string& proposed) {
    const std::wstring caption = win32::Wide(title);
    return Ask(owner, {caption.c_str(), L"PDF (*.pdf)\0*.pdf\0", L"pdf", proposed, false, OFN_OVERWRITEPROMPT, true});
}

}  // namespace quillet::registerwin
