#include "sweepwin/sweep_window.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <exception>
#include <functional>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

#include "engine/an_types.h"
#include "files/atomic_file.h"
#include "files/file_identity.h"
#include "plotwin/gdiplus_canvas.h"
#include "plotwin/png_file.h"
#include "sweep/rows_text.h"
#include "sweepwin/budget_grid.h"
#include "sweepwin/clipboard.h"
#include "sweepwin/export_dialog.h"
#include "sweepwin/impedance_control.h"
#include "sweepwin/plot_control.h"
#include "sweepwin/point_list.h"
#include "sweepwin/sweep_layout.h"
#include "sweepwin/sweep_menu.h"
#include "sweepwin/sweep_settings.h"
#include "sweepwin/sweep_worker.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "win32/window_self.h"

namespace quillet::sweepwin {
namespace {

constexpr wchar_t kClassName[] = L"QuilletSweepWindow";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr UINT_PTR kShowTimer = 1;
// The controls' ids, after the commands' and every recent file's: a
// control's notification must never read as a menu command.
enum Control : WORD {
    kAnTypeControl = kRecentCommand + kRecentFiles,
    kPlotControl,
    kSummaryControl,
    kBudgetControl,
    kTableControl,
    kPlotTabsControl,
    kImpedanceControl,
};

// The plot tabs, in their order.
enum PlotTab : int { kDeviationTab, kImpedanceTab };

constexpr ExportFormat kReportFormats[] = {
    {"CSV (*.csv)", "*.csv", "csv"},
    {"JSON (*.json)", "*.json", "json"},
    {"Text table (*.txt)", "*.txt", "txt"},
};
constexpr sweep::ReportFormat kReportFormatOf[] = {sweep::ReportFormat::Csv, sweep::ReportFormat::Json,
                                                   sweep::ReportFormat::Table};
constexpr ExportFormat kPlotFormats[] = {
    {"PNG image (*.png)", "*.png", "png"},
    {"SVG drawing (*.svg)", "*.svg", "svg"},
};
constexpr sweep::PlotFormat kPlotFormatOf[] = {sweep::PlotFormat::Png, sweep::PlotFormat::Svg};

std::string Count(std::size_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return {digits, end};
}

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Lines as a multi-line edit control shows them.
std::wstring EditText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\r\n") + line;
    return win32::Wide(text);
}

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}  // namespace

class SweepWindow::Impl {
public:
    Impl(SweepWindow& owner, HINSTANCE instance, SweepWindowHost& host, std::string path, std::int16_t anType,
         measurement::ReadOptions options, int showAfterMs);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    HWND Window() const { return window_; }
    const std::string& Path() const { return path_; }
    const std::optional<sweepcore::SweepResult>& Result() const { return result_; }
    const std::optional<std::string>& EvaluatedSha256() const { return evaluatedSha256_; }
    bool Busy() const { return worker_.Busy(); }
    SIZE LeastSize() const { return {Scale(kLeastWidth, dpi_), Scale(kLeastHeight, dpi_)}; }
    std::optional<plot::FrequencyRange> Zoom() const { return plot_->Zoom(); }
    HWND Control(std::string_view name) const;
    bool PreTranslate(const MSG& message);
    void ExportReport(const std::string& file, sweep::ReportFormat format) const;
    void ExportPlot(const std::string& file, sweep::PlotFormat format) const;
    void ExportImpedancePlot(const std::string& file, sweep::PlotFormat format) const;
    std::string SelectedRowsText() const;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> Notify(NMHDR& header);
    LRESULT Destroyed(WPARAM wParam, LPARAM lParam);
    void CreateControls();
    HWND Child(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id = 0, DWORD exStyle = 0);
    void ApplyDpi(UINT dpi);
    void Layout();
    void OnCommand(WORD id, WORD code, bool fromControl);

    void Evaluate(bool reread);
    void Progressed(WPARAM generation);
    void Done(WPARAM generation);
    void Finish(sweepcore::SweepResult result, std::optional<std::string> sha256);
    void Fail(const std::string& message);
    void SetBusy(bool busy);
    void SetStatus(const std::string& text);
    void ShowTypeOfResult();
    void ZoomChanged(bool zoomed);
    void ShowPlot(int tab);
    HWND ShownPlot() const;
    void ShowOnce();

