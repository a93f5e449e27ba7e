// The Win32 sweep window driven as a user drives it: keys and the mouse
// sent as real input (SendInput) through the window's own message
// handling, and what it shows or writes held against the toolkit-free
// parts an-sweep uses. Needs a display: under Wine, Xvfb with a window
// manager.

#include "sweepwin/sweep_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "files/sha256.h"
#include "plotwin/png_file.h"
#include "sweep/budget.h"
#include "sweep/point_order.h"
#include "sweep/report.h"
#include "sweep/rows_text.h"
#include "sweepwin/export_dialog.h"
#include "sweepwin/sweep_menu.h"
#include "sweepwin/sweep_settings.h"
#include "tests/win32/message_box_watcher.h"
#include "win32/wide_text.h"

namespace quillet::sweepwin {
namespace {

// What the window asked of the program around it.
class RecordingHost : public SweepWindowHost {
public:
    void OpenRequested(HWND) override { ++opens; }
    void OpenFileRequested(HWND, const std::string& path) override { opened.push_back(path); }
    void PointActivated(const std::string& frequency, const std::string& magnitude, const std::string& phase,
                        std::int16_t anType) override {
        activated.push_back(frequency + "|" + magnitude + "|" + phase + "|" + static_cast<char>('0' + anType));
    }
    void RecordVerificationRequested(SweepWindow&) override { ++recordRequests; }
    void RegisterRequested(HWND) override { ++registerRequests; }
    void Closed(SweepWindow&) override {
        ++closed;
        if (dropOnClose)
            dropOnClose();  // as a program does: the window object goes too
    }

    std::function<void()> dropOnClose;
    int opens = 0;
    std::vector<std::string> opened;
    int closed = 0;
    int recordRequests = 0, registerRequests = 0;
    std::vector<std::string> activated;
};

std::string TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, folder);
    return win32::Narrow(folder);
}

