// SHA-256 of bytes, for fingerprints of the files a record keeps.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::files {

// Takes bytes piece by piece; the digest is that of all of them in order.
class Sha256 {
public:
    Sha256();
    void Add(std::string_view bytes);
    // The digest; the object is spent afterwards.
    std::array<std::uint8_t, 32> Finish();

private:
    void Block(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// The digest of the bytes as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);
std::string DigestHex(const std::array<std::uint8_t, 32>& digest);

// The digest of a file's bytes as they are now (a name as the file
// functions take it, UTF-8 on Windows); none when it cannot be read.
std::optional<std::string> Sha256OfFile(const std::string& name);

}  // namespace quillet::files
