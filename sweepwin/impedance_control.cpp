#include "sweepwin/impedance_control.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "plotwin/gdiplus.h"
#include "plotwin/gdiplus_canvas.h"
#include "win32/window_class.h"
#include "win32/window_self.h"

namespace quillet::sweepwin {
namespace {

constexpr wchar_t kClassName[] = L"QuilletImpedancePlot";

void RegisterImpedanceClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    win32::RegisterClassOnce(windowClass, "impedance plot");
}

}  // namespace

ImpedanceControl::ImpedanceControl(HINSTANCE instance, HWND parent, int id) {
    RegisterImpedanceClass(instance, Proc);
    window_ = ::CreateWindowExW(0, kClassName, L"Impedance plot", WS_CHILD | WS_TABSTOP, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the impedance plot");
}

ImpedanceControl::~ImpedanceControl() {
    if (window_ != nullptr) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void ImpedanceControl::SetPlot(std::shared_ptr<const plot::ImpedancePlot> plot) {
    plot_ = std::move(plot);
    ::InvalidateRect(window_, nullptr, FALSE);
}

void ImpedanceControl::SetDpi(UINT dpi) {
    dpi_ = dpi;
    ::InvalidateRect(window_, nullptr, FALSE);
}

// Picture coordinates are the control's pixels at 96 DPI, as the deviation
// plot's, so text and lines keep their size on a screen of any density.
// Drawn into a bitmap first, so a resize does not flicker.
void ImpedanceControl::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window_, &paint);
    RECT area;
    ::GetClientRect(window_, &area);
    HDC buffer = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, std::max(area.right, LONG{1}), std::max(area.bottom, LONG{1}));
    HGDIOBJ previous = ::SelectObject(buffer, bitmap);
    {
        Gdiplus::Graphics graphics(buffer);
        graphics.Clear(Gdiplus::Color(255, 255, 255, 255));
        if (plot_) {
            const double scale = dpi_ / 96.0;
            graphics.ScaleTransform(static_cast<Gdiplus::REAL>(scale), static_cast<Gdiplus::REAL>(scale));
            plotwin::GdiplusCanvas canvas(graphics);
            plot_->Draw(canvas, {area.right / scale, area.bottom / scale});
        }
    }
    if (::GetFocus() == window_) {
        RECT focus = area;
        ::InflateRect(&focus, -1, -1);
        ::DrawFocusRect(buffer, &focus);
    }
    ::BitBlt(dc, 0, 0, area.right, area.bottom, buffer, 0, 0, SRCCOPY);
    ::SelectObject(buffer, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(buffer);
    ::EndPaint(window_, &paint);
}

LRESULT CALLBACK ImpedanceControl::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::WindowSelf(hwnd, message, lParam, &ImpedanceControl::window_);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT ImpedanceControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: ::InvalidateRect(window_, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN: ::SetFocus(window_); return 0;
    default: break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace quillet::sweepwin