std::string Contents(const std::string& file) {
    std::ifstream in(std::filesystem::path(win32::Wide(file)), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void Write(const std::string& file, const std::string& contents) {
    std::ofstream(std::filesystem::path(win32::Wide(file)), std::ios::binary) << contents;
}

class SweepWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Settings of its own, never the user's.
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &settings_, nullptr);
        ::RegOverridePredefKey(HKEY_CURRENT_USER, settings_);
        watcher_ = std::make_unique<win32::testing::MessageBoxWatcher>();
        // A name beyond ASCII, as measurement files are often named.
        measurement_ = TempFolder() + "mesure \xC3\xA9t\xC3\xA9 \xCE\xA9.s1p";
        Write(measurement_, Contents(QUILLET_SAMPLE));
    }

    void TearDown() override {
        window_.reset();
        watcher_.reset();
        ::DeleteFileW(win32::Wide(measurement_).c_str());
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegCloseKey(settings_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    }

    static constexpr wchar_t kTestKey[] = L"Software\\QuilletSweepWindowTest";

    void Open(const std::string& file, std::int16_t type = 1) {
        window_ = std::make_unique<SweepWindow>(::GetModuleHandleW(nullptr), host_, file, type);
    }

    // Handles what arrives, as the program's loop does, until the
    // condition holds; false when it never did.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (host_.closed == 0 && window_ && window_->PreTranslate(message))
                    continue;
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            if (done())
                return true;
            if (::GetTickCount() - start > timeoutMs)
                return false;
            ::Sleep(5);
        }
    }
    void Settle() {
        const DWORD start = ::GetTickCount();
        PumpUntil([start] { return ::GetTickCount() - start > 150; });
    }
    bool Evaluated() {
        return PumpUntil([this] { return window_->Result().has_value() && !window_->Busy(); });
    }

    static void Send(std::vector<INPUT> inputs) {
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
    static INPUT Mouse(POINT at, DWORD flags, DWORD data = 0) {
        const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = (at.x * 65535 + width / 2) / (width - 1);
        input.mi.dy = (at.y * 65535 + height / 2) / (height - 1);
        input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        input.mi.mouseData = data;
        return input;
    }
    // A point of a control at a share of its width and height.
    static POINT On(HWND control, double x, double y) {
        RECT place;
        ::GetWindowRect(control, &place);
        return {place.left + static_cast<LONG>((place.right - place.left) * x),
                place.top + static_cast<LONG>((place.bottom - place.top) * y)};
    }
    void MoveTo(POINT at) {
        Send({Mouse(at, MOUSEEVENTF_MOVE)});
        Settle();
    }
    void Click(POINT at, bool twice = false) {
        MoveTo(at);
        for (int i = 0; i < (twice ? 2 : 1); ++i)
            Send({Mouse(at, MOUSEEVENTF_LEFTDOWN), Mouse(at, MOUSEEVENTF_LEFTUP)});
        Settle();
    }
    void Drag(POINT from, POINT to) {
        MoveTo(from);
        Send({Mouse(from, MOUSEEVENTF_LEFTDOWN)});
        Settle();
        MoveTo(to);
        Send({Mouse(to, MOUSEEVENTF_LEFTUP)});
        Settle();
    }
    void Wheel(POINT at, int notches) {
        MoveTo(at);
        Send({Mouse(at, MOUSEEVENTF_WHEEL, static_cast<DWORD>(notches * WHEEL_DELTA))});
        Settle();
    }
    void Key(WORD key) {
        INPUT down{}, up{};
        down.type = up.type = INPUT_KEYBOARD;
        down.ki.wVk = up.ki.wVk = key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        Send({down, up});
        Settle();
    }

    void KeyWith(WORD modifier, WORD key) {
        INPUT keys[4] = {};
        for (INPUT& input : keys)
            input.type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[3].ki.wVk = modifier;
        keys[1].ki.wVk = keys[2].ki.wVk = key;
        keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
        Send({keys[0], keys[1], keys[2], keys[3]});
        Settle();
    }
    static std::string Clipboard() {
        std::string text;
        if (::OpenClipboard(nullptr) == 0)
            return text;
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            text = win32::Narrow(static_cast<const wchar_t*>(::GlobalLock(data)));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        return text;
    }

    std::string Cell(int row, int column) const {
        wchar_t text[256] = {};
        ListView_GetItemText(window_->Control("Table"), row, column, text, 256);
        return win32::Narrow(text);
    }
    int CurrentRow() const { return ListView_GetNextItem(window_->Control("Table"), -1, LVNI_FOCUSED); }
    bool Enabled(const char* control) const { return ::IsWindowEnabled(window_->Control(control)) != 0; }
    // The width of the frequency axis on show, in decades.
    double AxisDecades() const {
        const auto zoom = window_->Zoom();
        const auto axis = zoom ? zoom : window_->Result()->plot->FrequencyAxis();
        return axis ? std::log10(axis->toMHz / axis->fromMHz) : 0;
    }

    std::string measurement_;
    RecordingHost host_;
    std::unique_ptr<SweepWindow> window_;
    std::unique_ptr<win32::testing::MessageBoxWatcher> watcher_;
    HKEY settings_ = nullptr;
};

