// The Windows calculator and its sweep windows together, as a user meets
// them: files dropped on the calculator (a real WM_DROPFILES), a row chosen
// with the keyboard going into the calculator, and the calculator's end
// taking the sweep windows with it. Needs a display: Wine on Xvfb.

#include "apps/quillet-win32/sweep_windows.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "records/register_rows.h"
#include "records/verification_register.h"
#include "registerwin/record_dialog.h"
#include "registerwin/register_menu.h"
#include "sweep/report.h"
#include "sweepcore/window_place.h"
#include "sweepwin/column_dialog.h"
#include "tests/win32/message_box_watcher.h"
#include "window/shown_point.h"

namespace quillet::app {
namespace {

// Handles messages as the program's loop does, until `done` or a while.
template <typename Done>
void PumpUntil(win32::MainWindow& calculator, SweepWindows& windows, Done done, DWORD timeoutMs = 20000) {
    const DWORD start = ::GetTickCount();
    while (!done() && ::GetTickCount() - start < timeoutMs) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (windows.PreTranslate(message) || calculator.PreTranslate(message))
                continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
}

// The HDROP Explorer hands over: a DROPFILES header, then the wide names.
HGLOBAL DropOf(const std::vector<std::wstring>& names) {
    std::wstring list;
    for (const std::wstring& name : names)
        list += name + L'\0';
    list += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return memory;
}

void PressKey(WORD key) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

std::string TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return win32::Narrow(text);
}

// A sweep long enough to be still reading when the calculator ends.
std::string LongSweep() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::string path = win32::Narrow(folder) + "quillet-long-sweep.csv";
    std::string text = "Frequency (MHz),|Z| (ohm),Phase (deg)\n";
    for (int i = 1; i <= 400000; ++i)
        text += "0." + std::to_string(100000 + i) + ",50,10\n";
    HANDLE file = ::CreateFileW(win32::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    return path;
}

std::string TextOfFile(const std::string& path) {
    HANDLE file =
        ::CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string text(1 << 20, '\0');
    DWORD read = 0;
    ::ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    ::CloseHandle(file);
    text.resize(read);
    return text;
}

std::string TempFile(const std::string& name, const std::string& text) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::string path = win32::Narrow(folder) + name;
    HANDLE file = ::CreateFileW(win32::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    return path;
}

void SendKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        for (const DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class SweepWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Settings of its own, never the user's.
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &settings_, nullptr);
        ::RegOverridePredefKey(HKEY_CURRENT_USER, settings_);
        calculator_ = std::make_unique<win32::MainWindow>(::GetModuleHandleW(nullptr));
        windows_ = std::make_unique<SweepWindows>(::GetModuleHandleW(nullptr), *calculator_);
        calculator_->Load();
    }
    void TearDown() override {
        windows_.reset();
        calculator_.reset();
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegCloseKey(settings_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    }
    static constexpr wchar_t kTestKey[] = L"Software\\QuilletSweepWindowsTest";
    // The window that shows a sweep of the file, once there is one.
    const sweepwin::SweepWindow* Shown(const std::string& path) const {
        for (const sweepwin::SweepWindow* window : windows_->Windows()) {
            if (window->Path() == path && window->Result() && ::IsWindowVisible(window->Handle()))
                return window;
        }
        return nullptr;
    }
    void Pump(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
        PumpUntil(*calculator_, *windows_, done, timeoutMs);
    }

    HKEY settings_ = nullptr;
    std::unique_ptr<win32::MainWindow> calculator_;
    std::unique_ptr<SweepWindows> windows_;
};

TEST_F(SweepWindowsTest, FilesDroppedOnTheCalculatorOpenOneWindowEach) {
    const std::wstring sample = win32::Wide(QUILLET_SAMPLE);
    struct Drop {
        std::vector<std::wstring> names;
        std::size_t windows;
    };
    // The same file again brings its window forward instead of a second.
    for (const Drop& drop : {Drop{{sample}, 1}, Drop{{sample}, 1}}) {
        ::PostMessageW(calculator_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(drop.names)), 0);
        Pump([&] { return windows_->Windows().size() == drop.windows && windows_->Windows()[0]->Result(); });
        ASSERT_EQ(windows_->Windows().size(), drop.windows);
    }
    // Beside the calculator where a side of the screen has room for the
    // window's least width at this DPI, else over it at the screen's right
    // edge; wholly on the screen either way.
    const sweepwin::SweepWindow& window = *windows_->Windows()[0];
    RECT calculator{}, sweep{}, screen{};
    ::GetWindowRect(calculator_->Handle(), &calculator);
    ::GetWindowRect(window.Handle(), &sweep);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    const LONG room = std::max(calculator.left - screen.left, screen.right - calculator.right) - sweepcore::kBesideGap;
    RECT overlap{};
    if (room >= window.LeastSize().cx)
        EXPECT_FALSE(::IntersectRect(&overlap, &calculator, &sweep));
    else
        EXPECT_EQ(sweep.right, screen.right);
    EXPECT_GE(sweep.left, screen.left);
    EXPECT_GE(sweep.top, screen.top);
    EXPECT_LE(sweep.right, screen.right);
    EXPECT_LE(sweep.bottom, screen.bottom);
}

