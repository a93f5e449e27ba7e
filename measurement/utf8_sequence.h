// The readers' rule for well-formed UTF-8, in a file of its own: the plots
// measure their texts by it too, down to the PNG module, which needs
// nothing else of the readers.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillet::measurement {

// The length of the well-formed UTF-8 sequence that starts at the byte, or
// 0 where none does.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at);

}  // namespace quillet::measurement