TEST_F(SweepWindowTest, ARowChosenByKeyboardGoesToTheCalculator) {
    Open(measurement_, 3);
    ASSERT_TRUE(Evaluated());
    wchar_t title[256] = {};
    ::GetWindowTextW(window_->Handle(), title, 256);
    EXPECT_EQ(win32::Narrow(title), "mesure \xC3\xA9t\xC3\xA9 \xCE\xA9.s1p \xE2\x80\x93 Quillet");
    EXPECT_EQ(window_->Result()->evaluation->anType, 3);

    ::SetFocus(window_->Control("Table"));
    for (WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
        Key(key);
    const int row = CurrentRow();
    ASSERT_GE(row, 1);
    const sweep::EvaluatedPoint p = window_->Result()->evaluation->points[static_cast<std::size_t>(row)];
    ASSERT_EQ(host_.activated.size(), 1u);
    EXPECT_EQ(host_.activated[0], p.frequencyText + "|" + p.magnitudeText + "|" + p.phaseText + "|3");
    EXPECT_EQ(Cell(row, sweep::kFrequencyColumn), sweep::TableCells(p)[sweep::kFrequencyColumn]);

    // Edit > Copy (Ctrl+C): the row with the header, as Windows' programs
    // paste text.
    KeyWith(VK_CONTROL, 'C');
    std::string expected;
    for (char c : sweep::TabSeparatedRows(window_->Result()->evaluation->points, {static_cast<std::size_t>(row)}))
        expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Clipboard(), expected);

    KeyWith(VK_CONTROL, 'O');  // File > Open... is the program's to answer
    EXPECT_EQ(host_.opens, 1);
}

TEST_F(SweepWindowTest, PlotZoomsWithWheelDragAndKeys) {
    Open(measurement_);
    ASSERT_TRUE(Evaluated());
    HWND plot = window_->Control("Plot");
    const double whole = AxisDecades();
    EXPECT_FALSE(Enabled("ResetZoom"));

    struct Gesture {
        const char* name;
        std::function<void()> act;
        bool zoomed;
    };
    const Gesture gestures[] = {
        {"wheel in", [&] { Wheel(On(plot, 0.5, 0.5), 2); }, true},
        {"double click resets", [&] { Click(On(plot, 0.5, 0.5), true); }, false},
        {"drag a range", [&] { Drag(On(plot, 0.35, 0.5), On(plot, 0.6, 0.5)); }, true},
        {"Home resets", [&] { Key(VK_HOME); }, false},
        {"+ zooms in", [&] { Key(VK_OEM_PLUS); }, true},
        {"Reset zoom button", [&] { Click(On(window_->Control("ResetZoom"), 0.5, 0.5)); }, false},
    };
    for (const Gesture& gesture : gestures) {
        gesture.act();
        EXPECT_EQ(window_->Zoom().has_value(), gesture.zoomed) << gesture.name;
        EXPECT_EQ(Enabled("ResetZoom"), gesture.zoomed) << gesture.name;
        if (gesture.zoomed) {
            EXPECT_LT(AxisDecades(), whole * 0.9) << gesture.name;
        }
    }
}

TEST_F(SweepWindowTest, SortAndSelectionOutliveATypeChange) {
    Open(measurement_);
    ASSERT_TRUE(Evaluated());
    HWND header = ListView_GetHeader(window_->Control("Table"));
    RECT column;
    Header_GetItemRect(header, sweep::kDeviationColumn, &column);
    ::MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&column), 2);
    const POINT title{(column.left + column.right) / 2, (column.top + column.bottom) / 2};

    for (bool ascending : {true, false}) {
        Click(title);
        PumpUntil([] { return false; }, ::GetDoubleClickTime() + 50);  // two clicks, not a double click
        const auto order =
            sweep::SortedOrder(window_->Result()->evaluation->points, sweep::kDeviationColumn, ascending);
        EXPECT_EQ(Cell(0, sweep::kFrequencyColumn),
                  sweep::TableCells(window_->Result()->evaluation->points[order[0]])[sweep::kFrequencyColumn]);
    }
    ::SetFocus(window_->Control("Table"));
    Key(VK_DOWN);
    Key(VK_DOWN);
    const std::string chosen = Cell(CurrentRow(), sweep::kFrequencyColumn);

    KeyWith(VK_MENU, 'T');  // the access key of the type's label
    EXPECT_EQ(::GetFocus(), window_->Control("AnType"));
    Key(VK_DOWN);  // type 2, evaluated again without reading
    ASSERT_TRUE(PumpUntil([this] { return !window_->Busy() && window_->Result()->evaluation->anType == 2; }));
    const auto& points = window_->Result()->evaluation->points;
    const auto order = sweep::SortedOrder(points, sweep::kDeviationColumn, false);
    EXPECT_EQ(Cell(0, sweep::kFrequencyColumn), sweep::TableCells(points[order[0]])[sweep::kFrequencyColumn]);
    EXPECT_EQ(Cell(CurrentRow(), sweep::kFrequencyColumn), chosen);
    EXPECT_EQ(window_->SelectedRowsText().find(chosen), window_->SelectedRowsText().find('\n') + 1);
}

