// The Win32 window driven as a user drives it: mouse clicks and keys sent
// as real input (SendInput), the window's own message handling, and the
// texts read back from the controls with GetWindowText. Needs a display:
// under Wine, an X server such as Xvfb with a window manager.

#include "win32/main_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/deviation.h"
#include "tests/win32/message_box_watcher.h"
#include "window/about_exit.h"
#include "window/calculate_deviation.h"

namespace quillet::win32 {
namespace {

enum class Do {
    Click,       // target
    Type,        // text, as characters
    Key,         // key: a virtual key code, with Shift when shift is set
    Text,        // target shows text
    Focus,       // target has the focus
    Checked,     // target is the only option selected
    Results,     // both results are those of the engine for frequency, magnitude, phase, type in text
    Message,     // the last message box showed text (a part of it) with title Quillet, OK only, no icon
    SwitchAway,  // another window of another program takes over
    SwitchBack,  // and gives the window back
};

struct Step {
    Do what;
    const char* target = "";
    const char* text = "";
    WORD key = 0;
    bool shift = false;
};

Step Click(const char* target) { return {Do::Click, target}; }
Step Type(const char* keys) { return {Do::Type, "", keys}; }
Step Key(WORD key, bool shift = false) { return {Do::Key, "", "", key, shift}; }
Step Shows(const char* target, const char* text) { return {Do::Text, target, text}; }
Step Focus(const char* target) { return {Do::Focus, target}; }
Step Checked(const char* target) { return {Do::Checked, target}; }
Step NotValid() { return {Do::Text, "TxtMaxUncertainty", "not valid"}; }
// "frequency magnitude degrees type"
Step ResultsOf(const char* inputs) { return {Do::Results, "", inputs}; }

struct Scenario {
    const char* name;
    std::vector<Step> steps;
};

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<MainWindow>(::GetModuleHandleW(nullptr));
        window_->Load();
        watcher_ = std::make_unique<testing::MessageBoxWatcher>();
        Pump();
    }

    void TearDown() override {
        watcher_.reset();
        window_.reset();
        if (other_ != nullptr)
            ::DestroyWindow(other_);
        Pump();
    }

    // Handles what has arrived, as the program's message loop does, until
    // nothing more comes for a while.
    void Pump() {
        int quiet = 0;
        const DWORD start = ::GetTickCount();
        while (quiet < 5 && ::GetTickCount() - start < 3000) {
            MSG message;
            bool any = false;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                any = any || message.message != WM_TIMER;  // the message box watch ticks all the time
                if (message.message == WM_QUIT) {
                    quit_ = true;
                    continue;
                }
                if (window_ && window_->PreTranslate(message))
                    continue;
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            quiet = any ? 0 : quiet + 1;
            ::Sleep(10);
        }
    }

    static void Send(std::vector<INPUT> inputs) {
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }

    void ClickOn(HWND control) {
        RECT place;
        ::GetWindowRect(control, &place);
        const int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;
        const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = (x * 65535 + width / 2) / (width - 1);
        input.mi.dy = (y * 65535 + height / 2) / (height - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        INPUT down = input, up = input;
        down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
        Send({input});
        Pump();
        Send({down, up});
        Pump();
    }

    void PressKey(WORD key, bool shift) {
        std::vector<INPUT> inputs;
        auto add = [&inputs](WORD vk, bool release) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        if (shift)
            add(VK_SHIFT, false);
        add(key, false);
        add(key, true);
        if (shift)
            add(VK_SHIFT, true);
        Send(inputs);
        Pump();
    }

    void TypeText(const std::string& text) {
        for (wchar_t c : Wide(text)) {
            INPUT down{}, up{};
            down.type = up.type = INPUT_KEYBOARD;
            down.ki.wScan = up.ki.wScan = static_cast<WORD>(c);
            down.ki.dwFlags = KEYEVENTF_UNICODE;
            up.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
            Send({down, up});
            Pump();
        }
    }

    std::string Shown(const char* name) const {
        HWND control = window_->Control(name);
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
        return Narrow(text);
    }

    std::string Focused() const {
        for (const layout::Control& control : layout::kControls) {
            if (window_->Control(control.name) == ::GetFocus())
                return std::string(control.name);
        }
        return "(none)";
    }

    void Switch(bool away) {
        if (away) {
            other_ = ::CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                       100, nullptr, nullptr, nullptr, nullptr);
            ::SetForegroundWindow(other_);
            Pump();
            EXPECT_NE(::GetForegroundWindow(), window_->Handle());
        } else {
            ::SetForegroundWindow(window_->Handle());
            Pump();
            EXPECT_EQ(::GetForegroundWindow(), window_->Handle());
        }
    }

