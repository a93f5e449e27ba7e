#include "measurement/utf8_sequence.h"

namespace quillet::measurement {

std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at) {
    const auto c = static_cast<unsigned char>(bytes[at]);
    if (c < 0x80)
        return 1;
    std::size_t continuation = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        continuation = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
        continuation = 2;
        if (c == 0xE0)
            low = 0xA0;  // no overlong forms
        if (c == 0xED)
            high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        continuation = 3;
        if (c == 0xF0)
            low = 0x90;
        if (c == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + continuation >= bytes.size())
        return 0;
    for (std::size_t k = 1; k <= continuation; ++k) {
        const auto next = static_cast<unsigned char>(bytes[at + k]);
        if (k == 1 ? (next < low || next > high) : (next & 0xC0) != 0x80)
            return 0;
    }
    return continuation + 1;
}

}  // namespace quillet::measurement
