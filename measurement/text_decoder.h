// Turns the bytes of a text file, fed in chunks of any size, into numbered
// lines of UTF-8, whatever wrote the file: UTF-8 with or without a
// byte-order mark, Windows-1252 (a line that is not UTF-8 is taken as
// such, as Windows programs write a degree sign or a sharp s), UTF-16 after
// its byte-order mark; LF, CR LF or CR line ends; an end-of-file byte
// (0x1A) at the end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "measurement/measurement.h"

namespace quillet::measurement {

class TextDecoder {
public:
    // Lines go to reader; file names the source in errors.
    TextDecoder(const std::string& file, LineReader& reader) : file_(file), reader_(reader) {}

    // Throws ReadError for bytes that are no text, or from the reader.
    void Feed(std::string_view bytes);
    // After the last chunk: the last line, then the reader's Finish().
    void Finish();

    // A longer line is no measurement data; the limit keeps memory small.
    static constexpr std::size_t kMaxLineBytes = 1 << 20;

private:
    enum class Encoding { Unknown, Utf8, Utf16LittleEndian, Utf16BigEndian };

    void DetectEncoding();
    void FeedUtf16(std::string_view bytes);
    void FeedUtf8(std::string_view bytes);
    void EndLine();
    [[noreturn]] void NotText(const std::string& why) const;

    const std::string& file_;
    LineReader& reader_;
    Encoding encoding_ = Encoding::Unknown;
    std::string start_;         // the first bytes, until the encoding is known
    std::string utf16Pending_;  // an odd byte or a lone high surrogate
    std::string line_;
    std::string decoded_;
    int lineNumber_ = 1;
    bool afterCarriageReturn_ = false;
    bool endOfFileByte_ = false;
};

}  // namespace quillet::measurement
