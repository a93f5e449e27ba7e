#include "sweepwin/sweep_layout.h"

#include <algorithm>
#include <cmath>

namespace quillet::sweepwin {
namespace {

RECT At(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

}  // namespace

SIZE OuterSize(int clientWidth, int clientHeight, DWORD style, UINT dpi) {
    static const auto adjustForDpi =
        win32::User32<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, clientWidth, clientHeight};
    if (adjustForDpi != nullptr)
        adjustForDpi(&rect, style, TRUE, 0, dpi);
    else
        ::AdjustWindowRectEx(&rect, style, TRUE, 0);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT WithinWorkArea(HWND window, SIZE outer) {
    RECT now;
    ::GetWindowRect(window, &now);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor) == 0)
        return {now.left, now.top, now.left + outer.cx, now.top + outer.cy};
    const RECT& work = monitor.rcWork;
    const LONG width = std::min(outer.cx, work.right - work.left);
    const LONG height = std::min(outer.cy, work.bottom - work.top);
    const LONG left = std::clamp(now.left, work.left, work.right - width);
    const LONG top = std::clamp(now.top, work.top, work.bottom - height);
    return {left, top, left + width, top + height};
}

HFONT MakeFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != 0)
        font = metrics.lfMessageFont;
    else
        ::lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
    font.lfHeight = -static_cast<LONG>(std::lround(9.0 * dpi / 72.0));
    font.lfWidth = 0;
    return ::CreateFontIndirectW(&font);
}

int LineHeight(HWND window, HFONT font) {
    HDC dc = ::GetDC(window);
    HGDIOBJ previous = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    return metrics.tmHeight > 0 ? static_cast<int>(metrics.tmHeight) : 16;
}

Places PlaceControls(SIZE client, UINT dpi, int lineHeight, std::size_t summaryLines, std::size_t budgetLines,
                     bool busy) {
    const auto s = [dpi](int pixels) { return Scale(pixels, dpi); };
    const int margin = s(8), gap = s(6), row = std::max(s(24), lineHeight + s(8));
    const int width = std::max<int>(client.cx - 2 * margin, 0);
    const int right = margin + width;
    Places p{};

    const int buttonWidth = s(96);
    p.typeLabel = At(margin, margin, s(60), row);
    p.anType = At(margin + s(64), margin, s(220), s(200));  // the drop-down list's room included
    p.resetZoom = At(right - buttonWidth, margin, buttonWidth, row);
    p.reload = At(right - 2 * buttonWidth - gap, margin, buttonWidth, row);

    const int bottom = client.cy - margin - row;
    const int cancelWidth = busy ? s(80) : 0;
    // Half for "Evaluating… 614400 of 1000001 points", half for the bar.
    const int statusWidth = busy ? (width - cancelWidth - 2 * gap) / 2 : width;
    p.status = At(margin, bottom, statusWidth, row);
    p.progress = At(margin + statusWidth + gap, bottom, busy ? width - statusWidth - cancelWidth - 2 * gap : 0, row);
    p.cancel = At(right - cancelWidth, bottom, cancelWidth, row);

    const int top = margin + row + gap;
    const int middle = std::max(bottom - gap - top, 0);
    const int summaryHeight = static_cast<int>(summaryLines) * lineHeight + s(4);
    const int scrollBar = ::GetSystemMetrics(SM_CYHSCROLL);
    const int budgetHeight = budgetLines > 0 ? static_cast<int>(budgetLines) * lineHeight + s(4) + scrollBar : 0;
    // The tab strip comes out of the plots' half, never out of their least
    // height.
    const int tabsHeight = lineHeight + s(8);
    const int plotHeight = std::max(s(170), middle / 2 - gap - tabsHeight);
    p.plotTabs = At(margin, top, width, tabsHeight);
    p.plot = At(margin, top + tabsHeight, width, plotHeight);
    int y = top + tabsHeight + plotHeight + gap;
    p.summary = At(margin, y, width, summaryHeight);
    y += summaryHeight + gap;
    p.budget = At(margin, y, width, budgetHeight);
    y += budgetHeight + (budgetHeight > 0 ? gap : 0);
    p.table = At(margin, y, width, std::max(top + middle - y, s(60)));
    return p;
}

}  // namespace quillet::sweepwin