    static std::string ExpectedResults(const char* inputs) {
        double f = 0, m = 0, p = 0;
        int type = 0;
        std::sscanf(inputs, "%lf %lf %lf %d", &f, &m, &p, &type);
        const auto result = SweepDeviation(f, m, p * kPi / 180.0, static_cast<std::int16_t>(type));
        return result ? ResultText(result->deviationDb) + "|" + ResultText(result->eutPhaseDegrees) : "none";
    }

    void Run(const Step& step) {
        switch (step.what) {
        case Do::Click: ClickOn(window_->Control(step.target)); break;
        case Do::Type: TypeText(step.text); break;
        case Do::Key: PressKey(step.key, step.shift); break;
        case Do::Text: EXPECT_EQ(Shown(step.target), step.text) << step.target; break;
        case Do::Focus: EXPECT_EQ(Focused(), step.target); break;
        case Do::Checked:
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(window_->Option(i), "ChkLink(" + std::to_string(i) + ")" == step.target) << i;
            break;
        case Do::Results:
            EXPECT_EQ(Shown("TxtMaxUncertainty") + "|" + Shown("TxtUncPhase"), ExpectedResults(step.text));
            break;
        case Do::Message:
            EXPECT_TRUE(watcher_->seen.shown);
            EXPECT_NE(watcher_->seen.text.find(step.text), std::string::npos) << watcher_->seen.text;
            EXPECT_EQ(watcher_->seen.title, "Quillet");
            EXPECT_EQ(watcher_->seen.buttons, 1);
            EXPECT_FALSE(watcher_->seen.icon);
            watcher_->seen = {};
            break;
        case Do::SwitchAway: Switch(true); break;
        case Do::SwitchBack: Switch(false); break;
        }
    }

    std::unique_ptr<MainWindow> window_;
    HWND other_ = nullptr;
    std::unique_ptr<testing::MessageBoxWatcher> watcher_;
    bool quit_ = false;
};

