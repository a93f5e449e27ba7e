#include "registerwin/form_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "win32/dpi.h"
#include "win32/modal_loop.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "win32/window_self.h"

namespace quillet::registerwin {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Sizes at 96 DPI.
constexpr int kMargin = 11, kGap = 6, kLabelWidth = 150, kFieldWidth = 280, kRowHeight = 23, kButtonWidth = 90,
              kButtonHeight = 25, kProblemLines = 3;
// Dark red on the dialog's face, as the Qt form shows its faults.
constexpr COLORREF kProblemColour = RGB(0xB0, 0x00, 0x20);

std::string Trimmed(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos)
        return {};
    const std::size_t last = text.find_last_not_of(L" \t\r\n");
    return win32::Narrow(std::wstring_view(text).substr(first, last - first + 1));
}

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

class FormDialog {
public:
    FormDialog(HINSTANCE instance, HWND owner, const std::string& title, const std::string& note,
               const std::vector<FormField>& fields, const std::string& acceptText);
    ~FormDialog();
    FormDialog(const FormDialog&) = delete;
    FormDialog& operator=(const FormDialog&) = delete;

    bool Run(const FormCheck& check);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Child(const wchar_t* windowClass, const std::string& text, DWORD style, int id = 0, DWORD exStyle = 0);
    void CreateControls(const std::string& note, const std::vector<FormField>& fields, const std::string& acceptText);
    void Layout();
    int TextHeight(HWND control, int width) const;
    FormValues Values() const;
    void Accept();

    HINSTANCE instance_;
    HWND owner_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    HWND note_ = nullptr, problems_ = nullptr, accept_ = nullptr, cancel_ = nullptr;
    std::vector<HWND> labels_, inputs_;
    std::vector<FormField::Kind> kinds_;
    const FormCheck* check_ = nullptr;
    bool done_ = false, accepted_ = false;
};

FormDialog::FormDialog(HINSTANCE instance, HWND owner, const std::string& title, const std::string& note,
                       const std::vector<FormField>& fields, const std::string& acceptText)
    : instance_(instance), owner_(owner) {
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kFormDialogClass;
    win32::RegisterClassOnce(windowClass, "form dialog");
    window_ = ::CreateWindowExW(kExStyle, kFormDialogClass, win32::Wide(title).c_str(), kStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the dialog");
    try {
        CreateControls(note, fields, acceptText);
    } catch (...) {
        ::DestroyWindow(window_);
        throw;
    }
    dpi_ = win32::DpiOf(owner != nullptr ? owner : window_);
    Layout();
}

FormDialog::~FormDialog() {
    if (window_ != nullptr)
        ::DestroyWindow(window_);
    if (font_ != nullptr)
        ::DeleteObject(font_);
}

HWND FormDialog::Child(const wchar_t* windowClass, const std::string& text, DWORD style, int id, DWORD exStyle) {
    HWND child =
        ::CreateWindowExW(exStyle, windowClass, win32::Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                          window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (child == nullptr)
        throw std::runtime_error("cannot create the dialog's controls");
    return child;
}

// In the order Tab goes through them; each label just before its field,
// which screen readers and its access key take it for.
void FormDialog::CreateControls(const std::string& note, const std::vector<FormField>& fields,
                                const std::string& acceptText) {
    if (!note.empty())
        note_ = Child(L"STATIC", note, SS_LEFT | SS_NOPREFIX);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FormField& field = fields[i];
        const int id = kFirstFieldControl + static_cast<int>(i);
        labels_.push_back(Child(L"STATIC", field.label, SS_LEFT | SS_CENTERIMAGE));
        kinds_.push_back(field.kind);
        if (field.kind == FormField::Choice) {
            HWND box = Child(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, id);
            for (const std::string& choice : field.choices)
                ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(choice).c_str()));
            int chosen = 0;
            std::from_chars(field.initial.data(), field.initial.data() + field.initial.size(), chosen);
            ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
            inputs_.push_back(box);
        } else {
            const DWORD digits = field.kind == FormField::Digits ? ES_NUMBER : 0;
            HWND edit = Child(L"EDIT", field.initial, ES_AUTOHSCROLL | WS_TABSTOP | digits, id, WS_EX_CLIENTEDGE);
            if (!field.cue.empty())
                ::SendMessageW(edit, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(win32::Wide(field.cue).c_str()));
            inputs_.push_back(edit);
        }
    }
    problems_ = Child(L"STATIC", "", SS_LEFT | SS_NOPREFIX, kProblemsControl);
    accept_ = Child(L"BUTTON", acceptText, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    cancel_ = Child(L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
}

int FormDialog::TextHeight(HWND control, int width) const {
    const std::wstring text = TextOf(control);
    HDC dc = ::GetDC(window_);
    HGDIOBJ previous = ::SelectObject(dc, font_);
    RECT box{0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window_, dc);
    return box.bottom;
}

// Label beside field, one row each, at the owner's DPI; over the middle of
// the owner.
void FormDialog::Layout() {
    if (font_ != nullptr)
        ::DeleteObject(font_);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -::MulDiv(9, static_cast<int>(dpi_), 72);
    font_ = ::CreateFontIndirectW(&metrics.lfMessageFont);
    for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    const auto s = [this](int pixels) { return win32::Scale(pixels, dpi_); };
    const int width = s(kMargin) * 2 + s(kLabelWidth) + s(kGap) + s(kFieldWidth);
    const int inner = width - 2 * s(kMargin);
    int y = s(kMargin);
    if (note_ != nullptr) {
        const int height = TextHeight(note_, inner);
        ::MoveWindow(note_, s(kMargin), y, inner, height, TRUE);
        y += height + s(kGap);
    }
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
        ::MoveWindow(labels_[i], s(kMargin), y, s(kLabelWidth), s(kRowHeight), TRUE);
        // A drop-down list's height is that of its open list.
        const int height = kinds_[i] == FormField::Choice ? s(kRowHeight) * 8 : s(kRowHeight);
        ::MoveWindow(inputs_[i], s(kMargin) + s(kLabelWidth) + s(kGap), y, s(kFieldWidth), height, TRUE);
        y += s(kRowHeight) + s(kGap);
    }
    // Room for a few faults from the start, so the form does not jump.
    const int shownHeight = std::max(TextHeight(problems_, inner), s(16) * kProblemLines);
    ::MoveWindow(problems_, s(kMargin), y, inner, shownHeight, TRUE);
    y += shownHeight + s(kGap);
    ::MoveWindow(cancel_, width - s(kMargin) - s(kButtonWidth), y, s(kButtonWidth), s(kButtonHeight), TRUE);
    ::MoveWindow(accept_, width - s(kMargin) - 2 * s(kButtonWidth) - s(kGap), y, s(kButtonWidth), s(kButtonHeight),
                 TRUE);
    const int height = y + s(kButtonHeight) + s(kMargin);

    RECT outer{0, 0, width, height};
    ::AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner_ != nullptr ? owner_ : window_, MONITOR_DEFAULTTONEAREST), &monitor);
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

