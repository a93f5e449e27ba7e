// File names as Windows' wide-character calls take them. The programs hold
// every name as UTF-8 (as the command line gives it under their manifest);
// converting with the C library's locale instead would reach another file
// for any name beyond ASCII.
#pragma once

#include <filesystem>
#include <string>

namespace quillet::files {

// A name held as UTF-8 (on Windows) or as the system's bytes, for the
// standard library's file calls.
std::filesystem::path FsPath(const std::string& name);

#ifdef _WIN32
std::wstring WidePath(const std::string& utf8);

// The folder the running program's file is in, in UTF-8, without a
// trailing backslash.
std::string ProgramFolder();
#endif

}  // namespace quillet::files
