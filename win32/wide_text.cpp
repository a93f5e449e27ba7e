#include "win32/wide_text.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "files/native_path.h"

namespace quillet::win32 {

std::wstring Wide(std::string_view utf8) { return files::WidePath(std::string(utf8)); }

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), narrow.data(), size, nullptr,
                              nullptr);
    return narrow;
}

}  // namespace quillet::win32
