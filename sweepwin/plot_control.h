// The deviation plot as a Win32 control: the picture an-sweep draws, laid
// out for the control at its DPI and drawn double-buffered with GDI+, the
// nearest point read out in a tip under the pointer, and a frequency axis
// that zooms with the wheel, a dragged range or the keys
// (plot::PlotNavigation, which the Qt window shares).
#pragma once

// Without WIN32_LEAN_AND_MEAN: GDI+, which draws the plot, needs the parts
// of windows.h that it leaves out.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "plot/deviation_plot.h"
#include "plot/plot_navigation.h"
#include "sweep/evaluation.h"

namespace quillet::sweepwin {

class PlotControl {
public:
    // A child of the parent with this control id; GDI+ must be running.
    PlotControl(HINSTANCE instance, HWND parent, int id);
    ~PlotControl();
    PlotControl(const PlotControl&) = delete;
    PlotControl& operator=(const PlotControl&) = delete;

    HWND Handle() const { return window_; }

    // The sweep to show, drawn whole; nothing shows an empty frame.
    void SetSweep(std::shared_ptr<const plot::DeviationPlot> whole, std::shared_ptr<const sweep::Evaluation> evaluation,
                  std::string source);
    void ResetZoom();
    std::optional<plot::FrequencyRange> Zoom() const { return navigation_.Zoom(); }
    const plot::DeviationPlot* Shown() const { return navigation_.Shown(); }
    std::string HoverText() const { return navigation_.HoverText(); }
    void SetDpi(UINT dpi);

    // Told after every change that may have zoomed in or out.
    std::function<void(bool zoomed)> ZoomChanged;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void CreateTip();
    bool Key(WPARAM key);
    // Picture coordinates are the control's pixels at 96 DPI, so text and
    // lines keep their size on a screen of any density.
    double Scale() const { return dpi_ / 96.0; }
    plot::Size PictureSize() const;
    double PictureX(int pixelX) const { return pixelX / Scale(); }
    // Draws again after an event that changed the picture, and shows or
    // hides the hovered point's read-out.
    void Changed(bool changed, bool showTip);
    void HideTip();

    HWND window_ = nullptr;
    HWND tip_ = nullptr;
    std::wstring tipText_;
    plot::PlotNavigation navigation_;
    UINT dpi_ = 96;
    bool trackingLeave_ = false;
};

}  // namespace quillet::sweepwin
