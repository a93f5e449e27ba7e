#include "sweepwin/sweep_settings.h"

#include <algorithm>

#include "sweepcore/column_choice.h"
#include "win32/wide_text.h"

namespace quillet::sweepwin {
namespace {

constexpr wchar_t kKey[] = L"Software\\Quillet";
constexpr wchar_t kRecent[] = L"SweepRecentFiles";
constexpr wchar_t kWidth[] = L"SweepWindowWidth";
constexpr wchar_t kHeight[] = L"SweepWindowHeight";
constexpr wchar_t kType[] = L"SweepAnType";
constexpr wchar_t kFolder[] = L"SweepLastFolder";
constexpr wchar_t kRegister[] = L"RegisterFile";

std::optional<DWORD> ReadNumber(const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

// The value's characters, its closing nulls included; nothing when absent.
std::optional<std::wstring> ReadText(const wchar_t* name, DWORD type) {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, type, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, type, nullptr, text.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    return text;
}

void Write(const wchar_t* name, DWORD type, const void* data, std::size_t bytes) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes));
    ::RegCloseKey(key);
}

void WriteNumber(const wchar_t* name, DWORD value) { Write(name, REG_DWORD, &value, sizeof value); }

std::string FolderOf(const std::string& fileOrFolder) {
    const DWORD attributes = ::GetFileAttributesW(win32::Wide(fileOrFolder).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return fileOrFolder;
    const std::size_t slash = fileOrFolder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : fileOrFolder.substr(0, slash);
}

}  // namespace

std::vector<std::string> RecentFiles() {
    std::vector<std::string> files;
    const std::optional<std::wstring> text = ReadText(kRecent, RRF_RT_REG_MULTI_SZ);
    if (!text)
        return files;
    // "first\0second\0\0": each name up to its null, an empty one ends the list.
    for (std::size_t start = 0; start < text->size() && files.size() < kRecentFiles;) {
        const std::size_t end = std::min(text->find(L'\0', start), text->size());
        if (end == start)
            break;
        files.push_back(win32::Narrow(std::wstring_view(*text).substr(start, end - start)));
        start = end + 1;
    }
    return files;
}

void AddRecentFile(const std::string& path) {
    if (path.empty())
        return;
    std::vector<std::string> files = RecentFiles();
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
    if (files.size() > kRecentFiles)
        files.resize(kRecentFiles);
    std::wstring text;
    for (const std::string& file : files)
        text += win32::Wide(file) + L'\0';
    text += L'\0';
    Write(kRecent, REG_MULTI_SZ, text.data(), text.size() * sizeof(wchar_t));
}

std::optional<SIZE> SweepWindowSize() {
    const std::optional<DWORD> width = ReadNumber(kWidth), height = ReadNumber(kHeight);
    if (!width || !height || *width == 0 || *height == 0 || *width > 100000 || *height > 100000)
        return std::nullopt;
    return SIZE{static_cast<LONG>(*width), static_cast<LONG>(*height)};
}

void SetSweepWindowSize(SIZE size) {
    if (size.cx <= 0 || size.cy <= 0)
        return;  // a minimised window has no size worth keeping
    WriteNumber(kWidth, static_cast<DWORD>(size.cx));
    WriteNumber(kHeight, static_cast<DWORD>(size.cy));
}

std::optional<std::int16_t> LastAnType() {
    const std::optional<DWORD> type = ReadNumber(kType);
    if (!type || *type < 1 || *type > 4)
        return std::nullopt;
    return static_cast<std::int16_t>(*type);
}

void SetLastAnType(std::int16_t type) {
    if (type >= 1 && type <= 4)
        WriteNumber(kType, static_cast<DWORD>(type));
}

std::string LastFolder() {
    const std::optional<std::wstring> text = ReadText(kFolder, RRF_RT_REG_SZ);
    return text ? win32::Narrow(text->c_str()) : std::string();
}

void SetLastFolder(const std::string& fileOrFolder) {
    const std::wstring folder = win32::Wide(FolderOf(fileOrFolder));
    Write(kFolder, REG_SZ, folder.c_str(), (folder.size() + 1) * sizeof(wchar_t));
}

std::string RegisterFile() {
    const std::optional<std::wstring> text = ReadText(kRegister, RRF_RT_REG_SZ);
    return text ? win32::Narrow(text->c_str()) : std::string();
}

void SetRegisterFile(const std::string& path) {
    // A full name, so the register is found again from any folder.
    std::wstring file(32768, L'\0');
    const DWORD length =
        ::GetFullPathNameW(win32::Wide(path).c_str(), static_cast<DWORD>(file.size()), file.data(), nullptr);
    file = length == 0 || length >= file.size() ? win32::Wide(path) : file.substr(0, length);
    Write(kRegister, REG_SZ, file.c_str(), (file.size() + 1) * sizeof(wchar_t));
}

std::optional<std::string> RememberedColumns(const std::string& path) {
    const std::wstring name = win32::Wide(sweepcore::RememberedColumnsKey(path));
    const std::optional<std::wstring> text = ReadText(name.c_str(), RRF_RT_REG_SZ);
    if (!text || text->c_str()[0] == L'\0')
        return std::nullopt;
    return win32::Narrow(text->c_str());
}

void RememberColumns(const std::string& path, const std::string& columns) {
    const std::wstring name = win32::Wide(sweepcore::RememberedColumnsKey(path));
    const std::wstring text = win32::Wide(columns);
    Write(name.c_str(), REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

}  // namespace quillet::sweepwin
