// SHA-256 of bytes, as lower-case hex: a short, stable name for a file's
// first line in the settings, the same on every build.
#pragma once

#include <string>
#include <string_view>

namespace quillet::sweepcore {

std::string Sha256Hex(std::string_view bytes);

}  // namespace quillet::sweepcore
