// The impedance plot as a Win32 control: the picture an-sweep draws, laid
// out for the control at its DPI and drawn double-buffered with GDI+. It
// only shows; zooming and the read-out belong to the deviation plot.
#pragma once

// Without WIN32_LEAN_AND_MEAN: GDI+, which draws the plot, needs the parts
// of windows.h that it leaves out.
#include <windows.h>

#include <memory>

#include "plot/impedance_plot.h"

namespace quillet::sweepwin {

class ImpedanceControl {
public:
    // A child of the parent with this control id, hidden at first; GDI+
    // must be running.
    ImpedanceControl(HINSTANCE instance, HWND parent, int id);
    ~ImpedanceControl();
    ImpedanceControl(const ImpedanceControl&) = delete;
    ImpedanceControl& operator=(const ImpedanceControl&) = delete;

    HWND Handle() const { return window_; }

    // Nothing shows an empty frame.
    void SetPlot(std::shared_ptr<const plot::ImpedancePlot> plot);
    const plot::ImpedancePlot* Shown() const { return plot_.get(); }
    void SetDpi(UINT dpi);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    HWND window_ = nullptr;
    std::shared_ptr<const plot::ImpedancePlot> plot_;
    UINT dpi_ = 96;
};

}  // namespace quillet::sweepwin
