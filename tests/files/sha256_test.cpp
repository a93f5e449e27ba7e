#include "files/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet::files {
namespace {

// The example messages of FIPS 180 and their digests.
struct Example {
    std::string message;
    const char* digest;
};

const Example kExamples[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopq"
     "rstu",
     "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
    // Lengths either side of where the padding needs a second block.
    {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
    {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
    {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

TEST(Sha256, GivesTheExampleDigests) {
    for (const Example& example : kExamples)
        EXPECT_EQ(Sha256Hex(example.message), example.digest) << example.message.size() << " bytes";
}

TEST(Sha256, GivesTheSameDigestWhateverThePieces) {
    for (const Example& example : kExamples) {
        for (const std::size_t piece : {1u, 7u, 63u, 64u, 65u}) {
            Sha256 sha;
            for (std::size_t at = 0; at < example.message.size(); at += piece)
                sha.Add(std::string_view(example.message).substr(at, piece));
            std::string hex;
            for (const auto byte : sha.Finish()) {
                static constexpr char kDigits[] = "0123456789abcdef";
                hex += kDigits[byte >> 4];
                hex += kDigits[byte & 15];
            }
            EXPECT_EQ(hex, example.digest) << example.message.size() << " bytes in pieces of " << piece;
        }
    }
}

}  // namespace
}  // namespace quillet::files
