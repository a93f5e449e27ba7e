#include "sweepwin/export_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "files/file_identity.h"
#include "sweepcore/export_name.h"
#include "win32/wide_text.h"

namespace quillet::sweepwin {
namespace {

constexpr wchar_t kTitle[] = L"Quillet";

std::size_t NameStart(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string FileName(const std::string& path) { return path.substr(NameStart(path)); }

// The measurement's folder and name without its ending.
std::string ProposedBase(const std::string& measurement) {
    const std::wstring wide = win32::Wide(measurement);
    std::wstring full(32768, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    const std::string absolute =
        length > 0 && length < full.size() ? win32::Narrow(std::wstring_view(full.data(), length)) : measurement;
    const std::size_t start = NameStart(absolute);
    const std::size_t dot = absolute.rfind('.');
    return dot == std::string::npos || dot < start ? absolute : absolute.substr(0, dot);
}

bool Exists(const std::string& file) {
    return ::GetFileAttributesW(win32::Wide(file).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MayWrite(HWND owner, const std::string& measurement, const std::string& typed, const std::string& target) {
    for (const std::string& name : {typed, target}) {
        if (files::SameFile(name, measurement)) {
            ShowWarning(owner, FileName(name) + " is the measurement file itself; choose another file.");
            return false;
        }
    }
    if (!Exists(target))
        return true;
    const std::wstring question = win32::Wide(FileName(target) + " already exists.\nDo you want to replace it?");
    return ::MessageBoxW(owner, question.c_str(), kTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

void ShowWarning(HWND owner, const std::string& text) {
    ::MessageBoxW(owner, win32::Wide(text).c_str(), kTitle, MB_OK | MB_ICONWARNING);
}

std::optional<ExportTarget> AskExportTarget(HWND owner, const std::string& measurement, const std::string& title,
                                            const std::string& proposedEnding, std::span<const ExportFormat> formats) {
    // "name\0pattern\0" per format, and a closing "\0".
    std::wstring filters;
    for (const ExportFormat& format : formats) {
        filters += win32::Wide(format.filter) + L'\0';
        filters += win32::Wide(format.pattern) + L'\0';
    }
    filters += L'\0';
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring proposed = win32::Wide(ProposedBase(measurement) + proposedEnding);
    std::copy_n(proposed.begin(), std::min(proposed.size(), file.size() - 1), file.begin());
    const std::wstring caption = win32::Wide(title);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = caption.c_str();
    // No question about replacing here: the ending may still change the
    // name, and the measurement is checked first.
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (::GetSaveFileNameW(&dialog) == 0)
        return std::nullopt;
    const std::string typed = win32::Narrow(file.data());
    std::vector<std::string_view> endings;
    for (const ExportFormat& format : formats)
        endings.push_back(format.suffix);
    const sweepcore::ExportName name =
        sweepcore::CompletedExportName(typed, endings, dialog.nFilterIndex > 0 ? dialog.nFilterIndex - 1 : 0);
    ExportTarget target{name.file, name.format};
    if (!MayWrite(owner, measurement, typed, target.file))
        return std::nullopt;
    return target;
}

}  // namespace quillet::sweepwin
