#include "registerwin/register_window.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "plotwin/gdiplus_canvas.h"
#include "recordpdf/pdf_files.h"
#include "recordpdf/record_sheet.h"
#include "records/dates.h"
#include "records/due.h"
#include "records/entry_checks.h"
#include "records/measurement_cache.h"
#include "records/register_rows.h"
#include "registerwin/file_dialogs.h"
#include "registerwin/network_dialog.h"
#include "registerwin/record_list.h"
#include "registerwin/register_menu.h"
#include "registerwin/register_settings.h"
#include "registerwin/trend_control.h"
#include "registerwin/withdraw_dialog.h"
#include "sweepwin/sweep_settings.h"
#include "win32/dpi.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "win32/window_self.h"

namespace quillet::registerwin {
namespace {

constexpr wchar_t kClassName[] = L"QuilletRegisterWindow";
constexpr wchar_t kTitle[] = L"Quillet";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// Sizes at 96 DPI: the client area at first and at least, and the gaps.
constexpr int kWindowWidth = 1000, kWindowHeight = 700, kLeastWidth = 640, kLeastHeight = 480;
constexpr int kMargin = 8, kGap = 6, kButtonHeight = 25, kButtonGap = 4, kCellPadding = 16;
// The controls' ids, after the commands'.
enum Control : WORD { kNetworksControl = 200, kHistoryControl, kTrendControl };

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "\\" + name;
}

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}  // namespace

