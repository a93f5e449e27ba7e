// Whether two names reach one file. Names are compared by the file's
// identity, not by spelling, so that a hard link, a symbolic link or
// another spelling of the same file is caught before it is written over.
#pragma once

#include <string>

namespace quillet::files {

// True when both names reach one existing file, or when neither exists yet
// and both spell the same place; a name that exists and one that does not
// never reach one file.
bool SameFile(const std::string& a, const std::string& b);

// True when the name reaches the file standard input reads.
bool IsStandardInput(const std::string& name);

}  // namespace quillet::files
