#include "apps/quillet-win32/sweep_windows.h"

#include <commdlg.h>

#include <algorithm>
#include <exception>
#include <iterator>

#include "apps/quillet-win32/record_verification.h"
#include "files/file_identity.h"
#include "sweepcore/column_choice.h"
#include "sweepcore/show_delay.h"
#include "sweepcore/window_place.h"
#include "sweepwin/column_dialog.h"
#include "sweepwin/export_dialog.h"
#include "sweepwin/sweep_settings.h"

namespace quillet::app {
namespace {

// Posted to the thread when a window has closed: it is let go from the
// message loop, never from within its own last message.
constexpr UINT kLetGoClosed = WM_APP + 0x51;

sweepcore::ScreenBox BoxOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// The frame, title bar and menu bar around the window's inside.
sweepcore::FrameMargins FrameOf(HWND window) {
    RECT outer{}, inner{};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &inner);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&inner), 2);
    return {inner.left - outer.left, inner.top - outer.top, outer.right - inner.right, outer.bottom - inner.bottom};
}

// The names GetOpenFileName gives for one or several files: a full name,
// or the folder followed by the names in it.
std::vector<std::string> ChosenFiles(const std::wstring& buffer) {
    std::vector<std::wstring> parts;
    for (std::size_t at = 0; at < buffer.size() && buffer[at] != L'\0';) {
        const std::size_t end = buffer.find(L'\0', at);
        parts.push_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    std::vector<std::string> files;
    if (parts.size() == 1)
        files.push_back(win32::Narrow(parts[0]));
    for (std::size_t i = 1; i < parts.size(); ++i)
        files.push_back(win32::Narrow(parts[0] + L"\\" + parts[i]));
    return files;
}

}  // namespace

SweepWindows::SweepWindows(HINSTANCE instance, win32::MainWindow& calculator)
    : instance_(instance), calculator_(calculator) {
    calculator_.SetHooks({[this](const std::vector<std::string>& files) { Open(files); },
                          [this] { OpenWithDialog(calculator_.Handle()); },
                          [this](const MSG& message) { return PreTranslate(message); }, [this] { CloseAll(); }});
}

SweepWindows::~SweepWindows() {
    calculator_.SetHooks({});
    CloseAll();
}

// "Exit" and the calculator's close box end the program, sweep windows and
// all: each stops its evaluation and goes.
void SweepWindows::CloseAll() {
    std::vector<std::unique_ptr<sweepwin::SweepWindow>> closing = std::move(windows_);
    windows_.clear();
    closing.clear();
    closed_.clear();
    register_.reset();
    closedRegister_.reset();
}

std::vector<sweepwin::SweepWindow*> SweepWindows::Windows() const {
    std::vector<sweepwin::SweepWindow*> open;
    for (const auto& window : windows_)
        open.push_back(window.get());
    return open;
}

void SweepWindows::Open(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        Open(path);
}

void SweepWindows::Open(const std::string& path) {
    closed_.clear();
    // A window whose file could not be read is going: not brought forward.
    for (const auto& open : windows_) {
        if ((open->Busy() || open->Result()) && files::SameFile(open->Path(), path)) {
            if (::IsIconic(open->Handle()))
                ::ShowWindow(open->Handle(), SW_RESTORE);
            ::BringWindowToTop(open->Handle());
            ::SetForegroundWindow(open->Handle());
            return;
        }
    }
    // The AN type last chosen in a sweep window, else the calculator's.
    const std::int16_t type = sweepwin::LastAnType().value_or(calculator_.Model().Module().AnType);
    const measurement::ReadOptions options = sweepcore::OptionsFor(path, sweepwin::RememberedColumns(path));
    windows_.push_back(
        std::make_unique<sweepwin::SweepWindow>(instance_, *this, path, type, options, sweepcore::kShowAfterMs));
    Place(windows_.back()->Handle(), windows_.back()->LeastSize());
}

registerwin::RegisterWindow& SweepWindows::ShowRegister(const std::string& path) {
    const bool fresh = !register_;
    if (fresh) {
        register_ = std::make_unique<registerwin::RegisterWindow>(instance_, *this);
        Place(register_->Handle(), register_->LeastSize());
    }
    HWND window = register_->Handle();
    if (::IsIconic(window))
        ::ShowWindow(window, SW_RESTORE);
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    std::string message;
    if (!path.empty())
        message = register_->OpenRegister(path, records::OpenFor::Writing);
    else if (fresh && !sweepwin::RegisterFile().empty())
        message = register_->OpenRegister(sweepwin::RegisterFile(), records::OpenFor::Reading);
    if (!message.empty())
        sweepwin::ShowWarning(window, message);
    return *register_;
}

void SweepWindows::Closed(registerwin::RegisterWindow& window) {
    if (register_.get() != &window)
        return;  // being destroyed by this class already
    closedRegister_ = std::move(register_);
    ::PostThreadMessageW(::GetCurrentThreadId(), kLetGoClosed, 0, 0);
}

