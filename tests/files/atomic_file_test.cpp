#include "files/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillet::files {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() / ("quillet-atomic-" + std::to_string(::getpid()));
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }

    std::string Read(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::size_t Entries() { return static_cast<std::size_t>(std::distance(fs::directory_iterator(directory), {})); }

    fs::path directory;
};

TEST_F(AtomicFileTest, WritesAndReplacesWholeFiles) {
    const fs::path target = directory / "result.csv";
    WriteFileAtomically(target, "first\n");
    EXPECT_EQ(Read(target), "first\n");
    WriteFileAtomically(target, std::string(1 << 20, 'x'));
    EXPECT_EQ(Read(target).size(), 1u << 20);
    EXPECT_EQ(Entries(), 1u);  // no temporary file left behind
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::owner_read, fs::perms::owner_read);
}

TEST_F(AtomicFileTest, FailsWithoutTouchingWhatIsThere) {
    EXPECT_THROW(WriteFileAtomically(directory / "missing" / "result.csv", "x"), std::runtime_error);
    const fs::path occupied = directory / "a directory";
    fs::create_directories(occupied / "inside");
    EXPECT_THROW(WriteFileAtomically(occupied, "x"), std::runtime_error);
    EXPECT_TRUE(fs::is_directory(occupied / "inside"));
    EXPECT_EQ(Entries(), 1u);  // only the directory: the temporary file is gone
}

}  // namespace
}  // namespace quillet::files
