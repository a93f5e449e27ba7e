#include "registerwin/record_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "files/native_path.h"
#include "recordpdf/pdf_files.h"
#include "records/entry_checks.h"
#include "records/verification_entry.h"
#include "sweepwin/export_dialog.h"
#include "sweepwin/sweep_layout.h"
#include "sweepwin/sweep_settings.h"
#include "win32/modal_loop.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "win32/window_self.h"

namespace quillet::registerwin {
namespace {

using sweepwin::Scale;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Sizes at 96 DPI.
constexpr int kMargin = 11, kGap = 6, kClientWidth = 560, kLabelWidth = 200, kButtonWidth = 100, kButtonHeight = 25,
              kAddButtonWidth = 110;
constexpr COLORREF kProblemColour = RGB(0xb0, 0x00, 0x20);

// A labelled text field: its label's text with the access key, the hint
// shown while it is empty, and its id.
struct FieldRow {
    const char* label;
    const wchar_t* hint;
    int id;
};
constexpr FieldRow kTextRows[] = {
    {"&Date:", L"YYYY-MM-DD", kDateControl},
    {"&Operator:", L"", kOperatorControl},
    {"&Instrument:", L"", kInstrumentControl},
    {"Instrument &calibration due:", L"YYYY-MM-DD", kCalibrationDueControl},
    {"&Line:", L"L1", kLineControl},
    {"Other &terminals:", L"", kTerminalsControl},
    {"Adapter or &fixture:", L"", kFixtureControl},
};
// The three figures of the uncertainty on one row: the row's label names
// the first; screen readers name the others by labels never laid out.
constexpr FieldRow kUncertaintyFields[] = {
    {"Expanded &uncertainty (%, \u00b0, k):", L"%", kUncertaintyMagnitudeControl},
    {"Expanded uncertainty, phase (\u00b0)", L"\u00b0", kUncertaintyPhaseControl},
    {"Coverage factor (k)", L"k", kCoverageFactorControl},
};

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ProblemText(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems)
        text += (text.empty() ? "" : "\r\n") + problem;
    return text;
}

class RecordDialog {
public:
    RecordDialog(HWND owner, records::VerificationRegister& register_, std::string measurement,
                 std::optional<std::string> evaluatedSha256, std::int16_t shownAnType, AddNetworkFunction addNetwork);
    ~RecordDialog();
    RecordDialog(const RecordDialog&) = delete;
    RecordDialog& operator=(const RecordDialog&) = delete;

    std::optional<std::int64_t> Run();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(WORD id, WORD code);
    HWND Child(const wchar_t* windowClass, const std::string& text, DWORD style, int id = 0, DWORD exStyle = 0);
    HWND Field(const FieldRow& row);
    void CreateControls();
    void ApplyDpi(UINT dpi);
    void Layout();
    int PlaceRow(HWND label, HWND field, int y, int line) const;
    int TextHeight(HWND control, int width) const;
    std::string Text(int id) const;
    void FillNetworks(const std::string& select);
    std::string ChosenSerial() const;
    void NoteType();
    void AddNetwork();
    void ShowProblems(const std::string& text);
    void Record();
    std::optional<std::string> ReadMeasurement(std::string& bytes) const;

