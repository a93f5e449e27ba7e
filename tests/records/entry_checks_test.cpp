#include "records/entry_checks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillet::records {
namespace {

TEST(EntryChecks, NamesEachFaultOfANewNetwork) {
    const std::vector<Network> existing = {Network{{"Maker", "AN-1", "SN-1", 1, "L1", 365, ""}, 1, ""}};
    struct Case {
        NewNetwork network;
        const char* fault;  // a word of the one message expected; none: accepted
    } cases[] = {
        {{"M", "X", "SN-2", 1, "", 365, ""}, nullptr},   {{"M", "X", "SN-2", 4, "", 1, ""}, nullptr},
        {{"M", "X", " ", 1, "", 365, ""}, "missing"},    {{"M", "X", "SN-1", 1, "", 365, ""}, "already"},
        {{"M", "X", "SN-2", 0, "", 365, ""}, "AN type"}, {{"M", "X", "SN-2", 5, "", 365, ""}, "AN type"},
        {{"M", "X", "SN-2", 1, "", 0, ""}, "interval"},  {{"M", "X", "SN-2", 1, "", -30, ""}, "interval"},
    };
    for (const Case& c : cases) {
        const auto problems = NetworkProblems(c.network, existing);
        if (c.fault == nullptr) {
            EXPECT_TRUE(problems.empty()) << c.network.serial;
            continue;
        }
        ASSERT_EQ(problems.size(), 1u) << c.fault;
        EXPECT_NE(problems[0].find(c.fault), std::string::npos) << problems[0];
    }
}

TEST(EntryChecks, TakesAllThreeUncertaintyFiguresOrNone) {
    struct Case {
        const char *magnitude, *phase, *k;
        bool given, faulty;
    } cases[] = {
        {"", "", "", false, false},        {"2.5", "0.8", "2", true, false},  {" 0 ", "0", "1", true, false},
        {"2.5", "", "", false, true},      {"", "", "2", false, true},        {"-1", "0.8", "2", false, true},
        {"2,5", "0.8", "2", false, true},  {"inf", "0.8", "2", false, true},  {"nan", "0.8", "2", false, true},
        {"2.5", "0.8", "0", false, true},  {"2.5", "x", "2", false, true},    {"1e999", "0.8", "2", false, true},
        {"2.5%", "0.8", "2", true, false}, {"2.5", "0.8%", "2", false, true}, {"%", "0.8", "2", false, true},
    };
    for (const Case& c : cases) {
        std::vector<std::string> problems;
        const auto u = UncertaintyOf(c.magnitude, c.phase, c.k, problems);
        EXPECT_EQ(u.has_value(), c.given) << c.magnitude << " " << c.phase << " " << c.k;
        EXPECT_EQ(!problems.empty(), c.faulty) << c.magnitude << " " << c.phase << " " << c.k;
    }
    std::vector<std::string> problems;
    const auto u = UncertaintyOf("2.5", "0.8", "2", problems);
    ASSERT_TRUE(u);
    EXPECT_EQ(u->magnitudePercent, 2.5);
    EXPECT_EQ(u->phaseDegrees, 0.8);
    EXPECT_EQ(u->coverageFactor, 2.0);
}

TEST(EntryChecks, NeedsRealDaysAndWhoMeasuredWithWhat) {
    NewVerification good;
    good.serial = "SN-1";
    good.date = "2026-02-28";
    good.operatorName = "A. Operator";
    good.instrument = "VNA 1";
    good.instrumentCalibrationDue = "2027-01-31";
    good.line = "L1";
    const std::string today = "2026-03-01";
    EXPECT_TRUE(VerificationProblems(good, today).empty());
    const auto faulty = [&](auto change) {
        NewVerification v = good;
        change(v);
        return VerificationProblems(v, today).size();
    };
    EXPECT_EQ(faulty([](auto& v) { v.date = "2026-02-29"; }), 1u);
    EXPECT_EQ(faulty([](auto& v) { v.date = "28.02.2026"; }), 1u);
    EXPECT_EQ(faulty([](auto& v) { v.instrumentCalibrationDue = ""; }), 1u);
    EXPECT_EQ(faulty([](auto& v) { v.operatorName.assign(2, ' '); }), 1u);
    EXPECT_EQ(faulty([](auto& v) { v.serial.clear(); }), 1u);
    // Tomorrow may be a lab's today; later days, and an instrument out of
    // calibration on the day, cannot be right.
    EXPECT_EQ(faulty([](auto& v) { v.date = "2026-03-02"; }), 0u);
    EXPECT_EQ(faulty([](auto& v) { v.date = "2026-03-03"; }), 1u);
    EXPECT_EQ(faulty([](auto& v) { v.date = "2062-02-28"; }), 2u);
    EXPECT_EQ(faulty([](auto& v) { v.instrumentCalibrationDue = "2026-02-28"; }), 0u);
    EXPECT_EQ(faulty([](auto& v) { v.instrumentCalibrationDue = "2026-02-27"; }), 1u);
}

TEST(EntryChecks, NamesCachedFilesAndRecordsSafely) {
    const struct {
        const char *recorded, *cached;
    } cases[] = {
        {"sweep.s1p", "f00d-sweep.s1p"},
        {"../../etc/passwd", "f00d-passwd"},
        {"C:\\lab\\AN 1.csv", "f00d-AN_1.csv"},
        {"..", "f00d-measurement.."},
        {"", "f00d-measurement"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CachedMeasurementName("f00d", c.recorded), c.cached) << c.recorded;
    EXPECT_EQ(RecordPdfName("SN/4711 a", "2026-11-30", 12), "SN_4711_a-2026-11-30-verification-12.pdf");
    EXPECT_EQ(HistoryPdfName("SN-4711", "2026-11-30"), "SN-4711-2026-11-30-history.pdf");
}

}  // namespace
}  // namespace quillet::records
