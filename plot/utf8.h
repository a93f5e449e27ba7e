// One character of UTF-8 text at a time, for measuring and escaping the
// plot's texts (file names among them, which need not be valid UTF-8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillet::plot {

struct Utf8Character {
    char32_t code;       // the lead byte itself where the sequence is not valid
    std::size_t length;  // bytes taken: 1 where not valid
    bool valid;
};

// The character starting at byte `at` (< text.size()).
inline Utf8Character NextUtf8(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || at + length > text.size())
        return {lead, 1, false};
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return {lead, 1, false};
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    // Over-long forms, UTF-16 surrogates and beyond U+10FFFF are not UTF-8.
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return {lead, 1, false};
    return {code, length, true};
}

}  // namespace quillet::plot