    HWND owner_;
    records::VerificationRegister& register_;
    std::string measurement_;
    std::optional<std::string> evaluatedSha256_;
    std::int16_t shownAnType_;
    AddNetworkFunction addNetwork_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    std::vector<std::pair<HWND, HWND>> rows_;  // label and field, top to bottom
    HWND network_ = nullptr, addButton_ = nullptr, typeNote_ = nullptr, problems_ = nullptr;
    HWND record_ = nullptr, cancel_ = nullptr;
    std::vector<HWND> uncertainty_;
    std::vector<std::string> serials_;  // the network choice's, in its order
    std::optional<std::int64_t> recorded_;
    bool done_ = false;
};

RecordDialog::RecordDialog(HWND owner, records::VerificationRegister& register_, std::string measurement,
                           std::optional<std::string> evaluatedSha256, std::int16_t shownAnType,
                           AddNetworkFunction addNetwork)
    : owner_(owner),
      register_(register_),
      measurement_(std::move(measurement)),
      evaluatedSha256_(std::move(evaluatedSha256)),
      shownAnType_(shownAnType),
      addNetwork_(std::move(addNetwork)) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kRecordDialogClass;
    win32::RegisterClassOnce(windowClass, "record dialog");
    window_ = ::CreateWindowExW(kExStyle, kRecordDialogClass, L"Record verification", kStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the record dialog");
    try {
        CreateControls();
    } catch (...) {
        ::DestroyWindow(window_);
        throw;
    }
    ApplyDpi(win32::DpiOf(owner != nullptr ? owner : window_));
}

RecordDialog::~RecordDialog() {
    if (window_ != nullptr)
        ::DestroyWindow(window_);
    if (font_ != nullptr)
        ::DeleteObject(font_);
}

HWND RecordDialog::Child(const wchar_t* windowClass, const std::string& text, DWORD style, int id, DWORD exStyle) {
    HWND child = ::CreateWindowExW(exStyle, windowClass, win32::Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                                   0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleW(nullptr), nullptr);
    if (child == nullptr)
        throw std::runtime_error("cannot create the record dialog's controls");
    return child;
}

HWND RecordDialog::Field(const FieldRow& row) {
    HWND field = Child(L"EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, row.id, WS_EX_CLIENTEDGE);
    ::SendMessageW(field, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(row.hint));
    return field;
}

// Created in the order Tab goes through them; each label just before the
// control it names, which screen readers and its access key take it for.
void RecordDialog::CreateControls() {
    rows_.emplace_back(Child(L"STATIC", "Measurement:", SS_LEFT | SS_NOPREFIX),
                       Child(L"STATIC", FileName(measurement_), SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS));
    rows_.emplace_back(Child(L"STATIC", "Register:", SS_LEFT | SS_NOPREFIX),
                       Child(L"STATIC", FileName(register_.path()), SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS));
    HWND networkLabel = Child(L"STATIC", "Net&work:", SS_LEFT);
    network_ = Child(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kNetworkControl);
    rows_.emplace_back(networkLabel, network_);
    if (addNetwork_)
        addButton_ = Child(L"BUTTON", "Add &network\u2026", BS_PUSHBUTTON | WS_TABSTOP, kAddNetworkControl);
    for (const FieldRow& row : kTextRows) {
        HWND label = Child(L"STATIC", row.label, SS_LEFT);
        rows_.emplace_back(label, Field(row));
    }
    HWND uncertaintyLabel = nullptr;
    for (const FieldRow& row : kUncertaintyFields) {
        HWND label = Child(L"STATIC", row.label, SS_LEFT);
        uncertaintyLabel = uncertaintyLabel != nullptr ? uncertaintyLabel : label;
        if (label != uncertaintyLabel)
            ::ShowWindow(label, SW_HIDE);
        uncertainty_.push_back(Field(row));
    }
    rows_.emplace_back(uncertaintyLabel, uncertainty_.front());
    HWND correctsLabel = Child(L"STATIC", "Corr&ects verification:", SS_LEFT);
    rows_.emplace_back(correctsLabel, Field({"", L"verification number", kCorrectsControl}));
    ::SetWindowTextW(::GetDlgItem(window_, kDateControl), win32::Wide(records::DefaultVerificationDate()).c_str());
    typeNote_ = Child(L"STATIC", "", SS_LEFT | SS_NOPREFIX, kTypeNoteControl);
    problems_ = Child(L"STATIC", "", SS_LEFT | SS_NOPREFIX, kProblemsControl);
    record_ = Child(L"BUTTON", "&Record", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    cancel_ = Child(L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
    if (register_.readOnly()) {
        ::SetWindowTextW(problems_, win32::Wide(records::kReadOnlyRegisterText).c_str());
        ::EnableWindow(record_, FALSE);
        if (addButton_ != nullptr)
            ::EnableWindow(addButton_, FALSE);
    }
    // No network is taken for granted: recorded against the wrong one, a
    // verification could only be withdrawn.
    FillNetworks({});
}

int RecordDialog::TextHeight(HWND control, int width) const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    if (text.empty())
        return 0;
    HDC dc = ::GetDC(window_);
    HGDIOBJ previous = ::SelectObject(dc, font_);
    RECT box{0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window_, dc);
    return box.bottom;
}

void RecordDialog::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    if (font_ != nullptr)
        ::DeleteObject(font_);
    font_ = sweepwin::MakeFont(dpi_);
    for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    Layout();
}

// Label beside field, one row at y; the row's height.
int RecordDialog::PlaceRow(HWND label, HWND field, int y, int line) const {
    const auto s = [this](int pixels) { return Scale(pixels, dpi_); };
    const auto place = [](HWND control, int x, int top, int w, int h) { ::MoveWindow(control, x, top, w, h, TRUE); };
    const int boxHeight = line + s(10);
    const int fieldLeft = s(kMargin) + s(kLabelWidth), fieldWidth = s(kClientWidth) - s(kMargin) - fieldLeft;
    place(label, s(kMargin), y + (boxHeight - line) / 2, s(kLabelWidth) - s(kGap), line);
    if (field == network_) {
        const int comboWidth = addButton_ != nullptr ? fieldWidth - s(kAddButtonWidth) - s(kGap) : fieldWidth;
        // A drop-down list's height is that of its open list.
        place(network_, fieldLeft, y, comboWidth, boxHeight + 10 * line);
        if (addButton_ != nullptr)
            place(addButton_, fieldLeft + comboWidth + s(kGap), y, s(kAddButtonWidth), boxHeight);
    } else if (field == uncertainty_.front()) {
        const int third = (fieldWidth - 2 * s(kGap)) / 3;
        for (std::size_t i = 0; i < uncertainty_.size(); ++i)
            place(uncertainty_[i], fieldLeft + static_cast<int>(i) * (third + s(kGap)), y, third, boxHeight);
    } else if ((::GetWindowLongW(field, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
        place(field, fieldLeft, y, fieldWidth, boxHeight);
    } else {  // a text shown, level with its label
        place(field, fieldLeft, y + (boxHeight - line) / 2, fieldWidth, line);
    }
    return boxHeight;
}

// Row under row; the notes as tall as their text, the window sized around
// it all.
void RecordDialog::Layout() {
    if (font_ == nullptr)
        return;  // still being made
    const auto s = [this](int pixels) { return Scale(pixels, dpi_); };
    const int line = sweepwin::LineHeight(window_, font_);
    const int width = s(kClientWidth), inner = width - 2 * s(kMargin);
    const auto place = [](HWND control, int x, int top, int w, int h) { ::MoveWindow(control, x, top, w, h, TRUE); };
    int y = s(kMargin);
    for (const auto& [label, field] : rows_)
        y += PlaceRow(label, field, y, line) + s(kGap);
    for (HWND note : {typeNote_, problems_}) {
        const int height = TextHeight(note, inner);
        place(note, s(kMargin), y, inner, height);
        y += height > 0 ? height + s(kGap) : 0;
    }
    place(cancel_, width - s(kMargin) - s(kButtonWidth), y, s(kButtonWidth), s(kButtonHeight));
    place(record_, width - s(kMargin) - 2 * s(kButtonWidth) - s(kGap), y, s(kButtonWidth), s(kButtonHeight));
    const int height = y + s(kButtonHeight) + s(kMargin);

    RECT outer{0, 0, width, height};
    ::AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner_ != nullptr ? owner_ : window_, MONITOR_DEFAULTTONEAREST), &monitor);
    // Over the middle of its owner at first; once shown, it stays where it
    // is as the notes come and go, within the work area.
    RECT around = monitor.rcWork;
    if (::IsWindowVisible(window_) != 0) {
        ::GetWindowRect(window_, &around);
        around.right = around.left + outerWidth;
        around.bottom = around.top + outerHeight;
    } else if (owner_ != nullptr && ::IsWindowVisible(owner_) != 0) {
        ::GetWindowRect(owner_, &around);
    }
    const RECT& work = monitor.rcWork;
    const int left = std::clamp<int>((around.left + around.right - outerWidth) / 2, work.left,
                                     std::max<int>(work.left, work.right - outerWidth));
    const int top = std::clamp<int>((around.top + around.bottom - outerHeight) / 2, work.top,
                                    std::max<int>(work.top, work.bottom - outerHeight));
    ::SetWindowPos(window_, nullptr, left, top, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string RecordDialog::Text(int id) const {
    HWND control = ::GetDlgItem(window_, id);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return win32::Narrow(text);
}

void RecordDialog::ShowProblems(const std::string& text) {
    ::SetWindowTextW(problems_, win32::Wide(text).c_str());
    Layout();
    ::InvalidateRect(problems_, nullptr, TRUE);
}

void RecordDialog::FillNetworks(const std::string& select) {
    ::SendMessageW(network_, CB_RESETCONTENT, 0, 0);
    serials_.clear();
    try {
        for (const records::Network& network : register_.Networks()) {
            ::SendMessageW(network_, CB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(win32::Wide(records::NetworkCaption(network)).c_str()));
            serials_.push_back(network.serial);
        }
    } catch (const records::RegisterError& error) {
        ShowProblems(error.what());
    }
    const auto found = std::find(serials_.begin(), serials_.end(), select);
    const auto index = found == serials_.end() || select.empty() ? -1 : std::distance(serials_.begin(), found);
    ::SendMessageW(network_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    NoteType();
}

std::string RecordDialog::ChosenSerial() const {
    const LRESULT index = ::SendMessageW(network_, CB_GETCURSEL, 0, 0);
    return index >= 0 && static_cast<std::size_t>(index) < serials_.size() ? serials_[static_cast<std::size_t>(index)]
                                                                           : std::string();
}

// The record is evaluated for the network's own type, which the sweep on
// show may not be.
void RecordDialog::NoteType() {
    std::string note;
    try {
        const std::string serial = ChosenSerial();
        const auto network = serial.empty() ? std::nullopt : register_.NetworkBySerial(serial);
        if (network)
            note = records::TypeNoteText(shownAnType_, *network);
    } catch (const records::RegisterError& error) {
        ShowProblems(error.what());
    }
    ::SetWindowTextW(typeNote_, win32::Wide(note).c_str());
    Layout();
}

void RecordDialog::AddNetwork() {
    std::optional<std::string> added;
    try {
        added = addNetwork_(window_, register_);
    } catch (const std::exception& error) {
        ShowProblems(error.what());
        return;
    }
    if (added)
        FillNetworks(*added);
    ::SetFocus(network_);
}

// The bytes recorded are read now, once; the message when they cannot be.
std::optional<std::string> RecordDialog::ReadMeasurement(std::string& bytes) const {
    std::ifstream in(files::FsPath(measurement_), std::ios::binary);
    if (!in)
        return records::CannotReadMeasurementText(measurement_, "it cannot be opened");
    std::ostringstream read;
    read << in.rdbuf();
    if (in.bad())
        return records::CannotReadMeasurementText(measurement_, "it could not be read through");
    bytes = std::move(read).str();
    return std::nullopt;
}

void RecordDialog::Record() {
    records::TypedVerification typed;
    typed.serial = ChosenSerial();
    typed.date = Text(kDateControl);
    typed.operatorName = Text(kOperatorControl);
    typed.instrument = Text(kInstrumentControl);
    typed.calibrationDue = Text(kCalibrationDueControl);
    typed.line = Text(kLineControl);
    typed.terminals = Text(kTerminalsControl);
    typed.fixture = Text(kFixtureControl);
    typed.uncertaintyMagnitude = Text(kUncertaintyMagnitudeControl);
    typed.uncertaintyPhase = Text(kUncertaintyPhaseControl);
    typed.coverageFactor = Text(kCoverageFactorControl);
    typed.corrects = Text(kCorrectsControl);
    try {
        records::CheckedVerification checked = records::CheckTypedVerification(typed, register_);
        if (!checked.problems.empty()) {
            ShowProblems(ProblemText(checked.problems));
            return;
        }
        std::string bytes;
        std::optional<std::string> refused = ReadMeasurement(bytes);
        if (!refused)
            refused = records::AttachMeasurement(checked.verification, *checked.network, std::move(bytes),
                                                 FileName(measurement_), evaluatedSha256_);
        if (refused) {
            ShowProblems(*refused);
            return;
        }
        recorded_ = register_.Record(checked.verification);
    } catch (const std::exception& error) {
        ShowProblems(error.what());
        return;
    }
    done_ = true;
}

std::optional<std::int64_t> RecordDialog::Run() {
    win32::RunModal(window_, owner_, network_, done_);
    window_ = nullptr;
    return recorded_;
}

LRESULT CALLBACK RecordDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::WindowSelf(hwnd, message, lParam, &RecordDialog::window_);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

void RecordDialog::OnCommand(WORD id, WORD code) {
    switch (id) {
    case IDOK:
        if (::IsWindowEnabled(record_) != 0)
            Record();
        break;
    case IDCANCEL: done_ = true; break;
    case kAddNetworkControl:
        if (addNetwork_)
            AddNetwork();
        break;
    case kNetworkControl:
        if (code == CBN_SELCHANGE)
            NoteType();
        break;
    default: break;
    }
}

LRESULT RecordDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == problems_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, kProblemColour);
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
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
    case WM_DESTROY: done_ = true; break;  // its owner went: nothing is left to record from
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

// Where to save, offering the suggested name in the last folder used; the
// name ends in .pdf. Nothing when the user cancels.
std::optional<std::string> AskPdfFile(HWND owner, const std::string& title, const std::string& suggestedName) {
    std::wstring buffer = win32::Wide(suggestedName);
    buffer.resize(32768, L'\0');
    const std::wstring wideTitle = win32::Wide(title);
    const std::wstring folder = win32::Wide(sweepwin::LastFolder());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"PDF (*.pdf)\0*.pdf\0";
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = wideTitle.c_str();
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    // The ending is added before the dialog asks about replacing a file,
    // so it asks by the name that will be written.
    dialog.lpstrDefExt = L"pdf";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (::GetSaveFileNameW(&dialog) == 0)
        return std::nullopt;
    return win32::Narrow(buffer.c_str());
}

}  // namespace

std::optional<std::int64_t> AskVerification(HWND owner, records::VerificationRegister& register_,
                                            const std::string& measurement,
                                            const std::optional<std::string>& evaluatedSha256, std::int16_t shownAnType,
                                            const AddNetworkFunction& addNetwork) {
    RecordDialog dialog(owner, register_, measurement, evaluatedSha256, shownAnType, addNetwork);
    return dialog.Run();
}

void SaveRecordPdf(records::VerificationRegister& register_, const std::string& measurement, std::int64_t id,
                   const std::string& file) {
    const records::Verification verification = register_.Get(id);
    const std::optional<records::Network> network = register_.NetworkBySerial(verification.serial);
    if (!network)
        throw std::runtime_error("network " + verification.serial + " is not in the register");
    recordpdf::WriteRecordPdf(file, {register_.path(), measurement}, *network, verification);
    sweepwin::SetLastFolder(file);
}

std::optional<std::int64_t> RecordVerification(HWND owner, records::VerificationRegister& register_,
                                               const std::string& measurement,
                                               const std::optional<std::string>& evaluatedSha256,
                                               std::int16_t shownAnType, const AddNetworkFunction& addNetwork) {
    const std::optional<std::int64_t> id =
        AskVerification(owner, register_, measurement, evaluatedSha256, shownAnType, addNetwork);
    if (!id)
        return std::nullopt;
    try {
        const records::Verification verification = register_.Get(*id);
        const auto file = AskPdfFile(owner, "Verification " + std::to_string(*id) + " recorded: save its record as PDF",
                                     records::RecordPdfName(verification.serial, verification.date, *id));
        if (file)
            SaveRecordPdf(register_, measurement, *id, *file);
    } catch (const std::exception& error) {
        sweepwin::ShowWarning(owner, "Verification " + std::to_string(*id) +
                                         " is recorded, but its record could not be saved as PDF:\n" + error.what());
    }
    return id;
}

}  // namespace quillet::registerwin
