// A network's verifications over time as a Win32 control: the trend the
// printed history shows, laid out for the control at its DPI and drawn
// double-buffered with GDI+. It only shows.
#pragma once

// Without WIN32_LEAN_AND_MEAN: GDI+, which draws the plot, needs the parts
// of windows.h that it leaves out.
#include <windows.h>

#include <optional>

#include "plot/trend_plot.h"

namespace quillet::registerwin {

class TrendControl {
public:
    // A child of the parent with this control id; GDI+ must be running.
    TrendControl(HINSTANCE instance, HWND parent, int id);
    ~TrendControl();
    TrendControl(const TrendControl&) = delete;
    TrendControl& operator=(const TrendControl&) = delete;

    HWND Handle() const { return window_; }

    // Nothing: no network chosen, an empty frame.
    void SetPlot(std::optional<plot::TrendPlot> plot);
    bool HasPlot() const { return plot_.has_value(); }
    void SetDpi(UINT dpi);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    HWND window_ = nullptr;
    std::optional<plot::TrendPlot> plot_;
    UINT dpi_ = 96;
};

}  // namespace quillet::registerwin