    std::string ExportTarget(const std::string& file) const;
    void ExportWithDialog(const std::string& title, const std::string& proposedEnding,
                          std::span<const ExportFormat> formats,
                          const std::function<void(const sweepwin::ExportTarget&)>& write);
    void Copy();
    void MoveFocus(bool forward);
    void RememberSize() const;

    SweepWindow& owner_;
    HINSTANCE instance_;
    SweepWindowHost& host_;
    std::string path_;
    measurement::ReadOptions options_;
    plotwin::GdiplusSession gdiplus_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    int lineHeight_ = 16;
    HWND typeLabel_ = nullptr, anType_ = nullptr, reload_ = nullptr, resetZoom_ = nullptr;
    HWND summary_ = nullptr, status_ = nullptr, progress_ = nullptr, cancel_ = nullptr;
    HWND tips_ = nullptr;
    HWND lastFocus_ = nullptr;
    HWND plotTabs_ = nullptr;
    std::unique_ptr<PlotControl> plot_;
    std::unique_ptr<ImpedanceControl> impedance_;
    std::unique_ptr<BudgetGrid> budget_;
    std::unique_ptr<PointList> table_;
    std::size_t summaryLines_ = 0, budgetLines_ = 0;
    std::vector<std::string> recent_;  // as the recent menu shows them
    bool busy_ = false;
    bool closingQuietly_ = false;  // destroyed by the owner, who knows

    std::optional<sweepcore::SweepResult> result_;
    std::optional<std::string> evaluatedSha256_;
    SweepWorker worker_;
    WPARAM generation_ = 0;  // news of an evaluation since replaced is dropped
};

