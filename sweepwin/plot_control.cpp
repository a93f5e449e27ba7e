#include "sweepwin/plot_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "plotwin/gdiplus.h"
#include "plotwin/gdiplus_canvas.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "win32/window_self.h"

namespace quillet::sweepwin {
namespace {

constexpr wchar_t kClassName[] = L"QuilletSweepPlot";
constexpr int kTipOffset = 12;  // the read-out beside the mark, not over it

void RegisterPlotClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_CROSS);
    windowClass.lpszClassName = kClassName;
    win32::RegisterClassOnce(windowClass, "plot");
}

}  // namespace

PlotControl::PlotControl(HINSTANCE instance, HWND parent, int id) {
    RegisterPlotClass(instance, Proc);
    window_ = ::CreateWindowExW(0, kClassName, L"Deviation plot", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the plot");
    CreateTip();
}

PlotControl::~PlotControl() {
    if (tip_ != nullptr && ::IsWindow(tip_))
        ::DestroyWindow(tip_);
    if (window_ != nullptr) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void PlotControl::CreateTip() {
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
                             0, window_, nullptr, nullptr, nullptr);
    if (tip_ == nullptr)
        return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(window_);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 1000);  // the read-out's lines as they are
}

void PlotControl::SetSweep(std::shared_ptr<const plot::DeviationPlot> whole,
                           std::shared_ptr<const sweep::Evaluation> evaluation, std::string source) {
    navigation_.SetSweep(std::move(whole), std::move(evaluation), std::move(source));
    HideTip();
    ::InvalidateRect(window_, nullptr, FALSE);
    if (ZoomChanged)
        ZoomChanged(Zoom().has_value());
}

void PlotControl::ResetZoom() { Changed(navigation_.ResetZoom(), false); }

void PlotControl::SetDpi(UINT dpi) {
    dpi_ = dpi;
    ::InvalidateRect(window_, nullptr, FALSE);
}

plot::Size PlotControl::PictureSize() const {
    RECT area;
    ::GetClientRect(window_, &area);
    return {area.right / Scale(), area.bottom / Scale()};
}

void PlotControl::HideTip() {
    if (tip_ == nullptr)
        return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(window_);
    ::SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

void PlotControl::Changed(bool changed, bool showTip) {
    if (!changed)
        return;
    ::InvalidateRect(window_, nullptr, FALSE);
    if (ZoomChanged)
        ZoomChanged(Zoom().has_value());
    if (!showTip || !navigation_.Hovered() || tip_ == nullptr) {
        HideTip();
        return;
    }
    const std::optional<plot::Point> mark = navigation_.HoverMark(PictureSize());
    RECT area;
    ::GetClientRect(window_, &area);
    POINT at = mark ? POINT{static_cast<LONG>(mark->x * Scale()), static_cast<LONG>(mark->y * Scale())}
                    : POINT{area.right / 2, area.bottom / 2};
    ::ClientToScreen(window_, &at);
    const int offset = ::MulDiv(kTipOffset, static_cast<int>(dpi_), 96);
    tipText_ = win32::Wide(HoverText());
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(window_);
    tool.lpszText = tipText_.data();
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x + offset, at.y + offset));
    ::SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

// Drawn into a bitmap first, so neither a hover nor a drag flickers.
void PlotControl::Paint() {
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
        if (const plot::DeviationPlot* shown = navigation_.Shown()) {
            graphics.ScaleTransform(static_cast<Gdiplus::REAL>(Scale()), static_cast<Gdiplus::REAL>(Scale()));
            plotwin::GdiplusCanvas canvas(graphics);
            shown->Draw(canvas, PictureSize());
            navigation_.DrawOverlay(canvas, PictureSize());
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

bool PlotControl::Key(WPARAM key) {
    using NavigationKey = plot::PlotNavigation::Key;
    std::optional<NavigationKey> pressed;
    switch (key) {
    case VK_LEFT: pressed = NavigationKey::Left; break;
    case VK_RIGHT: pressed = NavigationKey::Right; break;
    case VK_OEM_PLUS:  // "=" unshifted, "+" shifted
    case VK_ADD: pressed = NavigationKey::ZoomIn; break;
    case VK_OEM_MINUS:
    case VK_SUBTRACT: pressed = NavigationKey::ZoomOut; break;
    case '0':
    case VK_NUMPAD0:
    case VK_HOME: pressed = NavigationKey::Reset; break;
    default: return false;
    }
    const bool arrow = *pressed == NavigationKey::Left || *pressed == NavigationKey::Right;
    Changed(navigation_.KeyPressed(*pressed) || arrow, arrow);
    return true;
}

LRESULT CALLBACK PlotControl::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::WindowSelf(hwnd, message, lParam, &PlotControl::window_);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        self->tip_ = nullptr;  // an owned popup, gone with its owner
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT PlotControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: ::InvalidateRect(window_, nullptr, FALSE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: ::InvalidateRect(window_, nullptr, FALSE); return 0;
    case WM_MOUSEMOVE:
        if (!trackingLeave_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
            trackingLeave_ = ::TrackMouseEvent(&track) != 0;
        }
        Changed(navigation_.PointerMoved(PictureX(GET_X_LPARAM(lParam)), PictureSize()), !navigation_.Dragging());
        return 0;
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        HideTip();
        if (::GetFocus() != window_)
            Changed(navigation_.PointerLeft(), false);
        return 0;
    case WM_LBUTTONDOWN:
        ::SetFocus(window_);
        ::SetCapture(window_);
        Changed(navigation_.Pressed(PictureX(GET_X_LPARAM(lParam))), false);
        return 0;
    case WM_LBUTTONUP:
        if (::GetCapture() == window_)
            ::ReleaseCapture();
        Changed(navigation_.Released(PictureX(GET_X_LPARAM(lParam)), PictureSize()), false);
        return 0;
    case WM_LBUTTONDBLCLK: ResetZoom(); return 0;
    case WM_MOUSEWHEEL: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};  // on the screen
        ::ScreenToClient(window_, &at);
        const double notches = GET_WHEEL_DELTA_WPARAM(wParam) / static_cast<double>(WHEEL_DELTA);
        Changed(navigation_.Wheel(PictureX(at.x), notches, PictureSize()), false);
        return 0;
    }
    case WM_KEYDOWN:
        if (Key(wParam))
            return 0;
        break;
    default: break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace quillet::sweepwin
