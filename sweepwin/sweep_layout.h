// Where the sweep window's controls go, scaled by the window's DPI: the
// type box and buttons across the top, the plots under their tabs, the
// summary and budget lines, the table taking the rest, and the status line
// with the progress bar at the bottom.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>

#include "win32/dpi.h"

namespace quillet::sweepwin {

// Sizes at 96 DPI: the window's client area at first, and at least.
inline constexpr int kWindowWidth = 900;
inline constexpr int kWindowHeight = 900;
inline constexpr int kLeastWidth = 560;
inline constexpr int kLeastHeight = 420;

using win32::DpiOf;
using win32::Scale;
// The window's outer size for a client area, with a menu bar.
SIZE OuterSize(int clientWidth, int clientHeight, DWORD style, UINT dpi);
// The window's place with this outer size, moved and shrunk where needed
// to lie within the work area of its screen.
RECT WithinWorkArea(HWND window, SIZE outer);
// The system's message face at 9 points.
HFONT MakeFont(UINT dpi);
int LineHeight(HWND window, HFONT font);

struct Places {
    RECT typeLabel, anType, reload, resetZoom;
    RECT plotTabs, plot, summary, budget, table;  // the plots share one place, under their tabs
    RECT status, progress, cancel;
};

// Summary and budget as tall as their lines; the plot and the rest below
// it share what is left, as a splitter does at first.
Places PlaceControls(SIZE client, UINT dpi, int lineHeight, std::size_t summaryLines, std::size_t budgetLines,
                     bool busy);

}  // namespace quillet::sweepwin
