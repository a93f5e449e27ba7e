// What the sweep windows of both toolkits show and decide alike: the
// columns dialog held against files on disk, the names exports go to and
// the points' tips.

#include "sweepcore/column_choice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/sha256.h"
#include "sweep/report.h"
#include "sweepcore/export_name.h"
#include "sweepcore/point_tips.h"

namespace quillet::sweepcore {
namespace {

class TempFiles : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& contents) {
        const std::filesystem::path file = std::filesystem::temp_directory_path() / ("quillet-columns-" + name);
        std::ofstream(file, std::ios::binary) << contents;
        written_.push_back(file);
        return file.string();
    }
    void TearDown() override {
        for (const auto& file : written_)
            std::filesystem::remove(file);
    }

private:
    std::vector<std::filesystem::path> written_;
};

TEST(FieldCount, CountsTheLastDataLineSplitAsTheReaderSplits) {
    const struct {
        std::vector<std::string> lines;
        std::size_t fields;
    } cases[] = {
        {{"Messpunkt;Wert A;Wert B", "1;50;10", "2;51;11"}, 3},
        {{"a b", "1 2 3 4", "# a remark, with, commas, in, it", ""}, 4},
        {{"1,2", "\"3,4"}, 2},  // an unclosed quote: the line before
        {{"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"}, kMostColumns},
        {{"one"}, 3},
        {{}, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FieldCount(c.lines), c.fields) << (c.lines.empty() ? "" : c.lines.front());
}

TEST(ColumnList, WritesItemsAndTheReferenceOnlyWhereS11IsMeasured) {
    const struct {
        std::vector<std::size_t> chosen;
        const char* reference;
        const char* list;
    } cases[] = {
        {{3, 5, 6}, "75", "f:MHz,mag:ohm,phase:deg"},
        {{0, 1, 10, 12}, " 50 ", "-,f:Hz,s-mag:dB,s-phase:deg"},
        {{4, 14, 15}, " 75", "f:GHz,s-re,s-im,z0=75"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColumnList(c.chosen, c.reference), c.list);
    EXPECT_EQ(ColumnQuantities()[0].item, std::string("-"));
}

TEST(ColumnDialogAdvice, TellsWhatToDoInTheDialogInsteadOfOnTheCommandLine) {
    const struct {
        const char* message;
        const char* advice;
    } cases[] = {
        {"a.csv:1: 'Wert A' is not understood; or state the columns with --columns, e.g. --columns f:Hz",
         "a.csv:1: 'Wert A' is not understood; or say below what each column holds."},
        {"a.csv:1: name each column, or state the columns with --columns, e.g. --columns f:Hz",
         "a.csv:1: name each column, or say below what each column holds."},
        {"a.csv:3: not a number", "a.csv:3: not a number"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColumnDialogAdvice(c.message), c.advice);
    EXPECT_TRUE(AsksForColumns("C:\\m\\a.Txt", "use --columns"));
    EXPECT_FALSE(AsksForColumns("/m/a.S1P", "use --columns"));
    EXPECT_FALSE(AsksForColumns("a.csv", "not a number"));
}

TEST_F(TempFiles, PreviewOffersOptionsOnlyForAReadingThatGivesPoints) {
    const std::string file = Write("preview.csv", "Messpunkt;Wert A;Wert B\r\n1;50;10\n2;51;11\n3;52;12\n4;53;13\n");
    EXPECT_EQ(FirstLines(file),
              (std::vector<std::string>{"Messpunkt;Wert A;Wert B", "1;50;10", "2;51;11", "3;52;12", "4;53;13"}));
    const ColumnPreview good = PreviewColumns(file, "f:MHz,mag:ohm,phase:deg");
    EXPECT_EQ(good.text, "Read as: 1 MHz: 50 ohm at 10 deg; 2 MHz: 51 ohm at 11 deg; 3 MHz: 52 ohm at 12 deg \u2026");
    ASSERT_TRUE(good.options && good.options->columns);
    EXPECT_EQ(good.options->columns->columns.size(), 3u);
    for (const char* list : {"-,-,-", "f:MHz,mag:ohm"}) {
        const ColumnPreview bad = PreviewColumns(file, list);
        EXPECT_EQ(bad.text.rfind("Not yet: ", 0), 0u) << bad.text;
        EXPECT_FALSE(bad.options) << list;
    }
    EXPECT_FALSE(PreviewColumns(file + ".gone", "f:MHz,mag:ohm,phase:deg").options);
}

TEST_F(TempFiles, AChoiceIsRememberedForFilesWithTheSameFirstLine) {
    const std::string first = Write("first.csv", "Messpunkt;Wert A;Wert B\n1;50;10\n");
    const std::string same = Write("same.txt", "  Messpunkt;Wert A;Wert B\r\n9;9;9\n");
    const std::string other = Write("other.csv", "Messpunkt;Wert A;Wert C\n1;50;10\n");
    EXPECT_EQ(RememberedColumnsKey(first), "columns/" + files::Sha256Hex("Messpunkt;Wert A;Wert B").substr(0, 32));
    EXPECT_EQ(RememberedColumnsKey(same), RememberedColumnsKey(first));
    EXPECT_NE(RememberedColumnsKey(other), RememberedColumnsKey(first));

    EXPECT_TRUE(OptionsFor(first, "f:MHz,mag:ohm,phase:deg").columns);
    EXPECT_FALSE(OptionsFor(first, "f:MHz,nonsense").columns);
    EXPECT_FALSE(OptionsFor(first, std::nullopt).columns);
    EXPECT_FALSE(OptionsFor("a.s1p", "f:MHz,mag:ohm,phase:deg").columns);
}

// A clamped input speaks for the deviation alone; outside the tolerance
// the whole row says so.
TEST(PointCellTip, NamesClampedDeviationsAndPointsOutsideTheTolerance) {
    const std::string limit = "Beyond the calculator's limits: the calculator shows the result for the limit";
    const std::string outside = "Outside the tolerance (" + sweep::ToleranceText() + ")";
    const struct {
        bool clamped, within;
        int column;
        std::string tip;
    } cases[] = {
        {true, false, sweep::kDeviationColumn, limit},   {true, true, sweep::kFrequencyColumn, ""},
        {true, false, sweep::kFrequencyColumn, outside}, {false, false, sweep::kDeviationColumn, outside},
        {false, true, sweep::kDeviationColumn, ""},
    };
    for (const auto& c : cases) {
        sweep::EvaluatedPoint point{};
        point.inputsClamped = c.clamped;
        point.withinTolerance = c.within;
        EXPECT_EQ(PointCellTip(point, c.column), c.tip) << c.clamped << c.within << c.column;
    }
}

// The dialog's answer gets the chosen format's ending unless it has one of
// the offered endings already, in any case.
TEST(CompletedExportName, KeepsAnOfferedEndingElseAddsTheChosenOne) {
    const std::string_view endings[] = {"csv", "json"};
    const struct {
        const char* typed;
        std::size_t chosen;
        const char* file;
        std::size_t format;
    } cases[] = {
        {"C:\\r\\a.CSV", 1, "C:\\r\\a.CSV", 0},       {"/r/a", 1, "/r/a.json", 1},
        {"C:\\r.json\\a", 0, "C:\\r.json\\a.csv", 0}, {"/r.json/a", 0, "/r.json/a.csv", 0},
        {"a.csv.bak", 0, "a.csv.bak.csv", 0},         {"a", 7, "a.csv", 0},
    };
    for (const auto& c : cases) {
        const ExportName name = CompletedExportName(c.typed, endings, c.chosen);
        EXPECT_EQ(name.file, c.file) << c.typed;
        EXPECT_EQ(name.format, c.format) << c.typed;
    }
}

}  // namespace
}  // namespace quillet::sweepcore
