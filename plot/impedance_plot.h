// The measured impedance against the AN type's nominal one and its
// tolerance, drawn onto any canvas: |Z| above, phase below, on one
// logarithmic frequency axis.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plot/bucketed_entries.h"
#include "plot/canvas.h"
#include "plot/frequency_axis.h"
#include "sweep/evaluation.h"

namespace quillet::plot {

// A measured value and the frequency it was found at.
struct MeasuredValue {
    double frequencyMHz;
    double value;
};

// One point, or adjacent points merged: the lowest and highest |Z| and
// phase among them, and the first of them outside the tolerance.
struct ImpedanceEntry {
    std::size_t points = 0;
    MeasuredValue lowestOhm, highestOhm;
    MeasuredValue lowestDegrees, highestDegrees;  // on the nominal's side of the turn
    struct Outside {
        double frequencyMHz, magnitudeOhm, phaseDegrees;
    };
    std::optional<Outside> outside;
};

// A picture (800 x 640 in the files). Points are added one at a time and
// only entries are kept (BucketedEntries, as in the deviation plot), so a
// sweep of any length takes the same memory.
class ImpedancePlot {
public:
    static constexpr std::size_t kDefaultMaxEntries = 4096;

    // anType: 1..4 (throws std::out_of_range otherwise). source: the
    // measurement file; its name goes into the title.
    ImpedancePlot(std::int16_t anType, std::string source, std::size_t maxEntries = kDefaultMaxEntries);

    // In frequency order. A point without a positive frequency or with a
    // magnitude or phase that is not a number has no place on the axes and
    // is left out.
    void Add(const sweep::EvaluatedPoint& point);

    void Draw(Canvas& canvas, Size size = kFileSize) const;
    static constexpr Size kFileSize{800, 640};
    static constexpr std::string_view kDescription = "AN impedance against tolerance";
    // The picture as an SVG file, the same bytes from every build.
    std::string Svg() const;

    // The two plotting areas inside the axes: |Z| and phase.
    static Rect MagnitudeArea(Size size = kFileSize);
    static Rect PhaseArea(Size size = kFileSize);

    const std::vector<ImpedanceEntry>& Entries() const { return entries_.Entries(); }

private:
    std::int16_t anType_;
    std::string source_;
    BucketedEntries<ImpedanceEntry> entries_;
    double fromMHz_ = 0, toMHz_ = 0;
    double lowestOhm_ = 0, highestOhm_ = 0;  // over positive magnitudes only
    bool anyPositiveOhm_ = false;
    double lowestDegrees_ = 0, highestDegrees_ = 0;
};

}  // namespace quillet::plot