TEST_F(Win32Window, BehavesAsTheQtWindowDoes) {
    const std::string about(kAboutMessage);
    const Scenario scenarios[] = {
        {"start-up",
         {Shows("TxtFrequency", "0.15"), Shows("TxtMagnitude", " 39.26"), Shows("TxtPhase", " 54.85"), NotValid(),
          Shows("TxtUncPhase", "not valid"), Checked("ChkLink(0)"), Focus("PbCapture")}},
        {"Calculate", {Click("PbCapture"), Shows("TxtMaxUncertainty", " 3.61"), Shows("TxtUncPhase", " 268.14")}},
        {"leaving a box comes before Calculate",
         {Click("TxtMagnitude"), Focus("TxtMagnitude"), Shows("TxtMagnitude", ""), Type("600"),
          Shows("TxtMagnitude", "600"), Click("PbCapture"), Shows("TxtMagnitude", " 500"),
          ResultsOf("0.15 500 54.85 1")}},
        {"Tab follows the layout's order",
         {Key(VK_TAB),
          Focus("PbExit"),
          Key(VK_TAB),
          Focus("PbInfo"),
          Key(VK_TAB),
          Focus("ChkLink(0)"),
          Key(VK_TAB),
          Focus("TxtFrequency"),
          Shows("TxtFrequency", ""),
          Key(VK_TAB),
          Focus("TxtMagnitude"),
          Key(VK_TAB),
          Focus("TxtPhase"),
          Key(VK_TAB),
          Focus("TxtMaxUncertainty"),
          Key(VK_TAB),
          Focus("TxtUncPhase"),
          Key(VK_TAB),
          Focus("ChkLink(2)"),
          Key(VK_TAB),
          Focus("PbCapture"),
          Shows("TxtFrequency", " 0"),
          Shows("TxtPhase", " 0"),
          Key(VK_TAB, true),
          Focus("ChkLink(2)"),
          Key(VK_TAB, true),
          Focus("TxtUncPhase")}},
        {"Tab reaches the selected option of each group",
         {Click("ChkLink(3)"), Click("PbCapture"), Key(VK_TAB), Focus("PbExit"), Key(VK_TAB), Focus("PbInfo"),
          Key(VK_TAB), Focus("TxtFrequency"), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB),
          Focus("ChkLink(2)"), Key(VK_TAB), Focus("ChkLink(3)"), Key(VK_TAB), Focus("PbCapture")}},
        {"arrow keys move within a group of options",
         {Click("ChkLink(0)"), Key(VK_DOWN), Focus("ChkLink(1)"), Checked("ChkLink(1)"), Key(VK_RIGHT),
          Focus("ChkLink(3)"), Checked("ChkLink(3)"), Click("ChkLink(2)"), Key(VK_DOWN), Key(VK_LEFT),
          Checked("ChkLink(2)")}},
        {"Enter in a box presses no button",
         {Click("PbCapture"), Click("TxtFrequency"), Type("12"), Key(VK_RETURN), Focus("TxtFrequency"),
          Shows("TxtFrequency", "12"), NotValid(), Key(VK_ESCAPE), NotValid(), Focus("TxtFrequency")}},
        {"keys reach the handler before the box",
         {Click("TxtFrequency"), Type("1,5"), Key(VK_BACK), Key(VK_LEFT), Shows("TxtFrequency", "1,"),
          Click("TxtMagnitude"), Shows("TxtFrequency", " 1.5")}},
        {"Enter clamps, leaving reads the keys",
         {Click("TxtFrequency"), Type("1e9"), Key(VK_RETURN), Shows("TxtFrequency", " 500000"), Click("TxtPhase"),
          Shows("TxtFrequency", " 19")}},
        {"options stay exclusive across their containers",
         {Click("PbCapture"), Click("ChkLink(2)"), Checked("ChkLink(2)"), NotValid(), Click("ChkLink(3)"),
          Checked("ChkLink(3)"), Click("PbCapture"), ResultsOf("0.15 39.26 54.85 4"), Click("ChkLink(3)"),
          ResultsOf("0.15 39.26 54.85 4")}},
        {"About explains",
         {Click("PbInfo"), {Do::Message, "", about.c_str()}, NotValid(), Shows("TxtFrequency", "0.15")}},
        {"values that cannot be evaluated give a message",
         {Click("TxtPhase"),
          Type("0"),
          Click("TxtMagnitude"),
          Type(".000000000000001"),
          Click("PbCapture"),
          {Do::Message, "", "cannot be evaluated"},
          NotValid(),
          Shows("TxtUncPhase", "not valid"),
          Shows("TxtMagnitude", " 1E-15")}},
        {"switching programs keeps what was typed",
         {Click("TxtFrequency"),
          Type("12"),
          {Do::SwitchAway},
          {Do::SwitchBack},
          Focus("TxtFrequency"),
          Shows("TxtFrequency", "12"),
          NotValid(),
          Click("TxtMagnitude"),
          Shows("TxtFrequency", " 12")}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        TearDown();
        SetUp();
        for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i + 1));
            Run(scenario.steps[i]);
        }
    }
}

