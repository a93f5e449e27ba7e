// Small helpers for reading measurement files line by line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "measurement/utf8_sequence.h"

namespace quillet::measurement {

// A number as data files write it: an optional sign, digits with an optional
// point, an optional exponent; nothing else, and finite.
std::optional<double> StrictNumber(std::string_view text);

// The shortest text that reads back to the value, for messages.
std::string ShortestText(double value);
// The same, added to the end of text (no string of its own to allocate).
void AppendShortestText(std::string& text, double value);

std::string_view Trim(std::string_view text);
std::vector<std::string_view> SplitWhitespace(std::string_view text);
std::string Lowercase(std::string_view text);

}  // namespace quillet::measurement
