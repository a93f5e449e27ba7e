// What the register window remembers per user, in the toolkit's settings
// beside the sweep windows' own: the register last opened.
#pragma once

#include <QString>

namespace quillet::registerui {

// Empty until a register has been opened or started.
QString RegisterFile();
void SetRegisterFile(const QString& path);

}  // namespace quillet::registerui
