#include "sweepwin/budget_grid.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "sweep/evaluation.h"
#include "win32/dpi.h"
#include "win32/wide_text.h"

namespace quillet::sweepwin {

BudgetGrid::BudgetGrid(HINSTANCE instance, HWND parent, int id) {
    window_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"Budget lines",
                                WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL, 0, 0, 0, 0,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the grid of budget lines");
    ListView_SetExtendedListViewStyle(window_, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER);
    tips_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, parent,
                              nullptr, instance, nullptr);
    ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void BudgetGrid::SetLines(const std::vector<sweep::BudgetLine>& lines, UINT dpi) {
    ListView_DeleteAllItems(window_);
    for (; columns_ > 0; --columns_)
        ListView_DeleteColumn(window_, columns_ - 1);
    text_ = sweep::BudgetText(lines);
    headerTips_.clear();
    rows_ = 0;
    rmsRow_ = -1;
    if (lines.empty()) {
        PlaceHeaderTips();
        return;
    }
    const auto& figures = sweep::BudgetFigures();
    const auto addColumn = [this](const std::string& title, const std::string& tip) {
        std::wstring text = win32::Wide(title);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        column.fmt = LVCFMT_LEFT;
        column.cx = 80;
        column.pszText = text.data();
        ListView_InsertColumn(window_, columns_++, &column);
        headerTips_.push_back(win32::Wide(tip));
    };
    // The report's heading is long; here its explanations go into tips.
    addColumn("Budget lines", text_.front());
    const std::string toleranceTip =
        "The worst AN within " + sweep::ToleranceText() + ", over the band's measured frequencies";
    for (const sweep::BudgetLine& line : lines) {
        const std::string band = sweep::BandText(line);
        addColumn(band + ", measured", "");
        addColumn(band + ", tolerance limit", toleranceTip);
    }
    for (std::size_t f = 0; f < figures.size(); ++f) {
        std::wstring name = win32::Wide(figures[f].name);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(f);
        item.pszText = name.data();
        ListView_InsertItem(window_, &item);
        if (figures[f].figure == &WorstFigures::largestRms)
            rmsRow_ = static_cast<int>(f);
    }
    rmsTip_ = L"The largest rms deviation over the EUT phase";
    rows_ = figures.size();
    const auto setCell = [this](std::size_t row, int column, const std::string& text) {
        std::wstring wide = win32::Wide(text);
        ListView_SetItemText(window_, static_cast<int>(row), column, wide.data());
    };
    for (std::size_t b = 0; b < lines.size(); ++b) {
        const WorstFigures* sides[] = {&lines[b].measured, &lines[b].toleranceLimit};
        for (int side = 0; side < 2; ++side) {
            const int column = 1 + 2 * static_cast<int>(b) + side;
            const WorstFigures& worst = *sides[side];
            // Without a bound, one cell says from where, for every figure.
            if (worst.unboundedAtMHz) {
                setCell(0, column, sweep::UnboundedText(*worst.unboundedAtMHz));
                continue;
            }
            for (std::size_t f = 0; f < figures.size(); ++f) {
                const std::optional<WorstFigure>& figure = worst.*figures[f].figure;
                setCell(f, column, figure ? sweep::FigureText(*figure) : std::string());
            }
        }
    }
    FitColumns(dpi);
}

void BudgetGrid::FitColumns(UINT dpi) {
    for (int column = 0; column < columns_; ++column) {
        ListView_SetColumnWidth(window_, column, LVSCW_AUTOSIZE_USEHEADER);
        // Room for the cells' text too, with a little air.
        const int header = ListView_GetColumnWidth(window_, column);
        ListView_SetColumnWidth(window_, column, LVSCW_AUTOSIZE);
        const int cells = ListView_GetColumnWidth(window_, column);
        ListView_SetColumnWidth(window_, column, std::max(header, cells) + win32::Scale(6, dpi));
    }
    PlaceHeaderTips();
}

// A tip per heading that has one, over the heading's place.
void BudgetGrid::PlaceHeaderTips() {
    HWND header = ListView_GetHeader(window_);
    while (::SendMessageW(tips_, TTM_GETTOOLCOUNT, 0, 0) > 0) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        ::SendMessageW(tips_, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    for (std::size_t column = 0; column < headerTips_.size(); ++column) {
        if (headerTips_[column].empty())
            continue;
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = header;
        tool.uId = column;
        Header_GetItemRect(header, static_cast<int>(column), &tool.rect);
        tool.lpszText = headerTips_[column].data();
        ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

std::optional<LRESULT> BudgetGrid::Notify(NMHDR& header) {
    if (header.hwndFrom != window_)
        return std::nullopt;
    if (header.code == LVN_GETINFOTIPW) {
        auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(header);
        if (tip.iItem == rmsRow_ && tip.iSubItem == 0 && tip.cchTextMax > 0) {
            const std::size_t room = static_cast<std::size_t>(tip.cchTextMax) - 1;
            const std::size_t length = std::min(rmsTip_.size(), room);
            std::copy_n(rmsTip_.begin(), length, tip.pszText);
            tip.pszText[length] = L'\0';
        }
        return 0;
    }
    // The columns' widths changed by hand: the heading tips follow.
    if (header.code == NM_RELEASEDCAPTURE)
        PlaceHeaderTips();
    return std::nullopt;
}

}  // namespace quillet::sweepwin
