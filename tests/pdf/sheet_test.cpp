#include "pdf/sheet.h"

#include <gtest/gtest.h>

#include <string>

#include "plot/deviation_plot.h"
#include "tests/pdf/pdf_text.h"

namespace quillet::pdf {
namespace {

Sheet SampleSheet(std::size_t rows) {
    Sheet sheet{"AN verification record", "Verification 7", "Serial ÄN-0042 · verification 7", {}};
    sheet.blocks.push_back(Heading{"The network"});
    sheet.blocks.push_back(Fields{{{"Serial", "ÄN-0042"},
                                   {"Uncertainty", "± 2.5 %, ± 0.8° (k = 2), 50 Ω ± 10 µH"},
                                   {"SHA-256", std::string(64, 'e')}}});
    Table table{{"f (MHz)", "|Z| (ohm)", "Verdict"}, {}, {}};
    for (std::size_t i = 0; i < rows; ++i) {
        table.rows.push_back({std::to_string(i + 1) + ".5", "49.9", i == 3 ? "fail" : "pass"});
        table.marked.push_back(i == 3);
    }
    sheet.blocks.push_back(table);
    plot::DeviationPlot plot(1, "dir/sweep.s1p");
    for (const double f : {0.15, 1.0, 30.0}) {
        sweep::EvaluatedPoint p{};
        p.frequencyMHz = f;
        p.deviationDb = f / 10;
        p.withinTolerance = true;
        plot.Add(p);
    }
    sheet.blocks.push_back(Figure{plot::DeviationPlot::kFileSize,
                                  [plot](plot::Canvas& canvas, plot::Size size) { plot.Draw(canvas, size); }});
    sheet.blocks.push_back(Signatures{{"Verified by", "Approved by"}});
    return sheet;
}

TEST(SheetPdf, CarriesItsTextWithTheFontEmbedded) {
    // A long table runs onto further pages, each with its footer and page
    // count; what is printed comes back out, µ, Ω, ° and ± included.
    struct Case {
        std::size_t rows, pages;
    };
    for (const Case c : {Case{5, 1}, Case{200, 4}}) {
        SCOPED_TRACE(c.rows);
        const std::string pdf = PdfOf(SampleSheet(c.rows));
        ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
        const std::string text = TextOf(pdf);
        for (const char* expected : {"AN verification record", "ÄN-0042", "± 2.5 %, ± 0.8° (k = 2), 50 Ω ± 10 µH",
                                     "Verified by", "Signature", "(sweep.s1p)"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
        EXPECT_NE(WithoutSpace(text).find(std::string(64, 'e')), std::string::npos);
        const std::string last = "Page " + std::to_string(c.pages) + " of " + std::to_string(c.pages);
        EXPECT_NE(text.find(last), std::string::npos) << text;
        EXPECT_EQ(text.find("Page " + std::to_string(c.pages + 1)), std::string::npos);
        EXPECT_NE(text.find(std::to_string(c.rows) + ".5"), std::string::npos);

        const std::string fonts = TextOf(pdf, "pdffonts", "");
        EXPECT_NE(fonts.find("DejaVuSans,"), std::string::npos) << fonts;
        EXPECT_NE(fonts.find("DejaVuSans-Bold"), std::string::npos) << fonts;
        EXPECT_EQ(fonts.find(" no  "), std::string::npos) << "a font not embedded:\n" << fonts;
    }
}

TEST(SheetPdf, NamesAFontFileItCannotUse) {
    try {
        PdfOf(SampleSheet(1), {"/nonexistent/DejaVuSans.ttf", "/nonexistent/DejaVuSans-Bold.ttf"});
        FAIL() << "made a PDF without its font";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/DejaVuSans.ttf"), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace quillet::pdf
