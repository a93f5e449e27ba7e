// The PNG that GDI+ paints: read back through GDI+ and looked at where the
// picture must be white, framed and drawn.
#include "plotwin/png_file.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <cmath>

#include "plotwin/gdiplus.h"
#include "plotwin/gdiplus_canvas.h"

namespace quillet::plotwin {
namespace {

TEST(PngFile, PaintsThePictureAtTheFilesSize) {
    plot::DeviationPlot plot(1, "sweep.s1p");
    for (int i = 0; i <= 40; ++i) {
        sweep::EvaluatedPoint p{};
        p.frequencyMHz = 0.15 * std::pow(200.0, i / 40.0);
        p.deviationDb = 1.0;
        p.withinTolerance = true;
        plot.Add(p);
    }
    const std::string png = PngOf(plot);
    ASSERT_TRUE(png.starts_with("\x89PNG\r\n\x1a\n"));

    const GdiplusSession session;
    IStream* stream = ::SHCreateMemStream(reinterpret_cast<const BYTE*>(png.data()), static_cast<UINT>(png.size()));
    ASSERT_NE(stream, nullptr);
    {
        Gdiplus::Bitmap bitmap(stream);
        ASSERT_EQ(bitmap.GetWidth(), 800u);
        ASSERT_EQ(bitmap.GetHeight(), 500u);
        const plot::Rect area = plot::DeviationPlot::Area();
        const std::optional<plot::Point> line = plot.Position(1.0, 1.0);
        ASSERT_TRUE(line);
        struct Row {
            const char* what;
            double x, y;
            bool dark;
        };
        const Row rows[] = {
            {"background", 4, 4, false},
            {"frame", area.left, area.Centre().y, true},
            {"calculator line", line->x, line->y, true},
            {"inside the area", area.Centre().x, area.top + 4, false},
        };
        for (const Row& row : rows) {
            Gdiplus::Color colour;
            bitmap.GetPixel(static_cast<INT>(row.x), static_cast<INT>(row.y), &colour);
            const int lightness = colour.GetR() + colour.GetG() + colour.GetB();
            EXPECT_EQ(lightness < 3 * 200, row.dark) << row.what << ": " << lightness;
        }
    }
    stream->Release();
}

// The impedance plot at its own size, both panels framed.
TEST(PngFile, PaintsTheImpedancePlot) {
    plot::ImpedancePlot plot(4, "sweep.s1p");
    sweep::EvaluatedPoint p{};
    p.frequencyMHz = 1;
    p.magnitudeOhm = 150;
    p.withinTolerance = true;
    plot.Add(p);
    const std::string png = PngOf(plot);
    const GdiplusSession session;
    IStream* stream = ::SHCreateMemStream(reinterpret_cast<const BYTE*>(png.data()), static_cast<UINT>(png.size()));
    ASSERT_NE(stream, nullptr);
    {
        Gdiplus::Bitmap bitmap(stream);
        ASSERT_EQ(bitmap.GetWidth(), 800u);
        ASSERT_EQ(bitmap.GetHeight(), 640u);
        for (const plot::Rect& area : {plot::ImpedancePlot::MagnitudeArea(), plot::ImpedancePlot::PhaseArea()}) {
            Gdiplus::Color colour;
            bitmap.GetPixel(static_cast<INT>(area.left), static_cast<INT>(area.Centre().y), &colour);
            EXPECT_LT(colour.GetR() + colour.GetG() + colour.GetB(), 3 * 200);
        }
    }
    stream->Release();
}

}  // namespace
}  // namespace quillet::plotwin
