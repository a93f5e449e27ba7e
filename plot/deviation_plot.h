// The deviation of a sweep against frequency, drawn as SVG or PNG.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "plot/deviation_envelope.h"
#include "sweep/evaluation.h"
#include "sweep/plot_format.h"

namespace quillet::plot {

// An 800 x 500 picture: the calculator's deviation as a line, the exact
// highest and lowest cases as a band, the points outside the tolerance
// marked, on a logarithmic frequency axis.
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

    // The file's bytes. Needs a QGuiApplication. Throws std::runtime_error.
    std::string Render(sweep::PlotFormat format) const;

    const DeviationEnvelope& Envelope() const { return envelope_; }

private:
    std::int16_t anType_;
    std::string source_;
    DeviationEnvelope envelope_;
};

}  // namespace quillet::plot
