#include "registerwin/register_settings.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <stdexcept>

#include "win32/wide_text.h"

namespace quillet::registerwin {
namespace {

constexpr wchar_t kKey[] = L"Software\\Quillet";
constexpr wchar_t kRegisterFile[] = L"RegisterFile";

std::wstring FullName(const std::wstring& path) {
    std::wstring full(32768, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return path;
    full.resize(length);
    return full;
}

}  // namespace

std::string RegisterFile() {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, kRegisterFile, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, kRegisterFile, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    return win32::Narrow(text.c_str());
}

void SetRegisterFile(const std::string& path) {
    const std::wstring full = FullName(win32::Wide(path));
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, kRegisterFile, 0, REG_SZ, reinterpret_cast<const BYTE*>(full.c_str()),
                     static_cast<DWORD>((full.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

std::string MeasurementCacheFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || *local == L'\0')
        throw std::runtime_error("%LOCALAPPDATA% is not set: there is no folder to open the measurement from");
    return win32::Narrow(local) + "\\Quillet\\cache\\measurements";
}

}  // namespace quillet::registerwin