class RegisterWindow::Impl {
public:
    Impl(RegisterWindow& owner, HINSTANCE instance, RegisterWindowHost& host, std::string cacheFolder);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    HWND Window() const { return window_; }
    SIZE LeastSize() const;
    std::string OpenRegister(const std::string& path, records::OpenFor openFor);
    records::VerificationRegister* Register() { return register_.get(); }
    void Refresh();
    std::optional<std::string> SelectedSerial() const;
    std::optional<std::int64_t> SelectedVerification() const;
    void PrintRecord(const std::string& file);
    void PrintHistory(const std::string& file);
    bool PreTranslate(const MSG& message);
    const RecordList& Networks() const { return *networks_; }
    const RecordList& History() const { return *history_; }
    HWND Control(std::string_view name) const;
    bool TrendShown() const { return trend_->HasPlot(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Destroyed(WPARAM wParam, LPARAM lParam);
    HWND Child(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id = 0);
    void CreateControls();
    void ApplyDpi(UINT dpi);
    void Layout();
    void OnCommand(WORD id);
    void ShowHistory();
    void UpdateActions();
    void Enable(WORD command, HWND button, bool enabled);
    void Fail(const std::string& message);
    void Guarded(const std::function<void()>& action);

    void OpenWithDialog(records::OpenFor openFor);
    void BackUpWithDialog();
    void AddNetwork();
    void OpenMeasurement();
    void PrintRecordWithDialog();
    void PrintHistoryWithDialog();
    void Withdraw();

    RegisterWindow& owner_;
    HINSTANCE instance_;
    RegisterWindowHost& host_;
    std::string cacheFolder_;
    plotwin::GdiplusSession gdiplus_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    int lineHeight_ = 16;
    std::unique_ptr<RecordList> networks_, history_;
    std::unique_ptr<TrendControl> trend_;
    HWND addNetwork_ = nullptr, printHistory_ = nullptr, historyLabel_ = nullptr;
    HWND openMeasurement_ = nullptr, printRecord_ = nullptr, withdraw_ = nullptr, status_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool refreshing_ = false;      // the lists' own selection news is not news
    bool closingQuietly_ = false;  // destroyed by the owner, who knows
    std::unique_ptr<records::VerificationRegister> register_;
};

RegisterWindow::Impl::Impl(RegisterWindow& owner, HINSTANCE instance, RegisterWindowHost& host, std::string cacheFolder)
    : owner_(owner), instance_(instance), host_(host), cacheFolder_(std::move(cacheFolder)) {
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    windowClass.hIcon =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    win32::RegisterClassOnce(windowClass, "register window");
    window_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"Verification register \u2013 Quillet", kStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, MakeRegisterMenu(),
                                instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the register window");
    accelerators_ = MakeRegisterAccelerators();
    try {
        CreateControls();
    } catch (...) {
        // No window may outlive its object, which is not made.
        closingQuietly_ = true;
        ::DestroyWindow(window_);
        ::DestroyAcceleratorTable(accelerators_);
        throw;
    }
    ApplyDpi(win32::DpiOf(window_));
    RECT outer{0, 0, win32::Scale(kWindowWidth, dpi_), win32::Scale(kWindowHeight, dpi_)};
    ::AdjustWindowRectEx(&outer, kStyle, TRUE, WS_EX_CONTROLPARENT);
    ::SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    Refresh();  // says how to open a register until one is
    ::ShowWindow(window_, SW_SHOW);
    ::SetFocus(networks_->Handle());
}

RegisterWindow::Impl::~Impl() {
    if (window_ != nullptr) {
        closingQuietly_ = true;
        ::DestroyWindow(window_);
    }
    networks_.reset();
    history_.reset();
    trend_.reset();
    if (accelerators_ != nullptr)
        ::DestroyAcceleratorTable(accelerators_);
    if (font_ != nullptr)
        ::DeleteObject(font_);
}

HWND RegisterWindow::Impl::Child(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id) {
    HWND child = ::CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (child == nullptr)
        throw std::runtime_error("cannot create the register window's controls");
    return child;
}

// Created in the order Tab goes through them: each list, then the buttons
// under it. The label before the history names it for screen readers.
void RegisterWindow::Impl::CreateControls() {
    networks_ =
        std::make_unique<RecordList>(instance_, window_, kNetworksControl, L"Networks", records::NetworkHeadings());
    addNetwork_ = Child(L"BUTTON", L"&Add network\u2026", BS_PUSHBUTTON | WS_TABSTOP, kAddNetworkCommand);
    printHistory_ = Child(L"BUTTON", L"Print &history\u2026", BS_PUSHBUTTON | WS_TABSTOP, kPrintHistoryCommand);
    historyLabel_ = Child(L"STATIC", L"History of the selected network:", SS_LEFT | SS_NOPREFIX);
    history_ =
        std::make_unique<RecordList>(instance_, window_, kHistoryControl, L"History", records::HistoryHeadings());
    openMeasurement_ = Child(L"BUTTON", L"Open &measurement", BS_PUSHBUTTON | WS_TABSTOP, kOpenMeasurementCommand);
    printRecord_ = Child(L"BUTTON", L"&Print record\u2026", BS_PUSHBUTTON | WS_TABSTOP, kPrintRecordCommand);
    withdraw_ = Child(L"BUTTON", L"&Withdraw\u2026", BS_PUSHBUTTON | WS_TABSTOP, kWithdrawCommand);
    trend_ = std::make_unique<TrendControl>(instance_, window_, kTrendControl);
    status_ = Child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_ENDELLIPSIS);

    networks_->SelectionChanged = [this] {
        if (refreshing_)
            return;
        ShowHistory();
        UpdateActions();
    };
    history_->SelectionChanged = [this] {
        if (!refreshing_)
            UpdateActions();
    };
    history_->Activated = [this] { OpenMeasurement(); };

    HWND tips = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                                  window_, nullptr, instance_, nullptr);
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(openMeasurement_);
    tool.lpszText = const_cast<wchar_t*>(L"Double-click a verification to open its measurement");
    ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void RegisterWindow::Impl::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    if (font_ != nullptr)
        ::DeleteObject(font_);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -::MulDiv(9, static_cast<int>(dpi_), 72);
    font_ = ::CreateFontIndirectW(&metrics.lfMessageFont);
    for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    HDC dc = ::GetDC(window_);
    HGDIOBJ previous = ::SelectObject(dc, font_);
    TEXTMETRICW text{};
    ::GetTextMetricsW(dc, &text);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window_, dc);
    lineHeight_ = text.tmHeight;
    trend_->SetDpi(dpi_);
    networks_->FitColumns(win32::Scale(kCellPadding, dpi_));
    history_->FitColumns(win32::Scale(kCellPadding, dpi_));
    Layout();
}