FormValues FormDialog::Values() const {
    FormValues values;
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
        if (kinds_[i] == FormField::Choice)
            values.push_back(std::to_string(std::max<LRESULT>(::SendMessageW(inputs_[i], CB_GETCURSEL, 0, 0), 0)));
        else
            values.push_back(Trimmed(TextOf(inputs_[i])));
    }
    return values;
}

// The faults one to a line under the fields, the form left as typed.
void FormDialog::Accept() {
    const std::vector<std::string> problems = (*check_)(Values());
    if (problems.empty()) {
        accepted_ = done_ = true;
        return;
    }
    std::string text;
    for (const std::string& problem : problems)
        text += (text.empty() ? "" : "\r\n") + problem;
    ::SetWindowTextW(problems_, win32::Wide(text).c_str());
    Layout();
}

bool FormDialog::Run(const FormCheck& check) {
    check_ = &check;
    win32::RunModal(window_, owner_, inputs_.empty() ? nullptr : inputs_.front(), done_);
    window_ = nullptr;
    return accepted_;
}

LRESULT CALLBACK FormDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::WindowSelf(hwnd, message, lParam, &FormDialog::window_);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT FormDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && check_ != nullptr)
            Accept();
        else if (LOWORD(wParam) == IDCANCEL)
            done_ = true;
        return 0;
    case WM_CLOSE: done_ = true; return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == problems_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, kProblemColour);
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_DPICHANGED:
        dpi_ = HIWORD(wParam);
        Layout();
        return 0;
    case WM_NEXTDLGCTL: {
        // A label's access key: the focus goes to the field after it.
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

bool RunForm(HWND owner, const std::string& title, const std::string& note, const std::vector<FormField>& fields,
             const std::string& acceptText, const FormCheck& check) {
    // The program's own module: the dialog's class is registered with it.
    FormDialog dialog(::GetModuleHandleW(nullptr), owner, title, note, fields, acceptText);
    return dialog.Run(check);
}

}  // namespace quillet::registerwin
