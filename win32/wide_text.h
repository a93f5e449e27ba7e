// Text between the programs' UTF-8 and the UTF-16 of Windows' wide calls.
#pragma once

#include <string>
#include <string_view>

namespace quillet::win32 {

std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace quillet::win32