// The networks above, their buttons under them; the history beside the
// trend below, the history's buttons under both, so that no button is
// ever under the trend; the status line at the bottom.
void RegisterWindow::Impl::Layout() {
    if (!networks_ || !history_ || !trend_ || status_ == nullptr)
        return;  // sized while it is still being made
    const auto s = [this](int pixels) { return win32::Scale(pixels, dpi_); };
    RECT client;
    ::GetClientRect(window_, &client);
    const int width = client.right - 2 * s(kMargin);
    const int buttonHeight = std::max(s(kButtonHeight), lineHeight_ + s(8));
    const int statusHeight = lineHeight_ + s(4);
    const int fixed = 2 * s(kMargin) + 2 * (buttonHeight + s(kGap)) + lineHeight_ + s(kGap) + statusHeight + s(kGap);
    const int lists = std::max<int>(client.bottom - fixed, s(100));
    const int upper = lists / 3;
    const int lower = lists - upper;
    const int buttonWidth = s(130);
    const auto place = [](HWND control, int x, int y, int w, int h) { ::MoveWindow(control, x, y, w, h, TRUE); };
    int y = s(kMargin);
    place(networks_->Handle(), s(kMargin), y, width, upper);
    y += upper + s(kGap);
    place(addNetwork_, s(kMargin), y, buttonWidth, buttonHeight);
    place(printHistory_, s(kMargin) + buttonWidth + s(kButtonGap), y, buttonWidth, buttonHeight);
    y += buttonHeight + s(kGap);
    const int historyWidth = (width - s(kGap)) * 2 / 5;
    place(historyLabel_, s(kMargin), y, historyWidth, lineHeight_);
    place(trend_->Handle(), s(kMargin) + historyWidth + s(kGap), y, width - historyWidth - s(kGap),
          lineHeight_ + s(kGap) + lower);
    y += lineHeight_ + s(kGap);
    place(history_->Handle(), s(kMargin), y, historyWidth, lower);
    y += lower + s(kGap);
    int x = s(kMargin);
    for (HWND button : {openMeasurement_, printRecord_, withdraw_}) {
        place(button, x, y, buttonWidth, buttonHeight);
        x += buttonWidth + s(kButtonGap);
    }
    y += buttonHeight + s(kGap);
    place(status_, s(kMargin), y, width, statusHeight);
}

