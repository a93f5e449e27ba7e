// What a plot on screen does with the pointer and the keys, without a
// toolkit, so every window's plot behaves alike: the nearest point read out
// under the pointer or chosen with the arrow keys, and a frequency axis
// that zooms with the wheel, a dragged range or the keys. Coordinates are
// the picture's, laid out for the size the window draws it at.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "plot/canvas.h"
#include "plot/deviation_plot.h"
#include "sweep/evaluation.h"

namespace quillet::plot {

class PlotNavigation {
public:
    // The sweep to show, drawn whole; a zoom stays where it was when the
    // same file is evaluated again.
    void SetSweep(std::shared_ptr<const DeviationPlot> whole, std::shared_ptr<const sweep::Evaluation> evaluation,
                  std::string source);

    // The picture as it stands, zoomed or whole; nothing before a sweep.
    const DeviationPlot* Shown() const { return zoomed_ ? zoomed_.get() : whole_.get(); }
    // The hovered point and the range being dragged, over the picture.
    void DrawOverlay(Canvas& canvas, Size size) const;

    // The frequency axis restricted to a range, kept within the sweep's
    // axis and no narrower than about 0.5 %; nothing or the whole axis
    // shows the whole sweep. True when the zoom changed.
    bool ZoomTo(std::optional<FrequencyRange> range);
    bool ResetZoom() { return ZoomTo(std::nullopt); }
    std::optional<FrequencyRange> Zoom() const { return zoom_; }

    // The point under the pointer or chosen with the keys, by its index in
    // the sweep, what it says of it and where its mark is drawn (nothing
    // where it lies outside the axis as zoomed).
    std::optional<std::size_t> Hovered() const { return hovered_; }
    std::string HoverText() const;
    std::optional<Point> HoverMark(Size size) const;

    // The pointer's events; each returns whether the picture changed.
    // Moving hovers the nearest point (and drags, between press and
    // release); a drag wider than a few pixels zooms to its range.
    bool PointerMoved(double x, Size size);
    bool Pressed(double x);
    bool Released(double x, Size size);
    bool PointerLeft();
    bool Dragging() const { return dragFromX_.has_value(); }
    // A wheel turn by notches (positive: in) around the frequency under x.
    bool Wheel(double x, double notches, Size size);

    enum class Key { Left, Right, ZoomIn, ZoomOut, Reset };
    bool KeyPressed(Key key);

private:
    std::optional<double> FrequencyAt(double x, Size size) const;
    std::optional<std::size_t> NearestPoint(double frequencyMHz) const;
    bool Hover(std::optional<std::size_t> point);
    bool ZoomAround(double frequencyMHz, double share, double factor);

    std::shared_ptr<const DeviationPlot> whole_;
    std::unique_ptr<DeviationPlot> zoomed_;
    std::shared_ptr<const sweep::Evaluation> evaluation_;
    std::string source_;
    std::optional<FrequencyRange> zoom_;
    std::optional<std::size_t> hovered_;
    std::optional<double> dragFromX_, dragToX_;
};

}  // namespace quillet::plot
