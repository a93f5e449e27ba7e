#include "records/register_path.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <cstdlib>

#include "records/sqlite.h"

namespace quillet::records {

#ifdef _WIN32
std::string DefaultRegisterPath() {
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (!appData || !*appData)
        throw RegisterError("%APPDATA% is not set: name the register with --register");
    const int size = WideCharToMultiByte(CP_UTF8, 0, appData, -1, nullptr, 0, nullptr, nullptr);
    std::string folder(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, appData, -1, folder.data(), size, nullptr, nullptr);
    return folder + "\\Quillet\\register.sqlite";
}
#else
std::string DefaultRegisterPath() {
    // A relative $XDG_DATA_HOME is to be ignored: it would depend on the
    // folder the program was started in.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/quillet/register.sqlite";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/')
        throw RegisterError("neither $XDG_DATA_HOME nor $HOME names a folder: name the register with --register");
    return std::string(home) + "/.local/share/quillet/register.sqlite";
}
#endif

}  // namespace quillet::records