SIZE RegisterWindow::Impl::LeastSize() const {
    RECT outer{0, 0, win32::Scale(kLeastWidth, dpi_), win32::Scale(kLeastHeight, dpi_)};
    ::AdjustWindowRectEx(&outer, kStyle, TRUE, WS_EX_CONTROLPARENT);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

HWND RegisterWindow::Impl::Control(std::string_view name) const {
    const std::pair<std::string_view, HWND> controls[] = {
        {"Networks", networks_->Handle()},
        {"History", history_->Handle()},
        {"Trend", trend_->Handle()},
        {"Status", status_},
        {"AddNetwork", addNetwork_},
        {"PrintHistory", printHistory_},
        {"OpenMeasurement", openMeasurement_},
        {"PrintRecord", printRecord_},
        {"Withdraw", withdraw_},
    };
    for (const auto& [known, handle] : controls) {
        if (known == name)
            return handle;
    }
    return nullptr;
}

std::string RegisterWindow::Impl::OpenRegister(const std::string& path, records::OpenFor openFor) {
    try {
        register_ = std::make_unique<records::VerificationRegister>(path, openFor);
    } catch (const std::exception& error) {
        return error.what();
    }
    sweepwin::SetRegisterFile(path);
    const std::string title =
        FileName(path) + (register_->readOnly() ? " (read-only)" : "") + " \u2013 Verification register \u2013 Quillet";
    ::SetWindowTextW(window_, win32::Wide(title).c_str());
    Refresh();
    return {};
}

void RegisterWindow::Impl::Refresh() {
    const std::optional<std::string> selected = SelectedSerial();
    std::vector<records::DueEntry> entries;
    if (register_) {
        try {
            entries = records::DueList(*register_, records::TodayUtc());
        } catch (const std::exception& error) {
            Fail(error.what());
        }
    }
    std::vector<ListRow> rows;
    std::size_t overdue = 0;
    for (const records::DueEntry& entry : entries) {
        const records::NetworkRow texts = records::NetworkRowTexts(entry);
        rows.push_back({{texts.begin(), texts.end()}, entry.overdue, false, {}, entry.network.id});
        overdue += entry.overdue ? 1 : 0;
    }
    refreshing_ = true;
    networks_->SetRows(std::move(rows));
    // The network selected before stays so, wherever sorting put it; at
    // first the one at the top, so its history shows.
    const std::vector<const ListRow*> shown = networks_->Shown();
    if (!(selected && networks_->SelectText(records::kSerialColumn, *selected)) && !shown.empty())
        networks_->SelectKey(shown.front()->key);
    refreshing_ = false;
    networks_->FitColumns(win32::Scale(kCellPadding, dpi_));
    const std::string status =
        register_ ? records::StatusLine(entries.size(), overdue, records::TodayUtc()) : records::NoRegisterText();
    ::SetWindowTextW(status_, win32::Wide(status).c_str());
    ShowHistory();
    UpdateActions();
}

void RegisterWindow::Impl::ShowHistory() {
    const std::optional<std::int64_t> selected = SelectedVerification();
    const std::optional<std::string> serial = SelectedSerial();
    trend_->SetPlot(std::nullopt);
    std::vector<records::Verification> verifications;
    if (register_ && serial) {
        try {
            verifications = register_->Verifications(*serial);
            if (const auto network = register_->NetworkBySerial(*serial))
                trend_->SetPlot(recordpdf::HistoryTrend(*network, verifications));
        } catch (const std::exception& error) {
            verifications.clear();
            Fail(error.what());
        }
    }
    std::vector<ListRow> rows;
    for (const records::Verification& v : verifications) {
        const records::HistoryRow texts = records::HistoryRowTexts(v);
        rows.push_back(
            {{texts.begin(), texts.end()}, false, v.withdrawnAt.has_value(), records::WithdrawnTip(v), v.id});
    }
    refreshing_ = true;
    history_->SetRows(std::move(rows));
    if (selected)
        history_->SelectKey(*selected);
    refreshing_ = false;
    history_->FitColumns(win32::Scale(kCellPadding, dpi_));
}

std::optional<std::string> RegisterWindow::Impl::SelectedSerial() const {
    const ListRow* row = networks_->Selected();
    if (row == nullptr)
        return std::nullopt;
    return row->texts[records::kSerialColumn];
}

std::optional<std::int64_t> RegisterWindow::Impl::SelectedVerification() const {
    const ListRow* row = history_->Selected();
    if (row == nullptr)
        return std::nullopt;
    return row->key;
}

// Writing needs a register that may be written; reading needs a selection.
void RegisterWindow::Impl::UpdateActions() {
    const bool open = register_ != nullptr;
    const bool writable = open && !register_->readOnly();
    const bool network = SelectedSerial().has_value();
    const bool verification = SelectedVerification().has_value();
    // Withdrawn is withdrawn for good: the register refuses it a second time.
    const bool withdrawn = verification && history_->Selected()->greyed;
    Enable(kBackupCommand, nullptr, open);
    Enable(kAddNetworkCommand, addNetwork_, writable);
    Enable(kPrintHistoryCommand, printHistory_, network);
    Enable(kOpenMeasurementCommand, openMeasurement_, verification);
    Enable(kPrintRecordCommand, printRecord_, verification);
    Enable(kWithdrawCommand, withdraw_, writable && verification && !withdrawn);
}

// A button going grey keeps no focus: the list above it takes it.
void RegisterWindow::Impl::Enable(WORD command, HWND button, bool enabled) {
    ::EnableMenuItem(::GetMenu(window_), command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    if (button == nullptr)
        return;
    if (!enabled && ::GetFocus() == button)
        ::SetFocus(button == addNetwork_ || button == printHistory_ ? networks_->Handle() : history_->Handle());
    ::EnableWindow(button, enabled ? TRUE : FALSE);
}

void RegisterWindow::Impl::Fail(const std::string& message) {
    ::MessageBoxW(window_, win32::Wide(message).c_str(), kTitle, MB_OK | MB_ICONWARNING);
}

// What goes wrong is told, not thrown.
void RegisterWindow::Impl::Guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        Fail(error.what());
    }
}

void RegisterWindow::Impl::OpenWithDialog(records::OpenFor openFor) {
    const std::string folder = FolderOf(sweepwin::RegisterFile());
    const std::string path = openFor == records::OpenFor::Reading
                                 ? AskRegisterToOpen(window_, folder)
                                 : AskRegisterToStart(window_, InFolder(folder, "verifications.sqlite"));
    if (path.empty())
        return;
    // A new register is never made over an existing file: that file is
    // opened as a register or refused as one, untouched either way.
    const std::string message = OpenRegister(path, openFor);
    if (!message.empty())
        Fail(message);
}

