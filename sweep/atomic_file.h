#pragma once

#include <string>

namespace quillet::sweep {

// Writes the whole contents to a temporary file beside the target and
// renames it into place, so an interrupted run never leaves a half-written
// file. Throws std::runtime_error naming the file on failure.
void WriteFileAtomically(const std::string& path, const std::string& contents);

}  // namespace quillet::sweep
