// The deviation of a sweep against frequency, drawn onto any canvas.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plot/canvas.h"
#include "plot/deviation_envelope.h"
#include "plot/frequency_axis.h"
#include "sweep/evaluation.h"

namespace quillet::plot {

// A picture (800 x 500 in the files): the calculator's deviation as a
// line, the exact highest and lowest cases as a band, the mean over the EUT
// phase as a line within a band one standard deviation either side of it,
// the points outside the tolerance marked, on a logarithmic frequency axis.
//
// Points are added one at a time and are not kept: beyond maxEntries the
// plot keeps an envelope of the sweep (see DeviationEnvelope), so a sweep
// of any length takes the same memory.
class DeviationPlot {
public:
    // anType: 1..4 (throws std::out_of_range otherwise). source: the
    // measurement file; its name goes into the title.
    DeviationPlot(std::int16_t anType, std::string source,
                  std::size_t maxEntries = DeviationEnvelope::kDefaultMaxEntries);

    // In frequency order.
    void Add(const sweep::EvaluatedPoint& point) { envelope_.Add(point); }

    // The picture laid out for a size: the text keeps its size and the
    // data take the rest, so a window draws at its own size.
    void Draw(Canvas& canvas, Size size = kFileSize) const;
    static constexpr Size kFileSize{800, 500};
    static Rect Area(Size size = kFileSize);  // the plotting area inside the axes
    // What the picture shows, for a file's title.
    static constexpr std::string_view kDescription = "AN impedance deviation";
    // The picture as an SVG file, the same bytes from every build.
    std::string Svg() const;

    // The frequency axis spans this range instead of the sweep's range
    // rounded out to whole decades: the picture zoomed in. Entries outside
    // it are cut off at the area's edges.
    void SetFrequencyRange(const FrequencyRange& range) { frequencyRange_ = range; }
    // The frequency axis as drawn; nothing while there is no point to draw.
    std::optional<FrequencyRange> FrequencyAxis() const;
    // Where a frequency and deviation lie in the picture, and the frequency
    // at a picture x, on the axes as drawn (nothing without a point).
    std::optional<Point> Position(double frequencyMHz, double db, Size size = kFileSize) const;
    std::optional<double> FrequencyAt(double x, Size size = kFileSize) const;

    const DeviationEnvelope& Envelope() const { return envelope_; }

private:
    std::int16_t anType_;
    std::string source_;
    DeviationEnvelope envelope_;
    std::optional<FrequencyRange> frequencyRange_;
};

}  // namespace quillet::plot