void RegisterWindow::Impl::BackUpWithDialog() {
    if (!register_)
        return;
    std::string base = FileName(register_->path());
    if (const std::size_t dot = base.rfind('.'); dot != std::string::npos && dot > 0)
        base.resize(dot);
    const std::string target =
        AskBackupFile(window_, InFolder(FolderOf(register_->path()), base + "-" + records::TodayUtc() + ".sqlite"));
    if (target.empty())
        return;
    Guarded([&] {
        // The dialog has asked about replacing an existing file.
        register_->Backup(target, true);
        ::SetWindowTextW(status_, win32::Wide("Backed up to " + target).c_str());
    });
}

void RegisterWindow::Impl::AddNetwork() {
    if (!register_ || register_->readOnly())
        return;
    const std::optional<std::string> added = AddNetworkWithDialog(window_, *register_);
    if (!added)
        return;
    Refresh();
    networks_->SelectText(records::kSerialColumn, *added);
}

void RegisterWindow::Impl::OpenMeasurement() {
    const auto id = SelectedVerification();
    if (!register_ || !id)
        return;
    std::string path;
    try {
        const std::string folder = cacheFolder_.empty() ? MeasurementCacheFolder() : cacheFolder_;
        path = records::CacheMeasurement(*register_, *id, folder);
    } catch (const std::exception& error) {
        Fail(error.what());
        return;
    }
    host_.OpenMeasurementRequested(window_, path);
}

void RegisterWindow::Impl::PrintRecord(const std::string& file) {
    const auto id = SelectedVerification();
    if (!register_ || !id)
        throw std::runtime_error("no verification is selected");
    const records::Verification v = register_->Get(*id);
    const auto network = register_->NetworkBySerial(v.serial);
    if (!network)
        throw std::runtime_error("the register has no network " + v.serial);
    recordpdf::WriteRecordPdf(file, {register_->path()}, *network, v);
}

void RegisterWindow::Impl::PrintHistory(const std::string& file) {
    const auto serial = SelectedSerial();
    if (!register_ || !serial)
        throw std::runtime_error("no network is selected");
    const auto network = register_->NetworkBySerial(*serial);
    if (!network)
        throw std::runtime_error("the register has no network " + *serial);
    recordpdf::WriteHistoryPdf(file, {register_->path()}, *network, register_->Verifications(*serial));
}

void RegisterWindow::Impl::PrintRecordWithDialog() {
    const auto id = SelectedVerification();
    if (!register_ || !id)
        return;
    Guarded([&] {
        const records::Verification v = register_->Get(*id);
        const std::string file =
            AskPdfFile(window_, "Print verification " + std::to_string(*id),
                       InFolder(FolderOf(register_->path()), records::RecordPdfName(v.serial, v.date, v.id)));
        if (!file.empty())
            PrintRecord(file);
    });
}

void RegisterWindow::Impl::PrintHistoryWithDialog() {
    const auto serial = SelectedSerial();
    if (!register_ || !serial)
        return;
    Guarded([&] {
        const std::string file =
            AskPdfFile(window_, "Print the history of " + *serial,
                       InFolder(FolderOf(register_->path()), records::HistoryPdfName(*serial, records::TodayUtc())));
        if (!file.empty())
            PrintHistory(file);
    });
}

void RegisterWindow::Impl::Withdraw() {
    const auto id = SelectedVerification();
    if (!register_ || register_->readOnly() || !id)
        return;
    if (WithdrawWithDialog(window_, *register_, *id))
        Refresh();
}

void RegisterWindow::Impl::OnCommand(WORD id) {
    switch (id) {
    case kNewRegisterCommand: OpenWithDialog(records::OpenFor::Writing); break;
    case kOpenRegisterCommand: OpenWithDialog(records::OpenFor::Reading); break;
    case kBackupCommand: BackUpWithDialog(); break;
    case kCloseCommand: ::PostMessageW(window_, WM_CLOSE, 0, 0); break;
    case kAddNetworkCommand: AddNetwork(); break;
    case kPrintHistoryCommand: PrintHistoryWithDialog(); break;
    case kOpenMeasurementCommand: OpenMeasurement(); break;
    case kPrintRecordCommand: PrintRecordWithDialog(); break;
    case kWithdrawCommand: Withdraw(); break;
    default: break;
    }
}

