#include "measurement/text_decoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#include "measurement/text_lines.h"

namespace quillet::measurement {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {  // most lines are ASCII throughout
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// Windows-1252 from 0x80 to 0x9F; 0 where the code page has no character.
constexpr std::array<char16_t, 32> kWindows1252High{0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsControl(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

}  // namespace

void TextDecoder::NotText(const std::string& why) const {
    throw ReadError(file_, lineNumber_, "not a text file (" + why + "); expected a Touchstone (.s1p) or CSV file");
}

void TextDecoder::Feed(std::string_view bytes) {
    if (encoding_ == Encoding::Unknown) {
        const std::size_t take = std::min(bytes.size(), 4 - start_.size());
        start_.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        if (start_.size() < 4)
            return;
        DetectEncoding();
    }
    if (encoding_ == Encoding::Utf8)
        FeedUtf8(bytes);
    else
        FeedUtf16(bytes);
}

void TextDecoder::DetectEncoding() {
    const std::string_view start = start_;
    std::string_view rest = start;
    if (start.starts_with(std::string_view("\xFF\xFE\x00\x00", 4)) ||
        start.starts_with(std::string_view("\x00\x00\xFE\xFF", 4)))
        NotText("UTF-32 text; save it as UTF-8");
    if (start.starts_with("\xEF\xBB\xBF")) {
        encoding_ = Encoding::Utf8;
        rest.remove_prefix(3);
    } else if (start.starts_with("\xFF\xFE")) {
        encoding_ = Encoding::Utf16LittleEndian;
        rest.remove_prefix(2);
    } else if (start.starts_with("\xFE\xFF")) {
        encoding_ = Encoding::Utf16BigEndian;
        rest.remove_prefix(2);
    } else {
        encoding_ = Encoding::Utf8;
    }
    const std::string remaining(rest);
    start_.clear();
    if (encoding_ == Encoding::Utf8)
        FeedUtf8(remaining);
    else
        FeedUtf16(remaining);
}

void TextDecoder::FeedUtf16(std::string_view bytes) {
    decoded_.clear();
    std::string units = utf16Pending_;
    units.append(bytes);
    utf16Pending_.clear();
    std::size_t i = 0;
    const bool little = encoding_ == Encoding::Utf16LittleEndian;
    auto unit = [&](std::size_t at) -> char16_t {
        const auto a = static_cast<unsigned char>(units[at]), b = static_cast<unsigned char>(units[at + 1]);
        return static_cast<char16_t>(little ? (b << 8 | a) : (a << 8 | b));
    };
    while (i + 2 <= units.size()) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 4 > units.size())
                break;  // the low half comes with the next chunk
            const char16_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) {
                FeedUtf8(decoded_);  // the lines before it first, as in any other chunking
                NotText("not valid UTF-16");
            }
            AppendUtf8(decoded_, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00));
            i += 4;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            FeedUtf8(decoded_);
            NotText("not valid UTF-16");
        } else {
            AppendUtf8(decoded_, u);
            i += 2;
        }
    }
    utf16Pending_ = units.substr(i);
    FeedUtf8(decoded_);
}

void TextDecoder::FeedUtf8(std::string_view bytes) {
    std::size_t spanStart = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (!IsControl(c) && !endOfFileByte_) {
            afterCarriageReturn_ = false;
            continue;
        }
        line_.append(bytes.substr(spanStart, i - spanStart));
        spanStart = i + 1;
        if (endOfFileByte_) {
            if (c != 0x1A && c != '\r' && c != '\n' && c != ' ' && c != '\t')
                NotText("text after the end-of-file byte 0x1A");
        } else if (c == '\n') {
            if (!afterCarriageReturn_)
                EndLine();
            afterCarriageReturn_ = false;
        } else if (c == '\r') {
            EndLine();
            afterCarriageReturn_ = true;
        } else if (c == 0x1A) {
            endOfFileByte_ = true;
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", c);
            NotText(std::string("control byte ") + code);
        }
        if (line_.size() > kMaxLineBytes)
            NotText("a line longer than 1 MiB");
    }
    if (!endOfFileByte_)
        line_.append(bytes.substr(spanStart));
    if (line_.size() > kMaxLineBytes)
        NotText("a line longer than 1 MiB");
}

void TextDecoder::EndLine() {
    if (!IsUtf8(line_)) {
        std::string converted;
        for (const char byte : line_) {
            const auto c = static_cast<unsigned char>(byte);
            if (c < 0x80) {
                converted += byte;
                continue;
            }
            const char16_t u = c < 0xA0 ? kWindows1252High[c - 0x80] : c;
            if (u == 0)
                NotText("neither UTF-8 nor Windows-1252 text");
            AppendUtf8(converted, u);
        }
        line_ = std::move(converted);
    }
    reader_.Line(line_, lineNumber_);
    ++lineNumber_;
    line_.clear();
}

void TextDecoder::Finish() {
    if (encoding_ == Encoding::Unknown)
        DetectEncoding();
    if (!utf16Pending_.empty())
        NotText("ends within a UTF-16 character");
    if (!line_.empty())
        EndLine();
    reader_.Finish();
}

}  // namespace quillet::measurement
