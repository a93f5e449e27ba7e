// The budget lines as a grid in a report list view, with the cells and
// headings of the Qt window's grid: a row per figure, named in the first
// column, and for each band a column of its measured figures beside one of
// the worst AN within the tolerance. The explanations the report's long
// heading gives are tips: on the first heading, on the tolerance limit's
// headings and on the rms figure's name.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "sweep/budget.h"

namespace quillet::sweepwin {

class BudgetGrid {
public:
    BudgetGrid(HINSTANCE instance, HWND parent, int id);
    HWND Handle() const { return window_; }

    void SetLines(const std::vector<sweep::BudgetLine>& lines, UINT dpi);
    // Rows of figures; none without budget lines.
    std::size_t Rows() const { return rows_; }
    // The budget as the report's text, for the clipboard.
    const std::vector<std::string>& Text() const { return text_; }
    void FitColumns(UINT dpi);

    // The list's notifications, from its parent's WM_NOTIFY; nothing for
    // those it leaves alone.
    std::optional<LRESULT> Notify(NMHDR& header);

private:
    void PlaceHeaderTips();

    HWND window_ = nullptr;
    HWND tips_ = nullptr;
    std::size_t rows_ = 0;
    int columns_ = 0;
    std::vector<std::string> text_;
    std::vector<std::wstring> headerTips_;  // per column, empty for none
    std::wstring rmsTip_;
    int rmsRow_ = -1;
};

}  // namespace quillet::sweepwin