// Enter on a verification opens its measurement, as a double click does;
// Tab and the buttons' access keys as in a dialog.
bool RegisterWindow::Impl::PreTranslate(const MSG& message) {
    if (window_ == nullptr || (message.hwnd != window_ && ::IsChild(window_, message.hwnd) == 0))
        return false;
    if (::TranslateAcceleratorW(window_, accelerators_, const_cast<MSG*>(&message)) != 0)
        return true;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && message.hwnd == history_->Handle() &&
        !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
        OpenMeasurement();
        return true;
    }
    return ::IsDialogMessageW(window_, const_cast<MSG*>(&message)) != 0;
}

LRESULT CALLBACK RegisterWindow::Impl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::WindowSelf(hwnd, message, lParam, &Impl::window_);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT RegisterWindow::Impl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_NOTIFY: {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (networks_) {
            if (const std::optional<LRESULT> handled = networks_->Notify(header))
                return *handled;
        }
        if (history_) {
            if (const std::optional<LRESULT> handled = history_->Notify(header))
                return *handled;
        }
        break;
    }
    case WM_SIZE: Layout(); return 0;
    case WM_ACTIVATE:
        // Coming back to the window is no move between its controls: the
        // one that had the focus gets it back.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focused = ::GetFocus();
            if (focused != nullptr && ::IsChild(window_, focused) != 0)
                lastFocus_ = focused;
        } else if (networks_) {
            ::SetFocus(lastFocus_ != nullptr && ::IsWindow(lastFocus_) ? lastFocus_ : networks_->Handle());
        }
        return 0;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        const SIZE least = LeastSize();
        limits->ptMinTrackSize = {least.cx, least.cy};
        return 0;
    }
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        ApplyDpi(HIWORD(wParam));
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_NEXTDLGCTL: {
        HWND focused = ::GetFocus();
        HWND next = LOWORD(lParam) != 0
                        ? reinterpret_cast<HWND>(wParam)
                        : ::GetNextDlgTabItem(window_, ::IsChild(window_, focused) != 0 ? focused : nullptr,
                                              wParam != 0 ? TRUE : FALSE);
        if (next != nullptr)
            ::SetFocus(next);
        return 0;
    }
    case WM_CLOSE: ::DestroyWindow(window_); return 0;
    case WM_NCDESTROY: return Destroyed(wParam, lParam);
    default: break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT RegisterWindow::Impl::Destroyed(WPARAM wParam, LPARAM lParam) {
    HWND gone = window_;
    window_ = nullptr;
    ::SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
    const LRESULT result = ::DefWindowProcW(gone, WM_NCDESTROY, wParam, lParam);
    if (!closingQuietly_)
        host_.Closed(owner_);  // may destroy this
    return result;
}

RegisterWindow::RegisterWindow(HINSTANCE instance, RegisterWindowHost& host, std::string cacheFolder)
    : impl_(std::make_unique<Impl>(*this, instance, host, std::move(cacheFolder))) {}
RegisterWindow::~RegisterWindow() = default;

HWND RegisterWindow::Handle() const { return impl_->Window(); }
SIZE RegisterWindow::LeastSize() const { return impl_->LeastSize(); }
void RegisterWindow::Close() {
    if (impl_->Window() != nullptr)
        ::SendMessageW(impl_->Window(), WM_CLOSE, 0, 0);
}
std::string RegisterWindow::OpenRegister(const std::string& path, records::OpenFor openFor) {
    return impl_->OpenRegister(path, openFor);
}
records::VerificationRegister* RegisterWindow::Register() { return impl_->Register(); }
void RegisterWindow::Refresh() { impl_->Refresh(); }
std::optional<std::string> RegisterWindow::SelectedSerial() const { return impl_->SelectedSerial(); }
std::optional<std::int64_t> RegisterWindow::SelectedVerification() const { return impl_->SelectedVerification(); }
void RegisterWindow::PrintRecord(const std::string& file) { impl_->PrintRecord(file); }
void RegisterWindow::PrintHistory(const std::string& file) { impl_->PrintHistory(file); }
bool RegisterWindow::PreTranslate(const MSG& message) { return impl_->PreTranslate(message); }
const RecordList& RegisterWindow::Networks() const { return impl_->Networks(); }
const RecordList& RegisterWindow::History() const { return impl_->History(); }
HWND RegisterWindow::Control(std::string_view name) const { return impl_->Control(name); }
bool RegisterWindow::TrendShown() const { return impl_->TrendShown(); }

}  // namespace quillet::registerwin
