#include "sweepwin/column_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "sweepcore/column_choice.h"
#include "sweepwin/sweep_layout.h"
#include "win32/modal_loop.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "win32/window_self.h"

namespace quillet::sweepwin {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Sizes at 96 DPI.
constexpr int kMargin = 11, kGap = 6, kComboWidth = 140, kLeastClientWidth = 520, kButtonWidth = 100,
              kButtonHeight = 25;
enum : int { kFirstColumnControl = 100, kReferenceControl = 90 };

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class ColumnDialog {
public:
    ColumnDialog(HINSTANCE instance, HWND owner, std::string path, const std::string& why);
    ~ColumnDialog();
    ColumnDialog(const ColumnDialog&) = delete;
    ColumnDialog& operator=(const ColumnDialog&) = delete;

    std::optional<ChosenColumns> Run();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Child(const wchar_t* windowClass, const std::string& text, DWORD style, int id = 0, DWORD exStyle = 0);
    void CreateControls(const std::string& why);
    void ApplyDpi(UINT dpi);
    int TextHeight(HWND control, int width) const;
    std::string ColumnList() const;
    void UpdatePreview();

    HINSTANCE instance_;
    HWND owner_;
    std::string path_;
    std::vector<std::string> lines_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    HWND message_ = nullptr, linesLabel_ = nullptr, linesBox_ = nullptr, holdsLabel_ = nullptr;
    std::vector<HWND> columnLabels_, columns_;
    HWND referenceLabel_ = nullptr, reference_ = nullptr, preview_ = nullptr, ok_ = nullptr, cancel_ = nullptr;
    std::optional<measurement::ReadOptions> options_;
    bool done_ = false, accepted_ = false;
};

ColumnDialog::ColumnDialog(HINSTANCE instance, HWND owner, std::string path, const std::string& why)
    : instance_(instance), owner_(owner), path_(std::move(path)), lines_(sweepcore::FirstLines(path_)) {
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kColumnDialogClass;
    win32::RegisterClassOnce(windowClass, "columns dialog");
    const std::wstring title = win32::Wide("Columns of " + FileName(path_));
    window_ = ::CreateWindowExW(kExStyle, kColumnDialogClass, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the columns dialog");
    try {
        CreateControls(why);
    } catch (...) {
        ::DestroyWindow(window_);
        throw;
    }
    ApplyDpi(win32::DpiOf(owner != nullptr ? owner : window_));
    UpdatePreview();
}

ColumnDialog::~ColumnDialog() {
    if (window_ != nullptr)
        ::DestroyWindow(window_);
    if (font_ != nullptr)
        ::DeleteObject(font_);
}

HWND ColumnDialog::Child(const wchar_t* windowClass, const std::string& text, DWORD style, int id, DWORD exStyle) {
    HWND child =
        ::CreateWindowExW(exStyle, windowClass, win32::Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                          window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (child == nullptr)
        throw std::runtime_error("cannot create the columns dialog's controls");
    return child;
}

// Created in the order Tab goes through them; each label just before the
// control it names, which screen readers and its access key take it for.
void ColumnDialog::CreateControls(const std::string& why) {
    message_ = Child(L"STATIC", sweepcore::ColumnDialogAdvice(why), SS_LEFT | SS_NOPREFIX);
    linesLabel_ = Child(L"STATIC", "The file's &first lines:", SS_LEFT);
    std::string shown;
    for (const std::string& line : lines_)
        shown += (shown.empty() ? "" : "\r\n") + line;
    linesBox_ =
        Child(L"EDIT", shown,
              ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP, 0,
              WS_EX_CLIENTEDGE);
    holdsLabel_ = Child(L"STATIC", "Each column holds:", SS_LEFT | SS_NOPREFIX);
    const std::size_t fields = sweepcore::FieldCount(lines_);
    for (std::size_t i = 0; i < fields; ++i) {
        const std::string number = std::to_string(i + 1);
        // Access keys 1 to 9; the columns after them are reached by Tab.
        columnLabels_.push_back(Child(L"STATIC", (i < 9 ? "Column &" : "Column ") + number, SS_LEFT));
        HWND box = Child(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL,
                         kFirstColumnControl + static_cast<int>(i));
        for (const sweepcore::ColumnQuantity& quantity : sweepcore::ColumnQuantities())
            ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(quantity.shown).c_str()));
        ::SendMessageW(box, CB_SETCURSEL, 0, 0);
        columns_.push_back(box);
    }
    referenceLabel_ = Child(L"STATIC", "S11 is &measured against (ohm):", SS_LEFT | SS_CENTERIMAGE);
    reference_ = Child(L"EDIT", "50", ES_AUTOHSCROLL | WS_TABSTOP, kReferenceControl, WS_EX_CLIENTEDGE);
    preview_ = Child(L"STATIC", "", SS_LEFT | SS_NOPREFIX);
    ok_ = Child(L"BUTTON", "&Read the file", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    cancel_ = Child(L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
}

int ColumnDialog::TextHeight(HWND control, int width) const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    HDC dc = ::GetDC(window_);
    HGDIOBJ previous = ::SelectObject(dc, font_);
    RECT box{0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window_, dc);
    return box.bottom;
}

// Everything placed for the DPI, the columns side by side as wide as the
// screen allows, the window sized around them.
void ColumnDialog::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    if (font_ != nullptr)
        ::DeleteObject(font_);
    font_ = MakeFont(dpi_);
    for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    const auto s = [this](int pixels) { return Scale(pixels, dpi_); };
    const int line = LineHeight(window_, font_);
    const int boxHeight = line + s(10);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner_ != nullptr ? owner_ : window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const int screenWidth = monitor.rcWork.right - monitor.rcWork.left;
    const int count = static_cast<int>(columns_.size());
    const int wanted = 2 * s(kMargin) + count * s(kComboWidth) + (count - 1) * s(kGap);
    const int width = std::clamp(wanted, s(kLeastClientWidth), std::max(s(kLeastClientWidth), screenWidth * 9 / 10));
    const int inner = width - 2 * s(kMargin);
    const int comboWidth = (inner - (count - 1) * s(kGap)) / std::max(count, 1);

    int y = s(kMargin);
    const auto place = [](HWND control, int x, int top, int w, int h) { ::MoveWindow(control, x, top, w, h, TRUE); };
    const int messageHeight = TextHeight(message_, inner);
    place(message_, s(kMargin), y, inner, messageHeight);
    y += messageHeight + s(kGap);
    place(linesLabel_, s(kMargin), y, inner, line);
    y += line + s(2);
    const int shownLines = static_cast<int>(std::clamp<std::size_t>(lines_.size(), 3, sweepcore::kShownLines));
    // Every line in view above the horizontal scroll bar.
    const int editHeight = (shownLines + 1) * line + ::GetSystemMetrics(SM_CYHSCROLL) + s(4);
    place(linesBox_, s(kMargin), y, inner, editHeight);
    y += editHeight + s(kGap);
    place(holdsLabel_, s(kMargin), y, inner, line);
    y += line + s(2);
    for (int i = 0; i < count; ++i) {
        const int x = s(kMargin) + i * (comboWidth + s(kGap));
        place(columnLabels_[static_cast<std::size_t>(i)], x, y, comboWidth, line);
        // A drop-down list's height is that of its open list.
        place(columns_[static_cast<std::size_t>(i)], x, y + line + s(2), comboWidth, boxHeight + 12 * line);
    }
    y += line + s(2) + boxHeight + s(kGap);
    const int labelWidth = std::min(inner / 2, s(200));
    place(referenceLabel_, s(kMargin), y, labelWidth, boxHeight);
    place(reference_, s(kMargin) + labelWidth + s(kGap), y, s(80), boxHeight);
    y += boxHeight + s(kGap);
    const int previewHeight = 3 * line;
    place(preview_, s(kMargin), y, inner, previewHeight);
    y += previewHeight + s(kGap);
    place(cancel_, width - s(kMargin) - s(kButtonWidth), y, s(kButtonWidth), s(kButtonHeight));
    place(ok_, width - s(kMargin) - 2 * s(kButtonWidth) - s(kGap), y, s(kButtonWidth), s(kButtonHeight));
    const int height = y + s(kButtonHeight) + s(kMargin);

    RECT outer{0, 0, width, height};
    ::AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    // Over the middle of its owner, within the work area.
    RECT around = monitor.rcWork;
    if (owner_ != nullptr && ::IsWindowVisible(owner_) != 0)
        ::GetWindowRect(owner_, &around);
    const RECT& work = monitor.rcWork;
    const int left = std::clamp<int>((around.left + around.right - outerWidth) / 2, work.left,
                                     std::max<int>(work.left, work.right - outerWidth));
    const int top = std::clamp<int>((around.top + around.bottom - outerHeight) / 2, work.top,
                                    std::max<int>(work.top, work.bottom - outerHeight));
    ::SetWindowPos(window_, nullptr, left, top, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string ColumnDialog::ColumnList() const {
    std::vector<std::size_t> chosen;
    for (HWND box : columns_)
        chosen.push_back(static_cast<std::size_t>(std::max<LRESULT>(::SendMessageW(box, CB_GETCURSEL, 0, 0), 0)));
    std::wstring reference(static_cast<std::size_t>(::GetWindowTextLengthW(reference_)) + 1, L'\0');
    reference.resize(
        static_cast<std::size_t>(::GetWindowTextW(reference_, reference.data(), static_cast<int>(reference.size()))));
    return sweepcore::ColumnList(chosen, win32::Narrow(reference));
}

// Only a reading that works can be accepted.
void ColumnDialog::UpdatePreview() {
    sweepcore::ColumnPreview preview = sweepcore::PreviewColumns(path_, ColumnList());
    options_ = std::move(preview.options);
    ::SetWindowTextW(preview_, win32::Wide(preview.text).c_str());
    ::EnableWindow(ok_, options_ ? TRUE : FALSE);
}

std::optional<ChosenColumns> ColumnDialog::Run() {
    std::optional<ChosenColumns> chosen;
    win32::RunModal(window_, owner_, columns_.empty() ? nullptr : columns_.front(), done_, [&] {
        if (accepted_ && options_)
            chosen = ChosenColumns{ColumnList(), *options_};
    });
    window_ = nullptr;
    return chosen;
}

LRESULT CALLBACK ColumnDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::WindowSelf(hwnd, message, lParam, &ColumnDialog::window_);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT ColumnDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == IDOK && options_) {
            accepted_ = done_ = true;
        } else if (id == IDCANCEL) {
            done_ = true;
        } else if ((id >= kFirstColumnControl && code == CBN_SELCHANGE) ||
                   (id == kReferenceControl && code == EN_CHANGE)) {
            UpdatePreview();
        }
        return 0;
    }
    case WM_CLOSE: done_ = true; return 0;
    case WM_DPICHANGED: ApplyDpi(HIWORD(wParam)); return 0;
    case WM_NEXTDLGCTL: {
        // A label's access key: the focus goes to the control after it.
        HWND focused = ::GetFocus();
        HWND next = LOWORD(lParam) != 0
                        ? reinterpret_cast<HWND>(wParam)
                        : ::GetNextDlgTabItem(window_, ::IsChild(window_, focused) != 0 ? focused : nullptr,
                                              wParam != 0 ? TRUE : FALSE);
        if (next != nullptr)
            ::SetFocus(next);
        return 0;
    }
    case WM_NCDESTROY: {
        HWND gone = window_;
        window_ = nullptr;
        ::SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
        return ::DefWindowProcW(gone, message, wParam, lParam);
    }
    default: break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace

std::optional<ChosenColumns> AskColumns(HINSTANCE instance, HWND owner, const std::string& path,
                                        const std::string& why) {
    ColumnDialog dialog(instance, owner, path, why);
    return dialog.Run();
}

}  // namespace quillet::sweepwin