SweepWindow::Impl::Impl(SweepWindow& owner, HINSTANCE instance, SweepWindowHost& host, std::string path,
                        std::int16_t anType, measurement::ReadOptions options, int showAfterMs)
    : owner_(owner), instance_(instance), host_(host), path_(std::move(path)), options_(std::move(options)) {
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    windowClass.hIcon =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    win32::RegisterClassOnce(windowClass, "sweep window");
    const std::string title = FileName(measurement::SourceName(path_)) + " \u2013 Quillet";
    window_ = ::CreateWindowExW(0, kClassName, win32::Wide(title).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, MakeSweepMenu(), instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the sweep window");
    accelerators_ = MakeSweepAccelerators();
    try {
        CreateControls();
    } catch (...) {
        // No window may outlive its object, which is not made.
        closingQuietly_ = true;
        ::DestroyWindow(window_);
        if (accelerators_ != nullptr)
            ::DestroyAcceleratorTable(accelerators_);
        throw;
    }
    ::SendMessageW(anType_, CB_SETCURSEL, static_cast<WPARAM>(std::clamp<int>(anType, 1, 4) - 1), 0);
    ApplyDpi(DpiOf(window_));
    const SIZE client = SweepWindowSize().value_or(SIZE{kWindowWidth, kWindowHeight});
    const SIZE outer = OuterSize(Scale(std::max<int>(client.cx, kLeastWidth), dpi_),
                                 Scale(std::max<int>(client.cy, kLeastHeight), dpi_), kStyle, dpi_);
    const RECT place = WithinWorkArea(window_, outer);
    ::SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (showAfterMs > 0) {
        ::SetTimer(window_, kShowTimer, static_cast<UINT>(showAfterMs), nullptr);
    } else {
        ::ShowWindow(window_, SW_SHOW);
    }
    ::SetFocus(anType_);
    Evaluate(true);
}

SweepWindow::Impl::~Impl() {
    worker_.Stop();
    if (window_ != nullptr) {
        closingQuietly_ = true;
        ::DestroyWindow(window_);
    }
    plot_.reset();
    if (accelerators_ != nullptr)
        ::DestroyAcceleratorTable(accelerators_);
    if (font_ != nullptr)
        ::DeleteObject(font_);
}

HWND SweepWindow::Impl::Child(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, DWORD exStyle) {
    HWND child = ::CreateWindowExW(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (child == nullptr)
        throw std::runtime_error("cannot create the sweep window's controls");
    return child;
}

// Created in the order Tab goes through them; a label comes just before
// the control its access key reaches.
void SweepWindow::Impl::CreateControls() {
    typeLabel_ = Child(L"STATIC", L"AN &type:", SS_LEFT | SS_CENTERIMAGE);
    anType_ = Child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kAnTypeControl);
    for (const AnTypeInfo& type : kAnTypes)
        ::SendMessageW(anType_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(type.caption).c_str()));
    reload_ = Child(L"BUTTON", L"&Reload", BS_PUSHBUTTON | WS_TABSTOP, kReloadCommand);
    resetZoom_ = Child(L"BUTTON", L"Reset &zoom", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, kResetZoomCommand);
    // Out of the Tab chain, which goes from the buttons straight to the
    // plot on show; Alt+D and Alt+I choose a tab.
    plotTabs_ = Child(WC_TABCONTROLW, L"Plots", TCS_FOCUSNEVER, kPlotTabsControl);
    for (const wchar_t* caption : {L"&Deviation", L"&Impedance"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption);
        ::SendMessageW(plotTabs_, TCM_INSERTITEMW,
                       static_cast<WPARAM>(::SendMessageW(plotTabs_, TCM_GETITEMCOUNT, 0, 0)),
                       reinterpret_cast<LPARAM>(&item));
    }
    plot_ = std::make_unique<PlotControl>(instance_, window_, kPlotControl);
    plot_->ZoomChanged = [this](bool zoomed) { ZoomChanged(zoomed); };
    impedance_ = std::make_unique<ImpedanceControl>(instance_, window_, kImpedanceControl);
    // Never laid out: the name screen readers give the summary after it.
    Child(L"STATIC", L"Summary", SS_LEFT | SS_NOPREFIX);
    summary_ = Child(L"EDIT", L"", ES_MULTILINE | ES_READONLY | WS_TABSTOP, kSummaryControl);
    budget_ = std::make_unique<BudgetGrid>(instance_, window_, kBudgetControl);
    table_ = std::make_unique<PointList>(instance_, window_, kTableControl);
    table_->Activated = [this](const sweep::EvaluatedPoint& p) {
        if (result_)
            host_.PointActivated(p.frequencyText, p.magnitudeText, p.phaseText, result_->evaluation->anType);
    };
    status_ = Child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_ENDELLIPSIS);
    progress_ = Child(PROGRESS_CLASSW, L"Evaluation progress", PBS_SMOOTH);
    cancel_ = Child(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, kCancelCommand);

    tips_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, window_,
                              nullptr, instance_, nullptr);
    const std::pair<HWND, const wchar_t*> tips[] = {
        {reload_, L"Read the file again and evaluate it (F5)"},
        {resetZoom_,
         L"Zoom the frequency axis with the wheel, by dragging a range or with + and -; a double click, Home or 0 "
         L"shows the whole sweep again"},
        {table_->Handle(), L"Double-click a row or press Enter on it to calculate it in the calculator"},
    };
    for (const auto& [control, text] : tips) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<wchar_t*>(text);
        ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void SweepWindow::Impl::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    if (font_ != nullptr)
        ::DeleteObject(font_);
    font_ = MakeFont(dpi_);
    for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    lineHeight_ = LineHeight(window_, font_);
    plot_->SetDpi(dpi_);
    impedance_->SetDpi(dpi_);
    if (result_) {
        table_->FitColumns(dpi_);
        budget_->FitColumns(dpi_);
    }
    Layout();
}

