#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sqlite3.h>
#include <string>

#include "files/sha256.h"
#include "records/register_path.h"
#include "records/schema.h"
#include "records/verification_register.h"
#include "tests/records/register_support.h"

namespace quillet::records {
namespace {

namespace fs = std::filesystem;

TEST_F(RegisterTest, KeepsTheRecordAndItsFileAsGivenAndEvaluatesItAgainAlike) {
    const std::string path = PathOf("lab/register.sqlite");  // its folder made on the first write
    const NewVerification given = Verification("S-1");
    std::int64_t id = 0;
    {
        VerificationRegister reg(path, OpenFor::Writing);
        reg.AddNetwork(Network("S-1"));
        id = reg.Record(given);
    }
    VerificationRegister reg(path, OpenFor::Reading);
    const records::Verification kept = reg.Get(id);
    EXPECT_EQ(kept.fileBytes, given.fileBytes);
    EXPECT_EQ(kept.fileSha256, files::Sha256Hex(given.fileBytes));
    EXPECT_EQ(kept.date, given.date);
    EXPECT_EQ(kept.terminals, given.terminals);
    ASSERT_TRUE(kept.uncertainty);
    EXPECT_EQ(kept.uncertainty->coverageFactor, 2);
    EXPECT_EQ(kept.results.decisionVerdict.outcome, given.results.decisionVerdict.outcome);
    EXPECT_EQ(kept.results.worstMargin, given.results.worstMargin);
    EXPECT_NE(kept.results.bandsJson.find("\"tolerance_limit\""), std::string::npos);

    EXPECT_TRUE(
        Differences(kept.results, EvaluateMeasurement(kept.fileBytes, kept.fileName, 1, kept.uncertainty)).empty());
    // ... and a change of one digit, or another AN type, shows.
    std::string changed = kept.fileBytes;
    changed[changed.find("0.388826700")] = '1';
    EXPECT_FALSE(Differences(kept.results, EvaluateMeasurement(changed, kept.fileName, 1, kept.uncertainty)).empty());
    EXPECT_FALSE(
        Differences(kept.results, EvaluateMeasurement(kept.fileBytes, kept.fileName, 2, kept.uncertainty)).empty());
}

TEST(Results, PassWhenEveryPointIsWithinTheTolerance) {
    // The sample's error grows past the tolerance above about 20 MHz.
    const std::string sample = RegisterTest::Bytes(QUILLET_SAMPLES "/an-type1-sweep.s1p");
    struct Case {
        std::size_t lines;
        const char* outcome;
    };
    for (const Case c : {Case{100, "pass"}, Case{204, "fail"}}) {
        std::size_t end = 0;
        for (std::size_t i = 0; i < c.lines; ++i)
            end = sample.find('\n', end) + 1;
        const Results results = EvaluateMeasurement(sample.substr(0, end), "sample.s1p", 1, std::nullopt);
        EXPECT_EQ(results.decisionVerdict.outcome, c.outcome) << c.lines;
        ASSERT_TRUE(results.worstMargin);
        EXPECT_EQ(*results.worstMargin >= 0, std::string(c.outcome) == "pass") << *results.worstMargin;
    }
}

TEST_F(RegisterTest, NeverChangesOrDeletesARecord) {
    const std::string path = PathOf("register.sqlite");
    {
        VerificationRegister reg(path, OpenFor::Writing);
        reg.AddNetwork(Network("S-1"));
        reg.Withdraw({reg.Record(Verification("S-1")), "wrong fixture", "B. Checker"});
    }
    const std::string before = Bytes(path);
    VerificationRegister reg(path, OpenFor::Writing);
    for (const char* sql : {
             "UPDATE networks SET serial = 'S-2'",
             "DELETE FROM networks",
             "UPDATE verifications SET verdict = 'pass'",
             "UPDATE verifications SET file_bytes = x'00'",
             "DELETE FROM verifications",
             "UPDATE withdrawals SET reason = ''",
             "DELETE FROM withdrawals",
         }) {
        EXPECT_NE(sqlite3_exec(reg.connection().get(), sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    }
    EXPECT_EQ(Bytes(path), before);
    ASSERT_EQ(reg.Verifications().size(), 1u);
    EXPECT_EQ(reg.Verifications()[0].withdrawalReason, "wrong fixture");
}

TEST_F(RegisterTest, RefusesFilesItCannotTrustAndLeavesThemAsTheyWere) {
    // A sound register to spoil in several ways.
    const std::string sound = PathOf("sound.sqlite");
    {
        VerificationRegister reg(sound, OpenFor::Writing);
        for (int i = 0; i < 40; ++i)
            reg.AddNetwork(Network("S-" + std::to_string(i)));
    }
    const auto sqlite = [&](const std::string& name, const char* sql) {
        const std::string path = PathOf(name);
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    sqlite("foreign.sqlite", "PRAGMA application_id = 1234; CREATE TABLE t (x)");
    sqlite("tables.sqlite", "CREATE TABLE t (x)");
    fs::copy_file(sound, PathOf("newer.sqlite"));
    sqlite("newer.sqlite", "PRAGMA user_version = 2");
    std::ofstream(PathOf("text.sqlite")) << "frequency,magnitude,phase\n1,50,0\n";
    fs::copy_file(sound, PathOf("damaged.sqlite"));
    {
        // The networks' table, past its first page, overwritten.
        std::fstream file(PathOf("damaged.sqlite"), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(2 * 4096 + 8);
        file << std::string(64, '\xff');
    }

    struct Case {
        const char* file;
        const char* why;
    };
    const Case cases[] = {
        {"text.sqlite", "not an SQLite database"},
        {"damaged.sqlite", "damaged"},
        {"foreign.sqlite", "another program (application id 0x000004d2)"},
        {"tables.sqlite", "another program's tables"},
        {"newer.sqlite", "newer version"},
    };
    for (const Case& c : cases) {
        const std::string path = PathOf(c.file);
        const std::string before = Bytes(path);
        for (const OpenFor openFor : {OpenFor::Reading, OpenFor::Writing}) {
            try {
                VerificationRegister reg(path, openFor);
                ADD_FAILURE() << c.file << " was opened";
            } catch (const RegisterError& error) {
                EXPECT_NE(std::string(error.what()).find(path + ": "), std::string::npos) << error.what();
                EXPECT_NE(std::string(error.what()).find(c.why), std::string::npos) << error.what();
            }
        }
        EXPECT_EQ(Bytes(path), before) << c.file;
        EXPECT_FALSE(fs::exists(path + "-journal")) << c.file;
    }
}

TEST_F(RegisterTest, BringsAnOlderRegisterUpToDate) {
    // Version 0 is a register without tables: what a new file is, and what
    // this hand-made one says it is.
    const std::string path = PathOf("old.sqlite");
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, ("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    VerificationRegister reg(path, OpenFor::Reading);
    EXPECT_EQ(reg.connection().Integer("PRAGMA user_version"), kSchemaVersion);
    reg.AddNetwork(Network("S-1"));
    EXPECT_EQ(reg.Networks().size(), 1u);
}

TEST_F(RegisterTest, ReadsARegisterWithoutWritePermissionAndRefusesToWrite) {
    const std::string path = PathOf("register.sqlite");
    {
        VerificationRegister reg(path, OpenFor::Writing);
        reg.AddNetwork(Network("S-1"));
    }
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    const std::string before = Bytes(path);
    VerificationRegister reg(path, OpenFor::Writing);
    EXPECT_TRUE(reg.readOnly());
    EXPECT_EQ(reg.Networks().size(), 1u);
    try {
        reg.AddNetwork(Network("S-2"));
        ADD_FAILURE() << "written";
    } catch (const RegisterError& error) {
        EXPECT_NE(std::string(error.what()).find("read-only"), std::string::npos) << error.what();
    }
    EXPECT_EQ(Bytes(path), before);
}

TEST_F(RegisterTest, BacksUpToANewFileOnly) {
    const std::string path = PathOf("register.sqlite");
    VerificationRegister reg(path, OpenFor::Writing);
    reg.AddNetwork(Network("S-1"));
    const std::int64_t id = reg.Record(Verification("S-1"));
    reg.Backup(PathOf("copy.sqlite"), false);
    VerificationRegister copy(PathOf("copy.sqlite"), OpenFor::Reading);
    EXPECT_EQ(copy.Get(id).fileBytes, reg.Get(id).fileBytes);

    EXPECT_THROW(reg.Backup(PathOf("copy.sqlite"), false), RegisterError);
    EXPECT_THROW(reg.Backup(path, true), RegisterError);
    EXPECT_NO_THROW(reg.Backup(PathOf("copy.sqlite"), true));
}

}  // namespace
}  // namespace quillet::records

namespace quillet::records {
namespace {

TEST(DefaultRegisterPath, FollowsTheDataFolderOfTheSession) {
    struct Case {
        const char* dataHome;  // nullptr: unset
        const char* home;
        const char* path;  // nullptr: refused
    };
    const Case cases[] = {
        {"/data", "/home/a", "/data/quillet/register.sqlite"},
        {nullptr, "/home/a", "/home/a/.local/share/quillet/register.sqlite"},
        {"relative", "/home/a", "/home/a/.local/share/quillet/register.sqlite"},  // a relative one counts as unset
        {nullptr, nullptr, nullptr},
    };
    const auto set = [](const char* name, const char* value) {
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    };
    const auto saved = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto dataHome = saved("XDG_DATA_HOME"), home = saved("HOME");
    for (const Case& c : cases) {
        set("XDG_DATA_HOME", c.dataHome);
        set("HOME", c.home);
        if (c.path)
            EXPECT_EQ(DefaultRegisterPath(), c.path);
        else
            EXPECT_THROW(DefaultRegisterPath(), RegisterError);
    }
    set("XDG_DATA_HOME", dataHome ? dataHome->c_str() : nullptr);
    set("HOME", home ? home->c_str() : nullptr);
}

}  // namespace
}  // namespace quillet::records
