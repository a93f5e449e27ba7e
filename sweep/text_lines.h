// Small helpers for reading measurement files line by line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::sweep {

// A number as data files write it: an optional sign, digits with an optional
// point, an optional exponent; nothing else, and finite.
std::optional<double> StrictNumber(std::string_view text);

std::string_view Trim(std::string_view text);
std::vector<std::string_view> SplitWhitespace(std::string_view text);
std::vector<std::string_view> SplitLines(std::string_view text);  // drops CR of CR LF
std::string Lowercase(std::string_view text);

// True when the bytes are UTF-8 text without NUL or other control bytes
// (tab, CR and LF allowed).
bool LooksLikeText(std::string_view bytes);

}  // namespace quillet::sweep
