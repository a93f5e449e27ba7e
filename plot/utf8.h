// One character of UTF-8 text at a time, for measuring and escaping the
// plot's texts (file names among them, which need not be valid UTF-8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "measurement/utf8_sequence.h"

namespace quillet::plot {

struct Utf8Character {
    char32_t code;       // the lead byte itself where the sequence is not valid
    std::size_t length;  // bytes taken: 1 where not valid
    bool valid;
};

// The character starting at byte `at` (< text.size()), valid by the
// readers' own rule: no over-long forms, surrogates or code points beyond
// U+10FFFF.
inline Utf8Character NextUtf8(std::string_view text, std::size_t at) {
    const auto lead = static_cast<std::uint8_t>(text[at]);
    const std::size_t length = measurement::Utf8SequenceLength(text, at);
    if (length == 0)
        return {lead, 1, false};
    char32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i)
        code = (code << 6) | (static_cast<std::uint8_t>(text[at + i]) & 0x3Fu);
    return {code, length, true};
}

}  // namespace quillet::plot