void SweepWindow::Impl::Layout() {
    if (!plot_ || !impedance_ || !table_ || cancel_ == nullptr)
        return;  // sized while it is still being made
    RECT client;
    ::GetClientRect(window_, &client);
    const Places places =
        PlaceControls({client.right, client.bottom}, dpi_, lineHeight_, summaryLines_, budgetLines_, busy_);
    const std::pair<HWND, RECT> moves[] = {
        {typeLabel_, places.typeLabel},
        {anType_, places.anType},
        {reload_, places.reload},
        {resetZoom_, places.resetZoom},
        {plotTabs_, places.plotTabs},
        {plot_->Handle(), places.plot},
        {impedance_->Handle(), places.plot},
        {summary_, places.summary},
        {budget_->Handle(), places.budget},
        {table_->Handle(), places.table},
        {status_, places.status},
        {progress_, places.progress},
        {cancel_, places.cancel},
    };
    HDWP positions = ::BeginDeferWindowPos(static_cast<int>(std::size(moves)));
    for (const auto& [control, place] : moves) {
        if (positions != nullptr)
            positions = ::DeferWindowPos(positions, control, nullptr, place.left, place.top, place.right - place.left,
                                         place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions != nullptr)
        ::EndDeferWindowPos(positions);
    ::ShowWindow(budget_->Handle(), budgetLines_ > 0 ? SW_SHOWNA : SW_HIDE);
    ::ShowWindow(progress_, busy_ ? SW_SHOWNA : SW_HIDE);
    ::ShowWindow(cancel_, busy_ ? SW_SHOWNA : SW_HIDE);
}

HWND SweepWindow::Impl::Control(std::string_view name) const {
    const std::pair<std::string_view, HWND> controls[] = {
        {"AnType", anType_},
        {"Reload", reload_},
        {"ResetZoom", resetZoom_},
        {"PlotTabs", plotTabs_},
        {"Plot", plot_ ? plot_->Handle() : nullptr},
        {"Impedance", impedance_ ? impedance_->Handle() : nullptr},
        {"Summary", summary_},
        {"Budget", budget_ ? budget_->Handle() : nullptr},
        {"Table", table_ ? table_->Handle() : nullptr},
        {"Progress", progress_},
        {"Cancel", cancel_},
        {"Status", status_},
    };
    for (const auto& [known, control] : controls) {
        if (known == name)
            return window_ != nullptr ? control : nullptr;
    }
    return nullptr;
}

void SweepWindow::Impl::Evaluate(bool reread) {
    const auto type = static_cast<std::int16_t>(std::max<LRESULT>(::SendMessageW(anType_, CB_GETCURSEL, 0, 0), 0) + 1);
    std::shared_ptr<const measurement::Measurement> measured;
    if (!reread && result_)
        measured = result_->measured;
    worker_.Start(window_, ++generation_, path_, type, measured, options_, evaluatedSha256_);
    SetBusy(true);
    SetStatus(measured ? "Evaluating\u2026" : "Reading\u2026");
}

void SweepWindow::Impl::SetStatus(const std::string& text) { ::SetWindowTextW(status_, win32::Wide(text).c_str()); }

void SweepWindow::Impl::SetBusy(bool busy) {
    busy_ = busy;
    // Busy without a count until the first count arrives.
    const LONG_PTR style = ::GetWindowLongPtrW(progress_, GWL_STYLE);
    ::SetWindowLongPtrW(progress_, GWL_STYLE, busy ? style | PBS_MARQUEE : style & ~LONG_PTR{PBS_MARQUEE});
    ::SendMessageW(progress_, PBM_SETMARQUEE, busy ? TRUE : FALSE, 0);
    const bool shown = result_.has_value() && !busy;
    HMENU menu = ::GetMenu(window_);
    for (UINT command :
         {kExportReportCommand, kExportPlotCommand, kExportImpedancePlotCommand, kRecordVerificationCommand})
        ::EnableMenuItem(menu, command, MF_BYCOMMAND | (shown ? MF_ENABLED : MF_GRAYED));
    if (!busy) {
        SetStatus("");
        if (::GetFocus() == cancel_)  // about to be hidden
            ::SetFocus(table_->Handle());
    }
    Layout();
}

void SweepWindow::Impl::Progressed(WPARAM generation) {
    if (generation != generation_)
        return;
    const auto [done, total] = worker_.LastProgress();
    if (total == 0) {
        SetStatus("Reading\u2026 " + Count(done) + " points");
        return;
    }
    SetStatus("Evaluating\u2026 " + Count(done) + " of " + Count(total) + " points");
    // The bar counts in int; per mille is fine enough for any sweep.
    const LONG_PTR style = ::GetWindowLongPtrW(progress_, GWL_STYLE);
    if ((style & PBS_MARQUEE) != 0) {
        ::SendMessageW(progress_, PBM_SETMARQUEE, FALSE, 0);
        ::SetWindowLongPtrW(progress_, GWL_STYLE, style & ~LONG_PTR{PBS_MARQUEE});
        ::SendMessageW(progress_, PBM_SETRANGE32, 0, 1000);
    }
    ::SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(done * 1000 / total), 0);
}