// Wherever the user left the calculator, a new window is placed wholly on
// the screen at the size Windows lets it have (its least size grows with
// the DPI), read before it shows and a window manager could move it.
TEST_F(SweepWindowsTest, ANewWindowIsPlacedOnTheScreenWhereverTheCalculatorIs) {
    RECT screen{}, calculator{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    ::GetWindowRect(calculator_->Handle(), &calculator);
    const LONG width = calculator.right - calculator.left, height = calculator.bottom - calculator.top;
    struct At {
        const char* name;
        LONG left, top;
    };
    // Half below the screen's bottom, so the window starts low: beside it
    // on the right, then on the left.
    for (const At& at : {At{"left", screen.left, screen.bottom - height / 2},
                         At{"right", screen.right - width, screen.bottom - height / 2}}) {
        windows_->CloseAll();
        ::SetWindowPos(calculator_->Handle(), nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        windows_->Open(std::string(QUILLET_SAMPLE));
        ASSERT_EQ(windows_->Windows().size(), 1u);
        RECT sweep{};
        ::GetWindowRect(windows_->Windows()[0]->Handle(), &sweep);
        EXPECT_GE(sweep.left, screen.left) << at.name;
        EXPECT_GE(sweep.top, screen.top) << at.name;
        EXPECT_LE(sweep.right, screen.right) << at.name;
        EXPECT_LE(sweep.bottom, screen.bottom) << at.name;
    }
}

TEST_F(SweepWindowsTest, ARowChosenWithTheKeyboardIsCalculated) {
    windows_->Open(std::string(QUILLET_SAMPLE));
    ASSERT_EQ(windows_->Windows().size(), 1u);
    sweepwin::SweepWindow& window = *windows_->Windows()[0];
    Pump([&] { return window.Result().has_value(); });
    ASSERT_TRUE(window.Result());

    // Down twice from the first row, then Enter, as a user would.
    HWND table = window.Control("Table");
    ::SetForegroundWindow(window.Handle());
    ::SetFocus(table);
    for (const WORD key : {WORD{VK_HOME}, WORD{VK_DOWN}, WORD{VK_DOWN}, WORD{VK_RETURN}}) {
        PressKey(key);
        Pump([] { return false; }, 200);
    }
    const auto row =
        static_cast<std::size_t>(::SendMessageW(table, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    ASSERT_EQ(row, 2u);
    // The boxes and results are what the calculator shows for the row's
    // texts typed in, and the table showed the same results.
    const sweep::EvaluatedPoint point = window.Result()->evaluation->points.at(row);
    const ShownPoint shown =
        ShowPoint(point.frequencyText, point.magnitudeText, point.phaseText, window.Result()->evaluation->anType);
    const char* const boxes[] = {"TxtFrequency", "TxtMagnitude", "TxtPhase"};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(TextOf(calculator_->Control(boxes[i])), shown.boxes.at(i).text) << boxes[i];
    EXPECT_EQ(TextOf(calculator_->Control("TxtMaxUncertainty")), shown.results.deviationText);
    EXPECT_EQ(TextOf(calculator_->Control("TxtUncPhase")), shown.results.eutPhaseText);
    const std::vector<std::string> cells = sweep::TableCells(point);
    EXPECT_EQ(" " + cells.at(sweep::kDeviationColumn), shown.results.deviationText);
}

// A new window appears once it is done or, when it takes longer, after a
// moment, so a short file shows no half-made window.
TEST_F(SweepWindowsTest, ANewWindowShowsWhenDoneOrAfterAMoment) {
    windows_->Open(LongSweep());
    ASSERT_EQ(windows_->Windows().size(), 1u);
    HWND busy = windows_->Windows()[0]->Handle();
    EXPECT_FALSE(::IsWindowVisible(busy));
    const DWORD start = ::GetTickCount();
    Pump([&] { return ::IsWindowVisible(busy) != 0; });
    EXPECT_TRUE(windows_->Windows()[0]->Busy());
    EXPECT_GE(::GetTickCount() - start, 200u);

    windows_->Open(std::string(QUILLET_SAMPLE));
    const sweepwin::SweepWindow& sample = *windows_->Windows().back();
    EXPECT_FALSE(::IsWindowVisible(sample.Handle()));
    Pump([&] { return sample.Result().has_value(); });
    EXPECT_TRUE(::IsWindowVisible(sample.Handle()));
}

// Exit takes the sweep windows with it, one still reading a long file too.
TEST_F(SweepWindowsTest, TheCalculatorsEndClosesEverySweepWindow) {
    windows_->Open(std::string(QUILLET_SAMPLE));
    windows_->Open(LongSweep());
    ASSERT_EQ(windows_->Windows().size(), 2u);
    std::vector<HWND> handles;
    for (const sweepwin::SweepWindow* window : windows_->Windows())
        handles.push_back(window->Handle());
    ::SendMessageW(calculator_->Control("PbExit"), BM_CLICK, 0, 0);
    Pump([] { return false; }, 300);
    EXPECT_TRUE(windows_->Windows().empty());
    for (HWND handle : handles)
        EXPECT_FALSE(::IsWindow(handle));
}

// --register: the register window beside the calculator, one only; a
// verification's measurement opens in a sweep window, and the
// calculator's end takes the register window with it.
TEST_F(SweepWindowsTest, TheRegisterWindowOpensMeasurementsAndEndsWithTheCalculator) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::string path = win32::Narrow(folder) + "quillet-sweep-windows-register.sqlite";
    ::DeleteFileW(win32::Wide(path).c_str());
    {
        records::VerificationRegister reg(path, records::OpenFor::Writing);
        reg.AddNetwork({"Maker", "AN-1", "SN-1", 1, "L1", 365, ""});
        records::NewVerification v;
        v.serial = "SN-1";
        v.date = "2026-01-05";
        v.operatorName = "A. Operator";
        v.instrument = "VNA 1";
        v.instrumentCalibrationDue = "2030-01-01";
        v.line = "L1";
        v.fileName = "an-type1-sweep.s1p";
        v.fileBytes = TextOfFile(QUILLET_SAMPLE);
        reg.Record(v);
    }
    registerwin::RegisterWindow& shown = windows_->ShowRegister(path);
    EXPECT_EQ(&windows_->ShowRegister(), &shown);
    HWND handle = shown.Handle();
    // Placed as the sweep windows are: beside the calculator where a side
    // has room, else over it at the screen's right edge.
    RECT calculator{}, window{}, screen{}, overlap{};
    ::GetWindowRect(calculator_->Handle(), &calculator);
    ::GetWindowRect(handle, &window);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    const LONG room = std::max(calculator.left - screen.left, screen.right - calculator.right) - sweepcore::kBesideGap;
    if (room >= shown.LeastSize().cx)
        EXPECT_FALSE(::IntersectRect(&overlap, &calculator, &window))
            << window.left << "," << window.top << "," << window.right << " " << calculator.left << ","
            << calculator.right;
    else
        EXPECT_EQ(window.right, screen.right);
    ListView_SetItemState(shown.Control("History"), 0, LVIS_SELECTED, LVIS_SELECTED);
    ::SendMessageW(handle, WM_COMMAND, registerwin::kOpenMeasurementCommand, 0);
    Pump([&] { return windows_->Windows().size() == 1 && windows_->Windows()[0]->Result(); });
    ASSERT_EQ(windows_->Windows().size(), 1u);
    EXPECT_EQ(TextOfFile(windows_->Windows()[0]->Path()), TextOfFile(QUILLET_SAMPLE));

    ::SendMessageW(calculator_->Control("PbExit"), BM_CLICK, 0, 0);
    Pump([] { return false; }, 300);
    EXPECT_EQ(windows_->Register(), nullptr);
    EXPECT_FALSE(::IsWindow(handle));
    ::DeleteFileW(win32::Wide(path).c_str());
}

// Recording goes into the register on show in the register window; with
// none open it says how to open one. While the dialog is up, the
// calculator (whose Exit would close the sweep window under it) and the
// register window (whose register the dialog writes to) wait.
TEST_F(SweepWindowsTest, ARecordGoesIntoTheRegisterOnShowWhileTheOtherWindowsWait) {
    windows_->Open(QUILLET_SAMPLE);
    Pump([&] { return Shown(QUILLET_SAMPLE) != nullptr; });
    sweepwin::SweepWindow& sweep = *windows_->Windows().at(0);
    win32::testing::MessageBoxWatcher watcher;
    windows_->RecordVerificationRequested(sweep);
    EXPECT_EQ(watcher.seen.text, records::OpenARegisterToRecordText());

    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::string path = win32::Narrow(folder) + "quillet-sweep-windows-record.sqlite";
    ::DeleteFileW(win32::Wide(path).c_str());
    records::VerificationRegister(path, records::OpenFor::Writing)
        .AddNetwork({"Maker", "AN-1", "SN-1", 1, "L1", 365, ""});
    HWND registerWindow = windows_->ShowRegister(path).Handle();
    bool dialogSeen = false, othersWaited = false;
    watcher.onTick = [&] {
        if (HWND dialog = ::FindWindowW(registerwin::kRecordDialogClass, nullptr); dialog && !dialogSeen) {
            dialogSeen = true;
            othersWaited = !::IsWindowEnabled(calculator_->Handle()) && !::IsWindowEnabled(registerWindow);
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    };
    windows_->RecordVerificationRequested(sweep);
    EXPECT_TRUE(dialogSeen);
    EXPECT_TRUE(othersWaited);
    EXPECT_TRUE(::IsWindowEnabled(calculator_->Handle()));
    EXPECT_TRUE(::IsWindowEnabled(registerWindow));
    windows_->CloseAll();
    Pump([] { return false; }, 300);
    ::SendMessageW(calculator_->Control("PbExit"), BM_CLICK, 0, 0);
    Pump([] { return false; }, 300);
    ::DeleteFileW(win32::Wide(path).c_str());
}

// Delimited text whose header is not understood: the columns dialog,
// driven by its keys alone, refuses to read the file until the columns
// make sense, then the file opens so; the next file with that header opens
// so at once, without asking.
TEST_F(SweepWindowsTest, TheColumnsOfAFileItCannotReadAreAskedFor) {
    const std::string header = "Messpunkt;Wert A;Wert B\n";
    const std::string path = TempFile("quillet-unknown.csv", header + "1;50;10\n2;51;11\n3;52;12\n");
    const std::string again = TempFile("quillet-unknown-again.csv", header + "4;53;13\n5;54;14\n");
    win32::testing::MessageBoxWatcher watcher;
    int dialogs = 0;
    bool refusedFirst = false;
    HWND answered = nullptr;
    watcher.onTick = [&] {
        HWND dialog = ::FindWindowW(sweepwin::kColumnDialogClass, nullptr);
        if (dialog == nullptr || dialog == answered || ::IsWindowVisible(dialog) == 0)
            return;
        answered = dialog;
        ++dialogs;
        refusedFirst = ::IsWindowEnabled(::GetDlgItem(dialog, IDOK)) == 0;
        // Frequency in MHz, |Z| in ohm, phase in degrees; then Enter.
        std::vector<WORD> keys(3, VK_DOWN);
        keys.push_back(VK_TAB);
        keys.insert(keys.end(), 5, VK_DOWN);
        keys.push_back(VK_TAB);
        keys.insert(keys.end(), 6, VK_DOWN);
        keys.push_back(VK_RETURN);
        SendKeys(keys);
    };
    windows_->Open(path);
    Pump([&] { return Shown(path) != nullptr; });
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(refusedFirst);
    EXPECT_FALSE(watcher.seen.shown) << watcher.seen.text;
    ASSERT_NE(Shown(path), nullptr);
    EXPECT_EQ(Shown(path)->Result()->evaluation->points.size(), 3u);
    EXPECT_EQ(Shown(path)->Result()->evaluation->points[1].frequencyText, "2");

    windows_->Open(again);
    Pump([&] { return Shown(again) != nullptr; });
    EXPECT_EQ(dialogs, 1);
    ASSERT_NE(Shown(again), nullptr);
    EXPECT_EQ(Shown(again)->Result()->evaluation->points.size(), 2u);
    for (const std::string& file : {path, again})
        ::DeleteFileW(win32::Wide(file).c_str());
}

}  // namespace
}  // namespace quillet::app
