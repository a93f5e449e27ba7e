// The budget lines per band, from measured points, and as reports carry them.
#include "sweep/budget.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <memory>
#include <numbers>
#include <sstream>

#include "engine/an_types.h"
#include "measurement/read_measurement.h"
#include "sweep/evaluation.h"
#include "sweep/report.h"

namespace quillet::sweep {
namespace {

Evaluation FromCsv(const std::string& csv, std::int16_t type, const std::vector<Band>& bands = DefaultBands()) {
    return *Evaluate(std::make_shared<const measurement::Measurement>(measurement::ReadMeasurement(csv, "test.csv")),
                     type, {}, bands);
}

TEST(BudgetLines, TakeEachBandsWorstPointAndOmitEmptyBands) {
    // 0.15 MHz lies on the edge of both default bands and counts in both;
    // the third band holds nothing.
    const Evaluation e =
        FromCsv("0.1,60,10\n0.15,39.26,54.85\n10,80,-20\n20,50,5\n", 1, {{0.009, 0.15}, {0.15, 30}, {50, 100}});
    const auto lines = BudgetLines(e.summary.bands, 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points, 2u);
    EXPECT_EQ(lines[1].points, 3u);
    for (const BudgetLine& line : lines) {
        double highest = -HUGE_VAL, rms = 0, at = 0;
        for (const EvaluatedPoint& p : e.points) {
            if (p.frequencyMHz < line.band.fromMHz || p.frequencyMHz > line.band.toMHz)
                continue;
            highest = std::max(highest, p.exact->highestDb);
            if (p.statistics->rmsDb > rms)
                rms = p.statistics->rmsDb, at = p.frequencyMHz;
        }
        ASSERT_TRUE(line.measured.highest && line.measured.largestRms);
        EXPECT_EQ(line.measured.highest->db, highest);
        EXPECT_EQ(line.measured.largestRms->db, rms);
        EXPECT_EQ(line.measured.largestRms->atMHz, at);
    }
}

TEST(BudgetLines, AreUnboundedWhereAPointIs) {
    const auto lines = BudgetLines(FromCsv("1,50,0\n2,50,120\n3,50,0\n", 1).summary.bands, 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_FALSE(lines[0].measured.highest || lines[0].measured.largestRms || lines[0].measured.lowest);
    EXPECT_EQ(lines[0].measured.unboundedAtMHz, 2.0);
    const std::string text = BudgetText(lines)[2];
    EXPECT_EQ(text, "  measured:        unbounded from 2 MHz");
}

TEST(BudgetLines, AreZeroForAnAnAtItsNominalImpedance) {
    for (std::int16_t type = 1; type <= 4; ++type) {
        std::ostringstream csv;
        csv.precision(17);
        for (double f = 0.009; f < 30; f *= 1.5) {
            const auto z = NominalImpedance(type, f);
            csv << f << ',' << std::abs(z) << ',' << std::arg(z) * 180 / std::numbers::pi << '\n';
        }
        // Zero as the reports show it: the magnitude and phase are typed to
        // three decimals, which moves a 1 ohm AN by up to 0.004 dB.
        for (const BudgetLine& line : BudgetLines(FromCsv(csv.str(), type).summary.bands, type)) {
            EXPECT_LT(line.measured.largestAbsMean->db, 0.005) << type;
            EXPECT_LT(line.measured.largestStandardDeviation->db, 0.005) << type;
        }
    }
}

TEST(WriteReport, CarriesThePhaseStatisticsAndTheBands) {
    const Evaluation e = FromCsv("0.15,39.26,54.85\n1,50,120\n", 1);
    const auto json = nlohmann::json::parse(WriteReport(e, ReportFormat::Json, "x.csv"));
    const auto& row = json["points"][0];
    EXPECT_EQ(row["mean_dB"].get<double>(), e.points[0].statistics->meanDb);
    EXPECT_EQ(row["standard_deviation_dB"].get<double>(), e.points[0].statistics->standardDeviationDb);
    EXPECT_EQ(row["rms_dB"].get<double>(), e.points[0].statistics->rmsDb);
    EXPECT_TRUE(json["points"][1]["rms_dB"].is_null());
    ASSERT_EQ(json["bands"].size(), 2u);
    for (const char* key : {"from_MHz", "to_MHz", "points"})
        EXPECT_TRUE(json["bands"][0].contains(key)) << key;
    for (const char* key : {"highest_dB", "highest_at_MHz", "lowest_dB", "lowest_at_MHz", "standard_uncertainty_dB",
                            "standard_uncertainty_at_MHz"}) {
        EXPECT_TRUE(json["bands"][0][key].is_number()) << key;
        EXPECT_TRUE(json["bands"][0]["tolerance_limit"][key].is_number()) << key;
    }
    EXPECT_TRUE(json["bands"][1]["standard_uncertainty_dB"].is_null());  // 1 MHz is unbounded
    EXPECT_EQ(json["bands"][1]["unbounded_from_MHz"].get<double>(), 1.0);

    const std::string csv = WriteReport(e, ReportFormat::Csv, "x");
    EXPECT_NE(csv.find("exact_lowest_dB,mean_dB,standard_deviation_dB,rms_dB,exact_unbounded"), std::string::npos);
    const std::string table = WriteReport(e, ReportFormat::Table, "x.csv");
    for (const char* title : {"  mean (dB)", "  std dev (dB)", "  rms (dB)"})
        EXPECT_NE(table.find(title), std::string::npos) << table;
    EXPECT_NE(table.find("0.15 to 30 MHz, 2 point(s)"), std::string::npos) << table;
}

}  // namespace
}  // namespace quillet::sweep
