#include "win32/window_class.h"

#include <stdexcept>
#include <string>

namespace quillet::win32 {

void RegisterClassOnce(WNDCLASSEXW windowClass, const char* what) {
    windowClass.cbSize = sizeof windowClass;
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing) != 0)
        return;
    if (::RegisterClassExW(&windowClass) == 0)
        throw std::runtime_error(std::string("cannot register the ") + what + "'s window class");
}

}  // namespace quillet::win32
