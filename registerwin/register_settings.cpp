#include "registerwin/register_settings.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <stdexcept>

#include "win32/wide_text.h"

namespace quillet::registerwin {

std::string MeasurementCacheFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || *local == L'\0')
        throw std::runtime_error("%LOCALAPPDATA% is not set: there is no folder to open the measurement from");
    return win32::Narrow(local) + "\\Quillet\\cache\\measurements";
}

}  // namespace quillet::registerwin