void SweepWindow::Impl::Done(WPARAM generation) {
    if (generation != generation_)
        return;
    auto [result, error, sha256] = worker_.Finish();
    if (error) {
        Fail(*error);
    } else if (result) {
        Finish(std::move(*result), std::move(sha256));
    } else {
        ShowTypeOfResult();  // what is on show stays, with its type
        SetBusy(false);
        SetStatus(result_ ? "Cancelled; the evaluation shown is unchanged."
                          : "Cancelled. Reload (F5) or choose a type to evaluate the file.");
    }
}

void SweepWindow::Impl::ShowTypeOfResult() {
    if (result_)
        ::SendMessageW(anType_, CB_SETCURSEL, static_cast<WPARAM>(result_->evaluation->anType - 1), 0);
}

void SweepWindow::Impl::Finish(sweepcore::SweepResult result, std::optional<std::string> sha256) {
    const bool firstTime = !result_;
    result_ = std::move(result);
    evaluatedSha256_ = std::move(sha256);
    ShowTypeOfResult();
    table_->SetEvaluation(result_->evaluation);
    if (firstTime)
        table_->FitColumns(dpi_);
    plot_->SetSweep(result_->plot, result_->evaluation, result_->source);
    impedance_->SetPlot(result_->impedancePlot);
    std::vector<std::string> lines = sweep::SummaryLines(result_->evaluation->summary);
    for (const std::string& note : result_->measured->notes)
        lines.push_back("Note: " + note);
    ::SetWindowTextW(summary_, EditText(lines).c_str());
    summaryLines_ = lines.size();
    budget_->SetLines(result_->budget, dpi_);
    // The grid's heading and rows, and a little room for its frame.
    budgetLines_ = budget_->Rows() > 0 ? budget_->Rows() + 2 : 0;
    SetBusy(false);
    ShowOnce();
    AddRecentFile(path_);
    SetLastFolder(path_);
}

// A window not yet shown appears once it has something to show or is
// taking a while; never for a file that cannot be read.
void SweepWindow::Impl::ShowOnce() {
    ::KillTimer(window_, kShowTimer);
    if (::IsWindowVisible(window_) == 0 && (worker_.Busy() || result_)) {
        ::ShowWindow(window_, SW_SHOW);
        ::SetForegroundWindow(window_);
    }
}

