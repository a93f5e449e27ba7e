// File names as Windows' wide-character calls take them. The programs hold
// every name as UTF-8 (as the command line gives it under their manifest);
// converting with the C library's locale instead would reach another file
// for any name beyond ASCII.
#pragma once

#ifdef _WIN32
#include <string>

namespace quillet::files {

std::wstring WidePath(const std::string& utf8);

// The folder the running program's file is in, in UTF-8, without a
// trailing backslash.
std::string ProgramFolder();

}  // namespace quillet::files
#endif
