// Several programs at one register, and a program killed while writing.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sqlite3.h>
#include <string>
#include <thread>
#include <vector>

#include "files/sha256.h"
#include "records/verification_register.h"
#include "tests/records/register_support.h"

namespace quillet::records {
namespace {

// Runs the work in a child process; its exit status is 0 when it did not throw.
template <typename Work>
pid_t InChild(Work&& work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            work();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "child: %s\n", error.what());
            ::_exit(1);
        }
        ::_exit(0);
    }
    return pid;
}

int ExitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RegisterTest, TwoProgramsRecordingAtOnceBothSucceed) {
    const std::string path = PathOf("register.sqlite");
    VerificationRegister(path, OpenFor::Writing).AddNetwork(Network("S-1"));
    constexpr int kEach = 40;
    std::vector<pid_t> writers;
    for (const char* writer : {"first", "second"}) {
        writers.push_back(InChild([&] {
            NewVerification v = Verification("S-1");
            VerificationRegister reg(path, OpenFor::Writing);
            for (int i = 0; i < kEach; ++i) {
                v.operatorName = std::string(writer) + " " + std::to_string(i);
                reg.Record(v);
            }
        }));
    }
    for (const pid_t writer : writers)
        EXPECT_EQ(ExitStatus(writer), 0);
    EXPECT_EQ(VerificationRegister(path, OpenFor::Reading).Verifications().size(), 2u * kEach);
}

TEST_F(RegisterTest, AWriteThatWaitsInVainSaysSoAndWritesNothing) {
    const std::string path = PathOf("register.sqlite");
    VerificationRegister reg(path, OpenFor::Writing);
    reg.AddNetwork(Network("S-1"));
    // The program's own wait is long; the message and the refusal are the same.
    constexpr int kShortWait = 1500;
    reg.SetBusyTimeout(kShortWait);
    sqlite3* other = nullptr;
    sqlite3_open(path.c_str(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto start = std::chrono::steady_clock::now();
    try {
        reg.AddNetwork(Network("S-2"));
        ADD_FAILURE() << "written while another program held the register";
    } catch (const RegisterError& error) {
        EXPECT_NE(std::string(error.what()).find("writing to the register for more than 1.5 s; nothing was written"),
                  std::string::npos)
            << error.what();
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kShortWait));
    }
    sqlite3_close(other);
    EXPECT_EQ(reg.Networks().size(), 1u);
}

TEST_F(RegisterTest, AWriteCutOffLeavesTheRegisterSoundWithTheRecordWholeOrNotAtAll) {
    const std::string path = PathOf("register.sqlite");
    const std::string journal = path + "-journal";
    const std::size_t kLarge = 48u << 20;
    VerificationRegister(path, OpenFor::Writing).AddNetwork(Network("S-1"));
    bool cutOffMidWrite = false;
    for (const int afterMs : {0, 30, 150}) {
        const pid_t writer = InChild([&] {
            NewVerification v = Verification("S-1");
            v.fileBytes.resize(kLarge, '7');
            VerificationRegister reg(path, OpenFor::Writing);
            for (;;)
                reg.Record(v);
        });
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!std::filesystem::exists(journal) && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        cutOffMidWrite = cutOffMidWrite || std::filesystem::exists(journal);

        VerificationRegister reg(path, OpenFor::Writing);
        EXPECT_EQ(reg.connection().Text("PRAGMA integrity_check"), "ok");
        for (const auto& kept : reg.Verifications()) {
            const auto whole = reg.Get(kept.id);
            EXPECT_EQ(whole.fileBytes.size(), kLarge);
            EXPECT_EQ(files::Sha256Hex(whole.fileBytes), whole.fileSha256);
        }
    }
    EXPECT_TRUE(cutOffMidWrite) << "no write was cut off: the test proves nothing";
}

}  // namespace
}  // namespace quillet::records