void SweepWindow::Impl::Fail(const std::string& message) {
    ShowTypeOfResult();
    SetBusy(false);
    if (result_) {
        ShowWarning(window_, message);
        return;
    }
    // Nothing to show: the message is all that is left of the window.
    ::KillTimer(window_, kShowTimer);
    ::ShowWindow(window_, SW_HIDE);
    host_.OpenFailed(owner_, message);
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

void SweepWindow::Impl::ZoomChanged(bool zoomed) {
    // The button going grey keeps no focus: the plot it acted on takes it.
    if (!zoomed && ::GetFocus() == resetZoom_)
        ::SetFocus(ShownPlot());
    ::EnableWindow(resetZoom_, zoomed ? TRUE : FALSE);
    ::EnableMenuItem(::GetMenu(window_), kResetZoomCommand, MF_BYCOMMAND | (zoomed ? MF_ENABLED : MF_GRAYED));
}

// The tab's plot in the plots' place; the focus on the plot going out of
// sight moves to the one coming in, as it would be lost otherwise.
void SweepWindow::Impl::ShowPlot(int tab) {
    ::SendMessageW(plotTabs_, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    HWND shown = tab == kImpedanceTab ? impedance_->Handle() : plot_->Handle();
    HWND hidden = tab == kImpedanceTab ? plot_->Handle() : impedance_->Handle();
    ::ShowWindow(shown, SW_SHOWNA);
    const bool hadFocus = ::GetFocus() == hidden;
    ::ShowWindow(hidden, SW_HIDE);
    if (hadFocus)
        ::SetFocus(shown);
}

HWND SweepWindow::Impl::ShownPlot() const {
    return ::SendMessageW(plotTabs_, TCM_GETCURSEL, 0, 0) == kImpedanceTab ? impedance_->Handle() : plot_->Handle();
}

// Where an export goes, never over the measurement.
std::string SweepWindow::Impl::ExportTarget(const std::string& file) const {
    if (!result_)
        throw std::runtime_error("nothing evaluated to export");
    if (files::SameFile(file, path_))
        throw std::runtime_error(file + " is the measurement file itself; choose another file");
    return file;
}

void SweepWindow::Impl::ExportReport(const std::string& file, sweep::ReportFormat format) const {
    const std::string target = ExportTarget(file);
    files::WriteFileAtomically(target,
                               sweep::WriteReport(*result_->evaluation, result_->budget, format, result_->source));
}

void SweepWindow::Impl::ExportPlot(const std::string& file, sweep::PlotFormat format) const {
    const std::string target = ExportTarget(file);
    files::WriteFileAtomically(
        target, format == sweep::PlotFormat::Svg ? result_->plot->Svg() : plotwin::PngOf(*result_->plot));
}

void SweepWindow::Impl::ExportImpedancePlot(const std::string& file, sweep::PlotFormat format) const {
    const std::string target = ExportTarget(file);
    const plot::ImpedancePlot& plot = *result_->impedancePlot;
    files::WriteFileAtomically(target, format == sweep::PlotFormat::Svg ? plot.Svg() : plotwin::PngOf(plot));
}

// The name asked for, then the export; what goes wrong is told, not thrown.
void SweepWindow::Impl::ExportWithDialog(const std::string& title, const std::string& proposedEnding,
                                         std::span<const ExportFormat> formats,
                                         const std::function<void(const sweepwin::ExportTarget&)>& write) {
    const auto target = AskExportTarget(window_, path_, title, proposedEnding, formats);
    if (!target)
        return;
    try {
        SetLastFolder(target->file);
        write(*target);
    } catch (const std::exception& error) {
        ShowWarning(window_, error.what());
    }
}

std::string SweepWindow::Impl::SelectedRowsText() const {
    if (!result_)
        return sweep::TabSeparatedRows({}, {});
    std::vector<std::size_t> points = table_->SelectedPoints();
    if (points.empty()) {
        points.reserve(table_->Rows());
        for (std::size_t row = 0; row < table_->Rows(); ++row)
            points.push_back(table_->PointIndex(row));
    }
    return sweep::TabSeparatedRows(result_->evaluation->points, points);
}

// The budget as the report's text where its grid has the focus, the
// selected text of the summary where that has it; else the table's
// selected rows, with the line ends Windows' programs paste by.
void SweepWindow::Impl::Copy() {
    HWND focused = ::GetFocus();
    if (focused == budget_->Handle()) {
        CopyToClipboard(window_, EditText(budget_->Text()));
        return;
    }
    if (focused == summary_) {
        DWORD from = 0, to = 0;
        ::SendMessageW(focused, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        if (from != to) {
            ::SendMessageW(focused, WM_COPY, 0, 0);
            return;
        }
    }
    if (!result_)
        return;
    std::wstring text;
    for (wchar_t c : win32::Wide(SelectedRowsText())) {
        if (c == L'\n')
            text += L'\r';
        text += c;
    }
    CopyToClipboard(window_, text);
}

// The size the user gave the window, for the next one; a minimised or
// maximised window says nothing of that.
void SweepWindow::Impl::RememberSize() const {
    if (::IsIconic(window_) != 0 || ::IsZoomed(window_) != 0)
        return;
    RECT client;
    ::GetClientRect(window_, &client);
    SetSweepWindowSize(
        {::MulDiv(client.right, 96, static_cast<int>(dpi_)), ::MulDiv(client.bottom, 96, static_cast<int>(dpi_))});
}

void SweepWindow::Impl::MoveFocus(bool forward) {
    HWND focused = ::GetFocus();
    HWND next =
        ::GetNextDlgTabItem(window_, ::IsChild(window_, focused) != 0 ? focused : nullptr, forward ? FALSE : TRUE);
    if (next == nullptr)
        return;
    // Unlike a dialog, no select-all in the summary or budget on the way
    // through: it would scroll their long lines to the end.
    ::SetFocus(next);
}

void SweepWindow::Impl::OnCommand(WORD id, WORD code, bool fromControl) {
    if (!fromControl && id >= kRecentCommand && id < kRecentCommand + recent_.size()) {
        host_.OpenFileRequested(window_, recent_[id - kRecentCommand]);
        return;
    }
    switch (id) {
    case kOpenCommand: host_.OpenRequested(window_); break;
    case kReloadCommand: Evaluate(true); break;
    case kExportReportCommand:
        ExportWithDialog("Export the report", "-report.csv", kReportFormats,
                         [this](const sweepwin::ExportTarget& target) {
                             ExportReport(target.file, kReportFormatOf[target.format]);
                         });
        break;
    case kExportPlotCommand:
        ExportWithDialog(
            "Export the plot", "-deviation.png", kPlotFormats,
            [this](const sweepwin::ExportTarget& target) { ExportPlot(target.file, kPlotFormatOf[target.format]); });
        break;
    case kExportImpedancePlotCommand:
        ExportWithDialog("Export the impedance plot", "-impedance.png", kPlotFormats,
                         [this](const sweepwin::ExportTarget& target) {
                             ExportImpedancePlot(target.file, kPlotFormatOf[target.format]);
                         });
        break;
    case kRecordVerificationCommand:
        if (result_ && !busy_)
            host_.RecordVerificationRequested(owner_);
        break;
    case kRegisterCommand: host_.RegisterRequested(window_); break;
    case kCloseCommand: ::PostMessageW(window_, WM_CLOSE, 0, 0); break;
    case kCopyCommand: Copy(); break;
    case kSelectAllCommand:
        ::SetFocus(table_->Handle());
        table_->SelectAll();
        break;
    case kResetZoomCommand: plot_->ResetZoom(); break;
    case kDeviationTabCommand: ShowPlot(kDeviationTab); break;
    case kImpedanceTabCommand: ShowPlot(kImpedanceTab); break;
    case kCancelCommand: worker_.Cancel(); break;

    case kAnTypeControl:
        if (code == CBN_SELCHANGE) {
            SetLastAnType(static_cast<std::int16_t>(::SendMessageW(anType_, CB_GETCURSEL, 0, 0) + 1));
            Evaluate(!result_);
        }
        break;
    default: break;
    }
}

// Tab, Esc and Enter are the window's before any control's: a multi-line
// edit would keep Tab and close the window on Esc, and the table hears of
// Enter only when the key reaches it.
bool SweepWindow::Impl::PreTranslate(const MSG& message) {
    if (window_ == nullptr || (message.hwnd != window_ && ::IsChild(window_, message.hwnd) == 0))
        return false;
    if (::TranslateAcceleratorW(window_, accelerators_, const_cast<MSG*>(&message)) != 0)
        return true;
    if (message.message == WM_KEYDOWN && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
        switch (message.wParam) {
        case VK_TAB: MoveFocus(!KeyDown(VK_SHIFT)); return true;
        case VK_ESCAPE:
            if (::SendMessageW(anType_, CB_GETDROPPEDSTATE, 0, 0) != 0)
                return false;
            worker_.Cancel();
            return true;
        case VK_RETURN:
            if (message.hwnd != table_->Handle())
                break;
            ::DispatchMessageW(&message);
            return true;
        default: break;
        }
    }
    // The wheel zooms the plot under the pointer, wherever the focus is.
    if (message.message == WM_MOUSEWHEEL && message.hwnd != plot_->Handle()) {
        const POINT at{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
        if (::WindowFromPoint(at) == plot_->Handle()) {
            ::SendMessageW(plot_->Handle(), WM_MOUSEWHEEL, message.wParam, message.lParam);
            return true;
        }
    }
    return ::IsDialogMessageW(window_, const_cast<MSG*>(&message)) != 0;
}

LRESULT CALLBACK SweepWindow::Impl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::WindowSelf(hwnd, message, lParam, &Impl::window_);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

// The plot tabs', the table's and the budget grid's notifications, to each
// its own.
std::optional<LRESULT> SweepWindow::Impl::Notify(NMHDR& header) {
    if (header.hwndFrom == plotTabs_ && header.code == TCN_SELCHANGE) {
        ShowPlot(static_cast<int>(::SendMessageW(plotTabs_, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    if (table_) {
        if (const std::optional<LRESULT> handled = table_->Notify(header))
            return handled;
    }
    return budget_ ? budget_->Notify(header) : std::nullopt;
}

LRESULT SweepWindow::Impl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), lParam != 0); return 0;
    case WM_NOTIFY:
        if (const std::optional<LRESULT> handled = Notify(*reinterpret_cast<NMHDR*>(lParam)))
            return *handled;
        break;
    case WM_SIZE: Layout(); return 0;
    case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wParam) == RecentMenu(::GetMenu(window_))) {
            recent_ = RecentFiles();
            FillRecentMenu(reinterpret_cast<HMENU>(wParam), recent_);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // Coming back to the window is no move between its controls: the
        // one that had the focus gets it back.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focused = ::GetFocus();
            if (focused != nullptr && ::IsChild(window_, focused) != 0)
                lastFocus_ = focused;
        } else {
            ::SetFocus(lastFocus_ != nullptr && ::IsWindow(lastFocus_) ? lastFocus_ : anType_);
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
        // Sent by the dialog key handling for a label's access key (focus
        // the label, then the control after it), which only a dialog's own
        // window procedure would otherwise answer.
        HWND focused = ::GetFocus();
        HWND next = LOWORD(lParam) != 0
                        ? reinterpret_cast<HWND>(wParam)
                        : ::GetNextDlgTabItem(window_, ::IsChild(window_, focused) != 0 ? focused : nullptr,
                                              wParam != 0 ? TRUE : FALSE);
        if (next != nullptr)
            ::SetFocus(next);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kShowTimer) {
            ShowOnce();
            return 0;
        }
        break;
    case SweepWorker::kProgressMessage: Progressed(wParam); return 0;
    case SweepWorker::kDoneMessage: Done(wParam); return 0;
    case WM_CLOSE:
        // Nothing of the window may be touched after this: the host may
        // drop it while it goes.
        worker_.Stop();
        RememberSize();
        ::DestroyWindow(window_);
        return 0;
    case WM_NCDESTROY: return Destroyed(wParam, lParam);
    default: break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT SweepWindow::Impl::Destroyed(WPARAM wParam, LPARAM lParam) {
    HWND gone = window_;
    window_ = nullptr;
    ::SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
    const LRESULT result = ::DefWindowProcW(gone, WM_NCDESTROY, wParam, lParam);
    if (!closingQuietly_) {
        worker_.Stop();
        host_.Closed(owner_);  // may destroy this
    }
    return result;
}

void SweepWindowHost::OpenFailed(SweepWindow&, const std::string& message) { ShowWarning(nullptr, message); }

SweepWindow::SweepWindow(HINSTANCE instance, SweepWindowHost& host, std::string path, std::int16_t anType,
                         measurement::ReadOptions options, int showAfterMs)
    : impl_(std::make_unique<Impl>(*this, instance, host, std::move(path), anType, std::move(options), showAfterMs)) {}

SweepWindow::~SweepWindow() = default;

HWND SweepWindow::Handle() const { return impl_->Window(); }
const std::string& SweepWindow::Path() const { return impl_->Path(); }

void SweepWindow::Close() {
    if (impl_->Window() != nullptr)
        ::SendMessageW(impl_->Window(), WM_CLOSE, 0, 0);
}

bool SweepWindow::PreTranslate(const MSG& message) { return impl_->PreTranslate(message); }
const std::optional<sweepcore::SweepResult>& SweepWindow::Result() const { return impl_->Result(); }
const std::optional<std::string>& SweepWindow::EvaluatedSha256() const { return impl_->EvaluatedSha256(); }
void SweepWindow::ExportReport(const std::string& file, sweep::ReportFormat format) const {
    impl_->ExportReport(file, format);
}
void SweepWindow::ExportPlot(const std::string& file, sweep::PlotFormat format) const {
    impl_->ExportPlot(file, format);
}
void SweepWindow::ExportImpedancePlot(const std::string& file, sweep::PlotFormat format) const {
    impl_->ExportImpedancePlot(file, format);
}
std::string SweepWindow::SelectedRowsText() const { return impl_->SelectedRowsText(); }
HWND SweepWindow::Control(std::string_view name) const { return impl_->Control(name); }
bool SweepWindow::Busy() const { return impl_->Busy(); }
SIZE SweepWindow::LeastSize() const { return impl_->LeastSize(); }
std::optional<plot::FrequencyRange> SweepWindow::Zoom() const { return impl_->Zoom(); }

}  // namespace quillet::sweepwin
