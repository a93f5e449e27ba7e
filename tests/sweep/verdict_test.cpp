#include "sweep/verdict.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <numbers>
#include <sstream>
#include <string>

#include "measurement/read_measurement.h"
#include "sweep/evaluation.h"
#include "sweep/report.h"

namespace quillet::sweep {
namespace {

constexpr auto P = Outcome::Pass, CP = Outcome::ConditionalPass, CF = Outcome::ConditionalFail, F = Outcome::Fail;

DecisionRule Guarded(double magnitudePercent, double phaseDegrees) {
    return {MeasurementUncertainty{magnitudePercent, phaseDegrees, 2.0}};
}

TEST(JudgePoint, PlacesPointsAroundEachEdge) {
    // Tolerance 80..120 % and +-11.5 deg. With U = 2 % of the measured
    // magnitude and 1 deg the guard band is 2 * ratio points and 1 deg.
    struct Row {
        double ratio, phase;
        Outcome simple, guarded;
    };
    const Row rows[] = {
        {1.0, 0, P, P},          {1.2, 0, P, CP},     // on the edge: inside
        {1.2 + 1e-12, 0, F, CF}, {1.15, 0, P, P},     // 5 points inside, band 2.3
        {1.19, 0, P, CP},                             // 1 point inside, band 2.38
        {1.21, 0, F, CF},                             // 1 point outside, band 2.42
        {1.25, 0, F, F},                              // 5 points outside
        {0.8, 0, P, CP},                              // the lower edge
        {0.8 - 1e-12, 0, F, CF}, {0.83, 0, P, P},     // 3 points inside, band 1.66
        {0.81, 0, P, CP},                             // 1 point inside, band 1.62
        {0.79, 0, F, CF},                             // 1 point outside, band 1.58
        {0.75, 0, F, F},         {1.0, 11.5, P, CP},  // the phase's edges
        {1.0, -11.5, P, CP},     {1.0, 11.5 + 1e-12, F, CF},
        {1.0, -10, P, P},    // 1.5 deg inside
        {1.0, 10.8, P, CP},  // 0.7 deg inside
        {1.0, -12.4, F, CF},     {1.0, 12.6, F, F},
        {1.19, 12.6, F, F},    // the worse of magnitude and phase
        {1.21, -10.8, F, CF},  // outside in magnitude only, by less than the band
        {0.81, 10.8, P, CP},
    };
    for (const Row& row : rows) {
        const ToleranceOffset offset{row.ratio, row.phase};
        EXPECT_EQ(JudgePoint(offset, {}).outcome, row.simple) << row.ratio << ", " << row.phase;
        EXPECT_EQ(JudgePoint(offset, Guarded(2, 1)).outcome, row.guarded) << row.ratio << ", " << row.phase;
        EXPECT_EQ(WithinTolerance(offset), row.simple == P);
        // No uncertainty at all leaves simple acceptance's outcome.
        EXPECT_EQ(JudgePoint(offset, Guarded(0, 0)).outcome, row.simple) << row.ratio << ", " << row.phase;
    }
}

TEST(JudgePoint, ClassesTheGuardBandsBoundsAndTheMeasuredMagnitudesShare) {
    struct Row {
        double ratio, phase, magnitudeU, phaseU;
        Outcome expected;
    };
    const Row rows[] = {
        {1.0, 11.0, 0, 0.5, P},  // inside by exactly the band: pass
        {1.0, 12.0, 0, 0.5, F},  // outside by exactly the band: fail
        // U is of the measured magnitude: 0.83 % of 121 % is 1.0043 points,
        // more than the 1 point outside; 1.2 % of 81 % is 0.972 points,
        // less than the 1 point inside.
        {1.21, 0, 0.83, 0, CF},
        {0.81, 0, 1.2, 0, P},
    };
    for (const Row& row : rows)
        EXPECT_EQ(JudgePoint(ToleranceOffset{row.ratio, row.phase}, Guarded(row.magnitudeU, row.phaseU)).outcome,
                  row.expected)
            << row.ratio << ", " << row.phase;
    const PointJudgement j = JudgePoint(ToleranceOffset{1.25, -3}, {});
    EXPECT_NEAR(j.magnitudeMarginPercent, -5, 1e-12);
    EXPECT_EQ(j.phaseMarginDegrees, 8.5);
    EXPECT_NEAR(j.RelativeMargin(), -0.25, 1e-12);
    EXPECT_TRUE(j.MagnitudeIsNearer());
}

TEST(OffsetFromNominal, WrapsThePhaseDifference) {
    struct Row {
        double measured, nominal, offset;
        bool within;
    };
    const Row rows[] = {
        {359, 0, -1, true},     {-349, 0, 11, true}, {348.5, 0, -11.5, true}, {-181, 0, 179, false},
        {371.5, 0, 11.5, true}, {720, 0, 0, true},   {-315, 45, 0, true},     {-280, 70, 10, true},
    };
    for (const Row& row : rows) {
        const ToleranceOffset offset =
            OffsetFromNominal(150, row.measured, std::polar(150.0, row.nominal * std::numbers::pi / 180));
        EXPECT_NEAR(offset.phaseDegrees, row.offset, 1e-9) << row.measured << " against " << row.nominal;
        EXPECT_NEAR(offset.magnitudeRatio, 1, 1e-12);
        EXPECT_EQ(WithinTolerance(offset), row.within) << row.measured << " against " << row.nominal;
    }
}

TEST(Verdict, TakesTheWorstPoint) {
    struct Row {
        std::vector<Outcome> points;
        Outcome overall;
    };
    const Row rows[] = {
        {{P, P}, P}, {{P, CP, P}, CP}, {{CF, CP}, CF}, {{P, F, CF}, F}, {{F}, F}, {{CP, CF, P}, CF},
    };
    for (const Row& row : rows) {
        Verdict v;
        double f = 1;
        for (const Outcome outcome : row.points)
            v.Add({outcome, 10, 10}, f++);
        EXPECT_EQ(v.outcome, row.overall);
    }
    // Nothing judged is no pass.
    EXPECT_EQ(Verdict().outcome, F);
    EXPECT_FALSE(Verdict().Judged());
    // The worst margin compares magnitude and phase as shares of their
    // tolerance: 2 points of 20 is nearer than 1.5 deg of 11.5, and 1.1 deg
    // nearer still.
    Verdict v;
    v.Add({P, 2, 5}, 1);
    v.Add({P, 10, 1.5}, 2);
    ASSERT_TRUE(v.worstMargin);
    EXPECT_EQ(v.worstMargin->frequencyMHz, 1);
    EXPECT_TRUE(v.worstMargin->judgement.MagnitudeIsNearer());
    v.Add({P, 4, 1.1}, 3);
    EXPECT_EQ(v.worstMargin->frequencyMHz, 3);
    EXPECT_FALSE(v.worstMargin->judgement.MagnitudeIsNearer());
}

TEST(Verdict, IsTheSameFromTheSummaryAndFromTheKeptPoints) {
    // 150 ohm nominal: in, near the edge inside and outside, far out.
    const Evaluation e =
        Evaluate(measurement::ReadMeasurement("1,150,0\n2,179,0\n3,150,12\n4,100,0\n5,150,-11\n", "test.csv"), 4);
    const DecisionRule rules[] = {{}, Guarded(1, 1)};
    for (const DecisionRule& rule : rules) {
        Summary streamed = SummaryOfBands({}, rule);
        for (const EvaluatedPoint& p : e.points)
            streamed.Add(p);
        const Verdict kept = JudgeEvaluation(e, rule);
        EXPECT_EQ(kept.points, streamed.verdict.points);
        EXPECT_EQ(kept.outcome, streamed.verdict.outcome);
        ASSERT_TRUE(kept.worstMargin);
        EXPECT_EQ(kept.worstMargin->frequencyMHz, 4);
        EXPECT_EQ(kept.worstMargin->judgement.magnitudeMarginPercent,
                  streamed.verdict.worstMargin->judgement.magnitudeMarginPercent);
    }
    EXPECT_EQ(JudgeEvaluation(e, {}).outcome, F);
    EXPECT_EQ(JudgeEvaluation(e, Guarded(1, 1)).points, (std::array<std::size_t, 4>{1, 2, 1, 1}));
    EXPECT_EQ(e.summary.verdict.points, (std::array<std::size_t, 4>{3, 0, 0, 2}));  // the window's: simple
}

TEST(Verdict, IsStatedInEveryReportUnderTheGuardedRule) {
    const Evaluation e = Evaluate(measurement::ReadMeasurement("1,150,0\n2,179,0\n", "test.csv"), 4);
    const DecisionRule rule{MeasurementUncertainty{1.5, 2, 1.96}};
    Summary summary = SummaryOfBands({}, rule);
    std::ostringstream table, csv, json;
    const auto writers = {MakeReportWriter(ReportFormat::Table, table, 4, "x.csv", rule),
                          MakeReportWriter(ReportFormat::Csv, csv, 4, "x.csv", rule),
                          MakeReportWriter(ReportFormat::Json, json, 4, "x.csv", rule)};
    for (const EvaluatedPoint& p : e.points) {
        summary.Add(p);
        for (const auto& writer : writers)
            writer->Row(p);
    }
    for (const auto& writer : writers)
        writer->Finish(summary, {});
    const std::string text = table.str();
    EXPECT_NE(text.find("  outcome\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  conditional pass\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Decision rule: Guarded acceptance, guard band w = U (expanded uncertainty U = 1.5 % of the "
                        "measured magnitude and 2 deg in phase, coverage factor k = 1.96)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Verdict: conditional pass (1 pass, 1 conditional pass, 0 conditional fail, 0 fail)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Worst margin to the tolerance's edge: 0.6667 % points in magnitude at 2 MHz"),
              std::string::npos)
        << text;
    EXPECT_NE(csv.str().find(",outcome,magnitude_margin_pct,phase_margin_deg\n"), std::string::npos);
    EXPECT_NE(csv.str().find(",false,conditional pass,0.666666"), std::string::npos) << csv.str();
    const auto parsed = nlohmann::json::parse(json.str());
    EXPECT_EQ(parsed["points"][1]["outcome"], "conditional pass");
    EXPECT_EQ(parsed["summary"]["verdict"], "conditional pass");
    EXPECT_EQ(parsed["summary"]["uncertainty"]["coverage_factor"], 1.96);
    EXPECT_EQ(parsed["summary"]["decision_rule"], RuleText(rule));
    EXPECT_EQ(parsed["summary"]["worst_margin"]["frequency_MHz"], 2);
    // Simple acceptance writes the reports as before: no outcome column.
    EXPECT_EQ(WriteReport(e, ReportFormat::Csv, "x").find("outcome"), std::string::npos);
    EXPECT_EQ(RuleText({}).rfind("Simple acceptance (no measurement uncertainty stated)", 0), 0u);
}

}  // namespace
}  // namespace quillet::sweep