TEST_F(SweepWindowTest, ExportsAreAnSweepsBytesAndNeverOverwriteTheMeasurement) {
    Open(measurement_);
    ASSERT_TRUE(Evaluated());
    const sweepcore::SweepResult& r = *window_->Result();
    const std::string folder = TempFolder();
    struct Export {
        const char* name;
        std::function<void(const std::string&)> write;
        std::string expected;
    };
    const Export exports[] = {
        {"report.csv", [&](const std::string& f) { window_->ExportReport(f, sweep::ReportFormat::Csv); },
         sweep::WriteReport(*r.evaluation, r.budget, sweep::ReportFormat::Csv, r.source)},
        {"report.json", [&](const std::string& f) { window_->ExportReport(f, sweep::ReportFormat::Json); },
         sweep::WriteReport(*r.evaluation, r.budget, sweep::ReportFormat::Json, r.source)},
        {"plot.svg", [&](const std::string& f) { window_->ExportPlot(f, sweep::PlotFormat::Svg); }, r.plot->Svg()},
        {"plot.png", [&](const std::string& f) { window_->ExportPlot(f, sweep::PlotFormat::Png); },
         plotwin::PngOf(*r.plot)},
        {"impedance.svg", [&](const std::string& f) { window_->ExportImpedancePlot(f, sweep::PlotFormat::Svg); },
         r.impedancePlot->Svg()},
        {"impedance.png", [&](const std::string& f) { window_->ExportImpedancePlot(f, sweep::PlotFormat::Png); },
         plotwin::PngOf(*r.impedancePlot)},
    };
    for (const Export& e : exports) {
        const std::string file = folder + "sweepwin-test-" + e.name;
        e.write(file);
        EXPECT_EQ(Contents(file), e.expected) << e.name;
        ::DeleteFileW(win32::Wide(file).c_str());
    }
    const std::string before = Contents(measurement_);
    std::string otherSpelling = measurement_;
    std::replace(otherSpelling.begin(), otherSpelling.end(), '\\', '/');
    for (const std::string& target : {measurement_, otherSpelling}) {
        EXPECT_THROW(window_->ExportReport(target, sweep::ReportFormat::Csv), std::runtime_error) << target;
        EXPECT_THROW(window_->ExportPlot(target, sweep::PlotFormat::Svg), std::runtime_error) << target;
        EXPECT_THROW(window_->ExportImpedancePlot(target, sweep::PlotFormat::Png), std::runtime_error) << target;
    }
    EXPECT_EQ(Contents(measurement_), before);
}

