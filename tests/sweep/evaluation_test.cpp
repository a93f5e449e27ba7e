#include "sweep/evaluation.h"

#include <gtest/gtest.h>

#include <bit>
#include <complex>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>

#include "measurement/read_measurement.h"
#include "sweep/report.h"

namespace quillet::sweep {
namespace {

Evaluation FromCsv(const std::string& csv, std::int16_t type) {
    return Evaluate(measurement::ReadMeasurement(csv, "test.csv"), type);
}

struct CalculatorRow {
    std::int16_t type;
    const char* csv;
    const char* deviation;
    const char* eutPhase;
};

TEST(Evaluate, ShowsWhatTheCalculatorShowsForTheSameInputs) {
    const CalculatorRow rows[] = {
        {1, "0.15,39.26,54.85", " 3.61", " 268.14"},
        {2, "0.15,39.26,54.85", " 2.7", " 268.72"},
        {3, "0.15,39.26,54.85", " 22.4", " 270.44"},
        {4, "0.15,39.26,54.85", "-11.84", " 24.64"},
        {4, "1,150,0", " 0", " 0"},
        {2, "30,50,0", "-.02", " 269.86"},
        {3, "0,0,0", "-119.83", " 359.82"},
        {2, "0,39.26,54.85", " 106.73", " 267.57"},
        {1, "0.15,39.26,-54.85", " 10.5", " 102.56"},
        {1, "0.15,39.26,360", "-4.35", " 242.36"},
        {4, "30,150,90", " 55.45", " 269.86"},
    };
    for (const auto& row : rows) {
        const Evaluation e = FromCsv(row.csv, row.type);
        ASSERT_EQ(e.points.size(), 1u);
        EXPECT_EQ(e.points[0].deviationText, row.deviation) << row.type << ": " << row.csv;
        EXPECT_EQ(e.points[0].eutPhaseText, row.eutPhase) << row.type << ": " << row.csv;
    }
    // The window clamps a magnitude above 500 ohm to 500.
    const Evaluation above = FromCsv("0.15,600,0", 1), limit = FromCsv("0.15,500,0", 1);
    EXPECT_EQ(above.points[0].deviationText, limit.points[0].deviationText);
    EXPECT_EQ(above.points[0].eutPhaseText, limit.points[0].eutPhaseText);
    EXPECT_NE(above.points[0].deviationText, "not valid");
    EXPECT_TRUE(above.points[0].inputsClamped);
    EXPECT_FALSE(limit.points[0].inputsClamped);
    EXPECT_EQ(above.summary.clamped, 1u);
    const std::string table = WriteReport(above, ReportFormat::Table, "x.csv");
    EXPECT_NE(table.find(limit.points[0].deviationText.substr(1) + "*"), std::string::npos) << table;
    // The footnote and the summary name the limits and the tolerance the
    // calculation used.
    EXPECT_NE(
        table.find("* 1 point(s) beyond the calculator's limits (0 to 500000 MHz, 0 to 500 ohm, -360 to 360 deg)"),
        std::string::npos)
        << table;
    EXPECT_NE(table.find("Outside the tolerance (+-20 % in magnitude, +-11.5 deg in phase)"), std::string::npos)
        << table;
}

TEST(Evaluate, ReadsAResultShownAsZeroAsZero) {
    // -0.00006 dB shows as 0; the reports write the 0 the box shows, not -0.
    const Evaluation e = FromCsv("1,149.999,0\n", 4);
    EXPECT_EQ(e.points[0].deviationText, " 0");
    ASSERT_TRUE(e.points[0].deviationDb);
    EXPECT_FALSE(std::signbit(*e.points[0].deviationDb));
}

TEST(Evaluate, TakesZerosAsTheCalculatorDoes) {
    // At 0 MHz the nominal type 2 network is a short; the calculator, and so
    // the exact case beside it, take 1e-6 MHz instead.
    const Evaluation e = FromCsv("0,50,0\n", 2);
    ASSERT_TRUE(e.points[0].exact);
    // Whole turns below zero leave a phase of 0, typed without a sign.
    EXPECT_EQ(FromCsv("1,50,-720\n", 2).points[0].phaseText, "0");
    EXPECT_NE(e.points[0].deviationText, "not valid");
    EXPECT_LE(*e.points[0].deviationDb, e.points[0].exact->highestDb + 0.005);
    EXPECT_GE(*e.points[0].deviationDb, e.points[0].exact->lowestDb - 0.005);
}

TEST(Evaluate, ChecksTheImpedanceTolerance) {
    // 150 ohm nominal: 120..180 ohm and +-11.5 degrees.
    const Evaluation e = FromCsv("1,150,0\n2,180,0\n3,180.1,0\n4,119.9,0\n5,120,11.5\n6,150,-11.6\n7,150,11.6\n", 4);
    const bool expected[] = {true, true, false, false, true, false, false};
    ASSERT_EQ(e.points.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(e.points[i].withinTolerance, expected[i]) << i;
    EXPECT_EQ(e.summary.outsideTolerance, 4u);
}

TEST(Evaluate, SummarisesTheWorstPoints) {
    const Evaluation e = FromCsv("1,150,0\n2,300,0\n3,100,0\n", 4);
    ASSERT_TRUE(e.summary.worstDeviation);
    EXPECT_EQ(e.summary.worstDeviation->frequencyText, "2");  // 6.02 dB beats -3.52 dB
    EXPECT_EQ(e.summary.worstDeviation->deviationText, " 6.02");
    ASSERT_TRUE(e.summary.worstExact);
    EXPECT_EQ(e.summary.worstExact->frequencyText, "2");
    EXPECT_FALSE(e.summary.firstUnbounded);
    // A measured impedance without a positive real part has no bound.
    const Evaluation open = FromCsv("1,50,0\n2,50,120\n3,50,90\n", 1);
    EXPECT_TRUE(open.points[0].exact);
    EXPECT_FALSE(open.points[1].exact);
    // A pure reactance reflects everything: no bound, no statistics.
    EXPECT_FALSE(open.points[2].exact || open.points[2].statistics);
    ASSERT_TRUE(open.summary.firstUnbounded);
    EXPECT_EQ(open.summary.firstUnbounded->frequencyText, "2");
}

// Every field of a point, each number by its bits.
std::string Fields(const EvaluatedPoint& p) {
    std::string out = p.frequencyText + '|' + p.magnitudeText + '|' + p.phaseText + '|' + p.deviationText + '|' +
                      p.eutPhaseText + '|' + (p.inputsClamped ? "clamped|" : "|") + (p.withinTolerance ? "ok|" : "|");
    const auto add = [&out](std::optional<double> value) {
        out += value ? std::to_string(std::bit_cast<std::uint64_t>(*value)) + '|' : "none|";
    };
    for (double value : {p.frequencyMHz, p.magnitudeOhm, p.phaseDegrees})
        add(value);
    add(p.deviationDb);
    add(p.eutPhaseDegrees);
    add(p.exact ? std::optional(p.exact->highestDb) : std::nullopt);
    add(p.exact ? std::optional(p.exact->lowestDb) : std::nullopt);
    add(p.statistics ? std::optional(p.statistics->meanDb) : std::nullopt);
    add(p.statistics ? std::optional(p.statistics->standardDeviationDb) : std::nullopt);
    add(p.statistics ? std::optional(p.statistics->rmsDb) : std::nullopt);
    return out;
}

TEST(Evaluate, KeepsEveryPointAsEvaluated) {
    // Zero and subnormal frequencies, zero magnitudes, results that are not
    // valid, clamped inputs, phases that round to -0 or lie on the axes,
    // unbounded points.
    measurement::Measurement m;
    const double magnitudes[] = {0, 1e-15, 0.0004, 33.3695, 50, 149.9995, 150, 600, 1e7};
    const double phases[] = {0, -0.0004, 0.0005, 11.5, -90, 90, 180, -720, 54.85};
    for (int i = 0; i < 400; ++i) {
        const double frequency = i < 18 ? i * 5e-324 : i * 0.0751;  // zero and subnormal first
        m.points.push_back({frequency, std::polar(magnitudes[i % 9], phases[i / 9 % 9] * std::numbers::pi / 180)});
    }
    for (std::int16_t type = 1; type <= 4; ++type) {
        const Evaluation e = Evaluate(m, type);
        ASSERT_EQ(e.points.size(), m.points.size());
        int notValid = 0, clamped = 0;
        for (std::size_t i = 0; i < m.points.size(); ++i) {
            const EvaluatedPoint evaluated = EvaluatePoint(m.points[i], type);
            EXPECT_EQ(Fields(e.points[i]), Fields(evaluated)) << "type " << type << ", point " << i;
            notValid += !evaluated.deviationDb;
            clamped += evaluated.inputsClamped;
        }
        EXPECT_GT(clamped, 0);
        if (type == 2) {
            EXPECT_GT(notValid, 0);
        }
    }
}

TEST(WriteReport, WritesNumbersAsNumbers) {
    const Evaluation e = FromCsv("0.15,39.26,54.85\n1,50,120\n", 1);
    const std::string json = WriteReport(e, ReportFormat::Json, "in \"quotes\".csv");
    EXPECT_NE(json.find("\"file\": \"in \\\"quotes\\\".csv\""), std::string::npos) << json;
    // A file name need not be UTF-8; the JSON must stay valid.
    EXPECT_NE(WriteReport(e, ReportFormat::Json, "m\xE4\xDF.csv").find("\"m\uFFFD\uFFFD.csv\""), std::string::npos);
    EXPECT_NE(json.find("\"deviation_dB\": 3.61, \"eut_phase_deg\": 268.14"), std::string::npos) << json;
    EXPECT_NE(json.find("\"exact_highest_dB\": null, \"exact_lowest_dB\": null, \"mean_dB\": null, "
                        "\"standard_deviation_dB\": null, \"rms_dB\": null, \"exact_unbounded\": true"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"exact_unbounded_from_MHz\": 1"), std::string::npos) << json;

    const std::string csv = WriteReport(e, ReportFormat::Csv, "x");
    EXPECT_EQ(csv.rfind("frequency_MHz,magnitude_ohm,phase_deg,deviation_dB,", 0), 0u);
    EXPECT_NE(csv.find("\n0.15,39.26,54.85,3.61,268.14,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",,,true,false,false\n"), std::string::npos) << csv;

    const std::string table = WriteReport(e, ReportFormat::Table, "x.csv");
    EXPECT_NE(table.find("Worst deviation (calculator): 8.05 dB at 1 MHz, EUT phase 270.44 deg"), std::string::npos)
        << table;
    EXPECT_NE(table.find("Worst exact case: unbounded (first at 1 MHz"), std::string::npos) << table;
    EXPECT_NE(table.find("unbounded  OUTSIDE"), std::string::npos) << table;
}

}  // namespace
}  // namespace quillet::sweep
