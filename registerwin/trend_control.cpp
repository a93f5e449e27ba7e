#include "registerwin/trend_control.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "plotwin/gdiplus.h"
#include "plotwin/gdiplus_canvas.h"
#include "win32/window_class.h"
#include "win32/window_self.h"

namespace quillet::registerwin {
namespace {

constexpr wchar_t kClassName[] = L"QuilletTrendPlot";

}  // namespace

TrendControl::TrendControl(HINSTANCE instance, HWND parent, int id) {
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    win32::RegisterClassOnce(windowClass, "trend plot");
    window_ = ::CreateWindowExW(0, kClassName, L"Trend of the verifications", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the trend plot");
}

TrendControl::~TrendControl() {
    if (window_ != nullptr) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void TrendControl::SetPlot(std::optional<plot::TrendPlot> plot) {
    plot_ = std::move(plot);
    ::InvalidateRect(window_, nullptr, FALSE);
}

void TrendControl::SetDpi(UINT dpi) {
    dpi_ = dpi;
    ::InvalidateRect(window_, nullptr, FALSE);
}

// Picture coordinates are the control's pixels at 96 DPI, as the sweep
// window's plots, so text and lines keep their size on any screen.
void TrendControl::Paint() {
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
    ::BitBlt(dc, 0, 0, area.right, area.bottom, buffer, 0, 0, SRCCOPY);
    ::SelectObject(buffer, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(buffer);
    ::EndPaint(window_, &paint);
}

LRESULT CALLBACK TrendControl::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::WindowSelf(hwnd, message, lParam, &TrendControl::window_);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT TrendControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: ::InvalidateRect(window_, nullptr, FALSE); return 0;
    default: break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace quillet::registerwin
