#include "records/due.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/verification_register.h"
#include "tests/records/register_support.h"

namespace quillet::records {
namespace {

TEST_F(RegisterTest, ListsTheOverdueFirstFromTheVerificationsInForce) {
    VerificationRegister reg(PathOf("register.sqlite"), OpenFor::Writing);
    const NewVerification sample = Verification("");
    struct Verified {
        const char* serial;
        const char* date;
        const char* outcome;
        bool withdrawn;
    };
    const Verified verified[] = {
        {"B", "2026-01-01", "pass", false},  // due 2027-01-01
        {"C", "2025-01-01", "pass", false},  // due 2025-01-31: overdue
        {"D", "2026-11-01", "fail", false},  // no passing verification: overdue
        {"E", "2025-06-01", "pass", false},  // due 2026-05-27 ...
        {"E", "2026-06-01", "pass", true},   // ... as the later one is withdrawn
    };
    for (const char* serial : {"A", "B", "C", "D", "E"}) {
        NewNetwork network = Network(serial);
        network.intervalDays = std::string(serial) == "C" ? 30 : 360;
        reg.AddNetwork(network);
    }
    for (const Verified& v : verified) {
        NewVerification record = sample;
        record.serial = v.serial;
        record.date = v.date;
        record.results.decisionVerdict.outcome = v.outcome;
        const auto id = reg.Record(record);
        if (v.withdrawn)
            reg.Withdraw({id, "wrong line", "B. Checker"});
    }

    struct Expected {
        const char* serial;
        const char* dueOn;  // "": none
        bool overdue;
    };
    const std::vector<Expected> expected = {
        {"A", "", true},
        {"D", "", true},
        {"C", "2025-01-31", true},
        {"E", "2026-05-27", true},
        {"B", "2026-12-27", false},
    };
    const auto list = DueList(reg, "2026-12-08");
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].network.serial, expected[i].serial) << i;
        EXPECT_EQ(list[i].dueOn.value_or(""), expected[i].dueOn) << expected[i].serial;
        EXPECT_EQ(list[i].overdue, expected[i].overdue) << expected[i].serial;
    }
}

}  // namespace
}  // namespace quillet::records
