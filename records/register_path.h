// Where a lab's register lives unless the user names another file.
#pragma once

#include <string>

namespace quillet::records {

// $XDG_DATA_HOME/quillet/register.sqlite, else
// ~/.local/share/quillet/register.sqlite; on Windows
// %APPDATA%\Quillet\register.sqlite. UTF-8. Throws RegisterError when the
// environment names no home folder.
std::string DefaultRegisterPath();

}  // namespace quillet::records