TEST_F(Win32Window, ExitAndTheCloseBoxEndTheProgram) {
    for (const bool byCloseBox : {false, true}) {
        SCOPED_TRACE(byCloseBox ? "close box" : "Exit");
        TearDown();
        SetUp();
        quit_ = false;
        Run(Click("PbCapture"));
        if (byCloseBox)
            ::PostMessageW(window_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // what the close box sends
        else
            Run(Click("PbExit"));
        Pump();
        EXPECT_EQ(window_->Handle(), nullptr);
        EXPECT_TRUE(quit_);
    }
}

// Places, captions and fonts from the layout table, scaled to the window's
// DPI; every caption fits its control in the font it is drawn with.
TEST_F(Win32Window, PlacesEveryControlOfTheLayout) {
    const UINT dpi = window_->Dpi();
    auto scale = [dpi](int pixels) { return ::MulDiv(pixels, static_cast<int>(dpi), 96); };
    RECT client;
    ::GetClientRect(window_->Handle(), &client);
    EXPECT_EQ(client.right, scale(layout::kClientWidth));
    EXPECT_EQ(client.bottom, scale(layout::kClientHeight));
    wchar_t title[128] = {};
    ::GetWindowTextW(window_->Handle(), title, 128);
    EXPECT_EQ(Narrow(title), layout::kTitle);
    const LONG style = ::GetWindowLongW(window_->Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME), 0);

    // Above the middle of the screen.
    RECT outer;
    ::GetWindowRect(window_->Handle(), &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    EXPECT_NEAR(outer.left, ::GetSystemMetrics(SM_CXSCREEN) / 2.0 - width / 2.0, 1.0);
    EXPECT_NEAR(outer.top, ::GetSystemMetrics(SM_CYSCREEN) / 2.3 - height / 2.0, 1.0);

    for (const layout::Control& control : layout::kControls) {
        SCOPED_TRACE(std::string(control.name));
        HWND made = window_->Control(control.name);
        HWND container = control.container.empty() ? window_->Handle() : window_->Control(control.container);
        EXPECT_EQ(::GetParent(made), container);
        RECT place;
        ::GetWindowRect(made, &place);
        ::MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, scale(control.place.left));
        EXPECT_EQ(place.top, scale(control.place.top));
        EXPECT_EQ(place.right - place.left, scale(control.place.width));
        EXPECT_EQ(place.bottom - place.top, scale(control.place.height));
        EXPECT_TRUE(::IsWindowVisible(made) && ::IsWindowEnabled(made));

        const auto font = reinterpret_cast<HFONT>(::SendMessageW(made, WM_GETFONT, 0, 0));
        LOGFONTW shape{};
        ASSERT_NE(::GetObjectW(font, sizeof shape, &shape), 0);
        const double points = control.font == layout::Font::Heading  ? layout::kHeadingPoints
                              : control.font == layout::Font::Symbol ? layout::kSymbolPoints
                                                                     : layout::kStandardPoints;
        EXPECT_EQ(shape.lfHeight, -std::lround(points * dpi / 72.0));
        EXPECT_EQ(shape.lfWeight, control.font == layout::Font::Heading ? FW_BOLD : FW_NORMAL);
        if (control.kind == layout::Kind::TextBox)
            continue;
        EXPECT_EQ(Shown(std::string(control.name).c_str()), control.caption);
        HDC dc = ::GetDC(made);
        const auto previous = ::SelectObject(dc, font);
        SIZE extent{};
        const std::wstring caption = Wide(control.caption);
        ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        ::SelectObject(dc, previous);
        ::ReleaseDC(made, dc);
        // An option's circle takes about one line height before its caption.
        const int room = place.right - place.left - (control.kind == layout::Kind::Option ? scale(18) : 0);
        EXPECT_LE(extent.cx, room) << "the caption is clipped";
        EXPECT_LE(extent.cy, place.bottom - place.top) << "the caption is clipped";
    }
    // The option on the window lies above the frame and takes the clicks
    // over its whole rectangle.
    RECT option;
    ::GetWindowRect(window_->Control("ChkLink(2)"), &option);
    const POINT inside{option.left + 2, option.bottom - 2};
    EXPECT_EQ(::WindowFromPoint(inside), window_->Control("ChkLink(2)"));
}

}  // namespace
}  // namespace quillet::win32

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
