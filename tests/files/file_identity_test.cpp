#include "files/file_identity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace quillet::files {
namespace {

namespace fs = std::filesystem;

TEST(SameFile, KnowsAFileByItsIdentityNotItsName) {
    const fs::path directory =
        fs::temp_directory_path() /
        ("quillet-identity-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(directory);
    fs::create_directories(directory / "sub");
    std::ofstream(directory / "measurement.csv") << "1,50,0\n";
    std::ofstream(directory / "other.csv") << "1,50,0\n";
    fs::create_hard_link(directory / "measurement.csv", directory / "hard.csv");
#ifndef _WIN32
    fs::create_symlink("measurement.csv", directory / "link.csv");
#endif
    const std::string m = (directory / "measurement.csv").string();
    struct Case {
        const char* other;  // beside the measurement
        bool same;
    };
    const Case cases[] = {
        {"sub/../measurement.csv", true},
        {"hard.csv", true},
#ifndef _WIN32
        {"link.csv", true},
#endif
        {"other.csv", false},
        {"new.csv", false},  // a name that does not exist yet is never the measurement
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.other);
        EXPECT_EQ(SameFile((directory / c.other).string(), m), c.same);
    }
    // Two names of which neither exists: the same place, or not.
    EXPECT_TRUE(SameFile((directory / "new.svg").string(), (directory / "sub" / ".." / "new.svg").string()));
    EXPECT_FALSE(SameFile((directory / "new.svg").string(), (directory / "new.png").string()));
    fs::remove_all(directory);
}

}  // namespace
}  // namespace quillet::files