// Alt+I and Alt+D switch the plots in one place, the focus going along,
// and the impedance plot is painted, not left blank.
TEST_F(SweepWindowTest, PlotTabsSwitchByKeyboard) {
    Open(measurement_);
    ASSERT_TRUE(Evaluated());
    HWND tabs = window_->Control("PlotTabs");
    HWND deviation = window_->Control("Plot");
    HWND impedance = window_->Control("Impedance");
    // The share of the control's pixels, inside the focus frame, that are
    // not white.
    const auto inked = [](HWND control) {
        ::UpdateWindow(control);
        RECT area;
        ::GetClientRect(control, &area);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, area.right, -area.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC screen = ::GetDC(control);
        HDC copy = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateDIBSection(copy, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ previous = ::SelectObject(copy, bitmap);
        ::BitBlt(copy, 0, 0, area.right, area.bottom, screen, 0, 0, SRCCOPY);
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        std::size_t ink = 0, all = 0;
        for (LONG y = 3; y + 3 < area.bottom; ++y) {
            for (LONG x = 3; x + 3 < area.right; ++x, ++all)
                ink += (pixels[y * area.right + x] & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
        }
        ::SelectObject(copy, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(copy);
        ::ReleaseDC(control, screen);
        return all > 0 ? static_cast<double>(ink) / static_cast<double>(all) : 0.0;
    };
    ::SetFocus(deviation);
    const struct {
        WORD key;
        int tab;
        HWND shown, hidden;
    } steps[] = {{'I', 1, impedance, deviation}, {'D', 0, deviation, impedance}};
    for (const auto& step : steps) {
        KeyWith(VK_MENU, step.key);
        EXPECT_EQ(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0), step.tab) << step.key;
        EXPECT_TRUE(::IsWindowVisible(step.shown)) << step.key;
        EXPECT_FALSE(::IsWindowVisible(step.hidden)) << step.key;
        EXPECT_EQ(::GetFocus(), step.shown) << step.key;
        EXPECT_GT(inked(step.shown), 0.01) << step.key;
    }
}

// What screen readers name each control by, as the Qt window names them:
// a box by the label just before it, anything else by its own text. The
// budget is a grid with the Qt grid's headings and cells.
TEST_F(SweepWindowTest, ControlsAreNamedAndTheBudgetIsAGrid) {
    Open(measurement_);
    ASSERT_TRUE(Evaluated());
    const auto text = [](HWND control) {
        wchar_t buffer[256] = {};
        ::GetWindowTextW(control, buffer, 256);
        std::string shown = win32::Narrow(buffer);
        std::erase(shown, '&');
        if (!shown.empty() && shown.back() == ':')
            shown.pop_back();
        return shown;
    };
    const struct {
        const char* control;
        const char* name;
        bool byLabel;
    } names[] = {
        {"AnType", "AN type", true},
        {"Plot", "Deviation plot", false},
        {"Impedance", "Impedance plot", false},
        {"Summary", "Summary", true},
        {"Budget", "Budget lines", false},
        {"Table", "Points", false},
        {"Progress", "Evaluation progress", false},
    };
    for (const auto& c : names) {
        HWND control = window_->Control(c.control);
        EXPECT_EQ(text(c.byLabel ? ::GetWindow(control, GW_HWNDPREV) : control), c.name) << c.control;
    }

    HWND grid = window_->Control("Budget");
    const std::vector<sweep::BudgetLine>& lines = window_->Result()->budget;
    ASSERT_FALSE(lines.empty());
    HWND header = ListView_GetHeader(grid);
    ASSERT_EQ(static_cast<std::size_t>(Header_GetItemCount(header)), 1 + 2 * lines.size());
    const auto heading = [header](int column) {
        wchar_t buffer[256] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 256;
        Header_GetItem(header, column, &item);
        return win32::Narrow(buffer);
    };
    const auto cell = [grid](int row, int column) {
        wchar_t buffer[256] = {};
        ListView_GetItemText(grid, row, column, buffer, 256);
        return win32::Narrow(buffer);
    };
    EXPECT_EQ(heading(0), "Budget lines");
    const auto& figures = sweep::BudgetFigures();
    ASSERT_EQ(static_cast<std::size_t>(ListView_GetItemCount(grid)), figures.size());
    for (std::size_t b = 0; b < lines.size(); ++b) {
        const int column = 1 + 2 * static_cast<int>(b);
        EXPECT_EQ(heading(column), sweep::BandText(lines[b]) + ", measured");
        EXPECT_EQ(heading(column + 1), sweep::BandText(lines[b]) + ", tolerance limit");
        for (std::size_t f = 0; f < figures.size(); ++f) {
            const auto row = static_cast<int>(f);
            EXPECT_EQ(cell(row, 0), figures[f].name);
            const std::optional<WorstFigure>& measured = lines[b].measured.*figures[f].figure;
            if (!lines[b].measured.unboundedAtMHz && measured) {
                EXPECT_EQ(cell(row, column), sweep::FigureText(*measured)) << heading(column);
            }
        }
    }
}

TEST_F(SweepWindowTest, AFileThatCannotBeReadIsReportedAndTheWindowGoes) {
    const std::string broken = TempFolder() + "sweepwin-broken.s1p";
    Write(broken, "# Hz S RI R 50\n150000 0.1 0.2\nnot a number\n");
    Open(broken);
    EXPECT_TRUE(PumpUntil([this] { return host_.closed == 1; }));
    EXPECT_NE(watcher_->seen.text.find("sweepwin-broken.s1p:3"), std::string::npos) << watcher_->seen.text;
    ::DeleteFileW(win32::Wide(broken).c_str());
}

// Long enough that it is still being evaluated when the test acts.
std::string LongSweepFile() {
    const std::string file = TempFolder() + "sweepwin-long.s1p";
    std::string text = "# Hz S RI R 50\n";
    for (int i = 0; i < 1000000; ++i) {
        char hertz[16];
        text.append(hertz, std::to_chars(hertz, hertz + sizeof hertz, 150000 + i).ptr) += " 0.1 0.2\n";
    }
    Write(file, text);
    return file;
}

TEST_F(SweepWindowTest, ClosingOrCancellingWhileBusyStopsTheWorker) {
    const std::string file = LongSweepFile();
    const struct {
        const char* name;
        std::function<void()> act;
        bool closed;
    } cases[] = {
        {"Close()", [this] { window_->Close(); }, true},
        {"Ctrl+W, the host dropping the window",
         [this] {
             host_.dropOnClose = [this] { window_.reset(); };
             ::SetForegroundWindow(window_->Handle());
             KeyWith(VK_CONTROL, 'W');
             PumpUntil([this] { return host_.closed > 0; });
         },
         true},
        {"Esc", [this] { Key(VK_ESCAPE); }, false},
    };
    for (const auto& c : cases) {
        host_ = {};
        Open(file);
        ASSERT_TRUE(window_->Busy()) << c.name;
        c.act();
        EXPECT_EQ(host_.closed, c.closed ? 1 : 0) << c.name;
        if (!window_)
            continue;
        EXPECT_FALSE(window_->Busy()) << c.name;
        EXPECT_EQ(window_->Handle() == nullptr, c.closed) << c.name;
        if (!c.closed) {
            wchar_t status[128] = {};
            ::GetWindowTextW(window_->Control("Status"), status, 128);
            EXPECT_EQ(win32::Narrow(status), "Cancelled. Reload (F5) or choose a type to evaluate the file.") << c.name;
            EXPECT_FALSE(window_->Result()) << c.name;
        }
    }
    window_.reset();
    ::DeleteFileW(win32::Wide(file).c_str());
}

TEST_F(SweepWindowTest, RemembersRecentFilesTypeFolderAndSize) {
    EXPECT_TRUE(RecentFiles().empty());
    EXPECT_FALSE(SweepWindowSize());
    for (int i = 0; i < 10; ++i)
        AddRecentFile("C:\\m\\" + std::string(1, static_cast<char>('a' + i)) + ".s1p");
    AddRecentFile("C:\\m\\c.s1p");  // once only, now first
    const std::vector<std::string> recent = RecentFiles();
    ASSERT_EQ(recent.size(), kRecentFiles);
    EXPECT_EQ(recent[0], "C:\\m\\c.s1p");
    EXPECT_EQ(recent[1], "C:\\m\\j.s1p");
    EXPECT_EQ(std::count(recent.begin(), recent.end(), "C:\\m\\c.s1p"), 1);

    for (std::int16_t type : {0, 5, 3})
        SetLastAnType(type);
    EXPECT_EQ(LastAnType(), 3);

    // A window that evaluated its file names it and its folder; its size
    // is the next window's.
    Open(measurement_);
    ASSERT_TRUE(Evaluated());
    // File > Open recent > the third, queued at once: the menu's own loop
    // takes the keys from there.
    std::vector<INPUT> keys;
    for (const auto& [key, up] : {std::pair<WORD, bool>{VK_MENU, false},
                                  {'F', false},
                                  {'F', true},
                                  {VK_MENU, true},
                                  {'R', false},
                                  {'R', true},
                                  {'3', false},
                                  {'3', true}}) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        keys.push_back(input);
    }
    watcher_->menuDeadline = ::GetTickCount() + 5000;
    Send(keys);
    PumpUntil([this] { return !host_.opened.empty(); }, 5000);
    watcher_->menuDeadline = 0;
    EXPECT_EQ(host_.opened, std::vector<std::string>{RecentFiles()[2]});
    // With recent files listed, the type box's notifications stay its own,
    // never read as a recent file's command.
    const std::int16_t before = window_->Result()->evaluation->anType;
    KeyWith(VK_MENU, 'T');
    Key(before < 4 ? VK_DOWN : VK_UP);
    ASSERT_TRUE(PumpUntil([&] { return !window_->Busy() && window_->Result()->evaluation->anType != before; }));
    EXPECT_EQ(host_.opened.size(), 1u);
    ::SetWindowPos(window_->Handle(), nullptr, 0, 0, 700, 600, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    ::GetClientRect(window_->Handle(), &client);
    window_->Close();
    EXPECT_EQ(RecentFiles().front(), measurement_);
    EXPECT_EQ(LastFolder() + measurement_.substr(measurement_.find_last_of('\\')), measurement_);
    Open(measurement_);
    RECT reopened;
    ::GetClientRect(window_->Handle(), &reopened);
    EXPECT_EQ(reopened.right, client.right);
    EXPECT_EQ(reopened.bottom, client.bottom);
}

// Record verification… waits for a result on show, which comes with the
// fingerprint of the bytes it was evaluated from; both entries reach the
// program.
TEST_F(SweepWindowTest, RecordVerificationWaitsForAResultWithItsFingerprint) {
    Open(measurement_);
    HMENU menu = ::GetMenu(window_->Handle());
    const auto greyed = [menu] {
        return (::GetMenuState(menu, kRecordVerificationCommand, MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    const auto entry = [menu](UINT command) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, command, text, 64, MF_BYCOMMAND);
        return win32::Narrow(text);
    };
    EXPECT_EQ(entry(kRecordVerificationCommand), "Record &verification\u2026");
    EXPECT_EQ(entry(kRegisterCommand), "Verification re&gister\u2026");
    EXPECT_TRUE(greyed());
    ::SendMessageW(window_->Handle(), WM_COMMAND, kRecordVerificationCommand, 0);
    EXPECT_EQ(host_.recordRequests, 0);

    ASSERT_TRUE(Evaluated());
    EXPECT_FALSE(greyed());
    EXPECT_EQ(window_->EvaluatedSha256(), files::Sha256Hex(Contents(measurement_)));
    for (UINT command : {kRecordVerificationCommand, kRegisterCommand})
        ::SendMessageW(window_->Handle(), WM_COMMAND, command, 0);
    EXPECT_EQ(host_.recordRequests, 1);
    EXPECT_EQ(host_.registerRequests, 1);

    // Read again after a change: the fingerprint follows the new bytes.
    Write(measurement_, Contents(measurement_) + "! changed\n");
    Key(VK_F5);
    ASSERT_TRUE(Evaluated());
    EXPECT_EQ(window_->EvaluatedSha256(), files::Sha256Hex(Contents(measurement_)));
}

}  // namespace
}  // namespace quillet::sweepwin