void SweepWindows::OpenWithDialog(HWND owner) {
    std::wstring buffer(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter =
        L"Measured sweeps (*.s1p, *.ts, *.csv, *.txt)\0*.s1p;*.ts;*.csv;*.txt\0Touchstone (*.s1p, *.ts)\0*.s1p;*.ts\0"
        L"Delimited text (*.csv, *.txt)\0*.csv;*.txt\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = L"Open a measured sweep";
    const std::wstring folder = win32::Wide(sweepwin::LastFolder());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (::GetOpenFileNameW(&dialog))
        Open(ChosenFiles(buffer));
}

bool SweepWindows::PreTranslate(const MSG& message) {
    if (message.hwnd == nullptr && message.message == kLetGoClosed) {
        closed_.clear();
        closedRegister_.reset();
        return true;
    }
    if (register_ && register_->PreTranslate(message))
        return true;
    return std::any_of(windows_.begin(), windows_.end(),
                       [&message](const auto& window) { return window->PreTranslate(message); });
}

void SweepWindows::PointActivated(const std::string& frequency, const std::string& magnitude, const std::string& phase,
                                  std::int16_t anType) {
    calculator_.CalculatePoint(frequency, magnitude, phase, anType);
}

void SweepWindows::Closed(sweepwin::SweepWindow& window) {
    const auto found =
        std::find_if(windows_.begin(), windows_.end(), [&window](const auto& open) { return open.get() == &window; });
    if (found == windows_.end())
        return;  // being destroyed by this class already
    closed_.push_back(std::move(*found));
    windows_.erase(found);
    ::PostThreadMessageW(::GetCurrentThreadId(), kLetGoClosed, 0, 0);
}

// Delimited text whose columns were not understood: the user says what
// they hold, as --columns does for an-sweep, and the file opens so. Any
// other failure is told over the calculator.
void SweepWindows::OpenFailed(sweepwin::SweepWindow& window, const std::string& message) {
    const std::string& path = window.Path();
    if (!sweepcore::AsksForColumns(path, message)) {
        sweepwin::ShowWarning(calculator_.Handle(), message);
        return;
    }
    std::optional<sweepwin::ChosenColumns> chosen;
    try {
        chosen = sweepwin::AskColumns(instance_, calculator_.Handle(), path, message);
    } catch (const std::exception& error) {
        sweepwin::ShowWarning(calculator_.Handle(), message + "\n\n" + error.what());
        return;
    }
    if (!chosen)
        return;
    sweepwin::RememberColumns(path, chosen->list);
    Open(path);
}

// The record dialog is modal over its sweep window. The calculator, whose
// Exit would close that window under it, and the register window, whose
// register the dialog writes to, wait too.
void SweepWindows::RecordVerificationRequested(sweepwin::SweepWindow& window) {
    if (!window.Result())
        return;
    registerwin::RegisterWindow& registerWindow = ShowRegister();
    std::vector<HWND> waiting;
    for (HWND other : {calculator_.Handle(), registerWindow.Handle()}) {
        if (::IsWindowEnabled(other)) {
            ::EnableWindow(other, FALSE);
            waiting.push_back(other);
        }
    }
    RecordFromSweepWindow(window, registerWindow);
    for (HWND other : waiting)
        ::EnableWindow(other, TRUE);
}

void SweepWindows::RegisterRequested(HWND) { ShowRegister(); }

// Beside the calculator by the rule every build shares, then within the
// calculator's screen without its task bar. The window is never smaller
// than its least size at its own DPI, which Windows keeps to whatever it
// is given: beside the calculator only where a side has room for that, and
// kept within the screen at the size it will have.
void SweepWindows::Place(HWND handle, SIZE least) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(calculator_.Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    RECT calculator{}, inside{};
    ::GetWindowRect(calculator_.Handle(), &calculator);
    ::GetClientRect(handle, &inside);
    const sweepcore::FrameMargins frame = FrameOf(handle);
    const sweepcore::WindowPlace place =
        sweepcore::PlaceSweepWindow(BoxOf(monitor.rcWork), BoxOf(calculator), frame, inside.right, inside.bottom,
                                    least.cx - frame.left - frame.right, placed_++);
    const RECT& work = monitor.rcWork;
    const int width =
        std::min<int>(std::max<int>(place.width + frame.left + frame.right, least.cx), work.right - work.left);
    const int height =
        std::min<int>(std::max<int>(place.height + frame.top + frame.bottom, least.cy), work.bottom - work.top);
    const int left = std::clamp<int>(place.left, work.left, work.right - width);
    const int top = std::clamp<int>(place.top, work.top, work.bottom - height);
    ::SetWindowPos(handle, nullptr, left, top, width, height, SWP_NOZORDER);
}

}  // namespace quillet::app
