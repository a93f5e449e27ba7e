#include "win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "win32/window_self.h"
namespace quillet::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QuilletMDIForm1";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // fixed size, close box only
constexpr DWORD kExStyle = 0;
constexpr UINT_PTR kSubclassId = 1;
constexpr int kFirstControlId = 100;  // + index in the layout table

RECT OuterRect(int clientWidth, int clientHeight, UINT dpi) {
    static const auto adjustForDpi =
        User32<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, clientWidth, clientHeight};
    if (adjustForDpi != nullptr)
        adjustForDpi(&rect, kStyle, FALSE, kExStyle, dpi);
    else
        ::AdjustWindowRectEx(&rect, kStyle, FALSE, kExStyle);
    return rect;
}

bool FaceExists(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC dc = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(
        dc, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
            *reinterpret_cast<bool*>(seen) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, dc);
    return found;
}

const wchar_t* FirstFace(std::initializer_list<const wchar_t*> faces) {
    for (const wchar_t* face : faces) {
        if (FaceExists(face))
            return face;
    }
    return *faces.begin();
}

std::size_t IndexOf(std::string_view name) {
    return static_cast<std::size_t>(&layout::Find(name) - layout::kControls.data());
}

std::string OptionName(int index) { return "ChkLink(" + std::to_string(index) + ")"; }

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
    const auto rgb = layout::kBackgroundRgb;
    background_ = ::CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background_;
    windowClass.lpszClassName = kClassName;
    windowClass.hIcon =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    windowClass.hIconSm =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                        ::GetSystemMetrics(SM_CYSMICON), 0));
    ::UnregisterClassW(kClassName, instance);  // a window of an earlier instance may have left it with its brush
    if (::RegisterClassExW(&windowClass) == 0)
        throw std::runtime_error("cannot register the window class");

    const RECT outer = OuterRect(layout::kClientWidth, layout::kClientHeight, 96);
    window_ =
        ::CreateWindowExW(kExStyle, kClassName, Wide(layout::kTitle).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the window");
    CreateControls();
    ApplyDpi(DpiOf(window_));
}

MainWindow::~MainWindow() {
    if (window_ != nullptr)
        ::DestroyWindow(window_);
    for (HFONT font : fonts_) {
        if (font != nullptr)
            ::DeleteObject(font);
    }
    ::UnregisterClassW(kClassName, instance_);
    ::DeleteObject(background_);
}

void MainWindow::CreateControls() {
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const layout::Control& control = layout::kControls[i];
        HWND container = control.container.empty() ? window_ : controls_[IndexOf(control.container)];
        const wchar_t* windowClass = L"BUTTON";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        switch (control.kind) {
        case layout::Kind::Label:
            windowClass = L"STATIC";
            style |= SS_NOPREFIX | SS_CENTERIMAGE |
                     (control.align == layout::Align::Centre  ? SS_CENTER
                      : control.align == layout::Align::Right ? SS_RIGHT
                                                              : SS_LEFT);
            break;
        case layout::Kind::Frame: style |= BS_GROUPBOX | WS_CLIPCHILDREN; break;
        case layout::Kind::Option: style |= BS_RADIOBUTTON | WS_TABSTOP; break;
        case layout::Kind::TextBox:
            windowClass = L"EDIT";
            style |= ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case layout::Kind::Button: style |= BS_PUSHBUTTON | WS_TABSTOP; break;  // never the default button
        }
        HWND made =
            ::CreateWindowExW(exStyle, windowClass, Wide(control.caption).c_str(), style, 0, 0, 0, 0, container,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance_, nullptr);
        if (made == nullptr)
            throw std::runtime_error("cannot create " + std::string(control.name));
        controls_[i] = made;
        ::SetWindowSubclass(made, ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
        // Later controls lie above earlier ones where they overlap: the
        // option on the window over the frame.
        ::SetWindowPos(made, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (TextBox box : {TextBox::TxtFrequency, TextBox::TxtMagnitude, TextBox::TxtPhase})
        inputBoxes_[Box(box)] = box;
}

int MainWindow::Scale(int pixels) const { return win32::Scale(pixels, dpi_); }

void MainWindow::MakeFonts() {
    // The classic dialog face; on its own the options' ohm and micro signs
    // need a face that has them.
    static const wchar_t* const standardFace = FirstFace({L"MS Sans Serif", L"Microsoft Sans Serif", L"Tahoma"});
    static const wchar_t* const signFace = FirstFace({L"Microsoft Sans Serif", L"Tahoma", L"Arial"});
    const struct {
        double points;
        int weight;
        const wchar_t* face;
    } kinds[] = {{layout::kStandardPoints, FW_NORMAL, standardFace},
                 {layout::kHeadingPoints, FW_BOLD, standardFace},
                 {layout::kSymbolPoints, FW_NORMAL, signFace}};
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        if (fonts_[i] != nullptr)
            ::DeleteObject(fonts_[i]);
        const int height = -static_cast<int>(std::lround(kinds[i].points * dpi_ / 72.0));
        fonts_[i] =
            ::CreateFontW(height, 0, 0, 0, kinds[i].weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kinds[i].face);
    }
}

void MainWindow::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    MakeFonts();
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const layout::Control& control = layout::kControls[i];
        const layout::Rect& place = control.place;
        ::SetWindowPos(controls_[i], nullptr, Scale(place.left), Scale(place.top), Scale(place.width),
                       Scale(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(controls_[i], WM_SETFONT,
                       reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(control.font)]), TRUE);
    }
    const RECT outer = OuterRect(Scale(layout::kClientWidth), Scale(layout::kClientHeight), dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Load() {
    model_.Form_Load();
    ::ShowWindow(window_, SW_SHOW);
    ::UpdateWindow(window_);
    ::SetForegroundWindow(window_);
    ::SetFocus(Control("PbCapture"));
}

int MainWindow::Run() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if ((hooks_.preTranslate && hooks_.preTranslate(message)) || PreTranslate(message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void MainWindow::SetHooks(Hooks hooks) {
    hooks_ = std::move(hooks);
    ::DragAcceptFiles(window_, hooks_.filesDropped ? TRUE : FALSE);
}

void MainWindow::CalculatePoint(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                                std::int16_t anType) {
    // Focus on "Calculate" before a message box can take it away, so it
    // comes back there, not to a box that would be emptied.
    ::SetForegroundWindow(window_);
    ::SetFocus(Control("PbCapture"));
    model_.EnterPointAndCalculate(frequency, magnitude, phase, anType);
}

HWND MainWindow::Control(std::string_view name) const {
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        if (layout::kControls[i].name == name)
            return controls_[i];
    }
    return nullptr;
}

const layout::Control* MainWindow::LayoutOf(HWND control) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] == control && control != nullptr)
            return &layout::kControls[i];
    }
    return nullptr;
}

HWND MainWindow::Box(TextBox box) const {
    switch (box) {
    case TextBox::TxtFrequency: return Control("TxtFrequency");
    case TextBox::TxtMagnitude: return Control("TxtMagnitude");
    case TextBox::TxtPhase: return Control("TxtPhase");
    case TextBox::TxtMaxUncertainty: return Control("TxtMaxUncertainty");
    case TextBox::TxtUncPhase: return Control("TxtUncPhase");
    }
    return Control("TxtFrequency");
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32::WindowSelf(hwnd, message, lParam, &MainWindow::window_);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->HandleWindowMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // Leaving the whole window and coming back is no focus move between
        // its controls: the control that had the focus gets it back, and no
        // handler hears of it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focused = ::GetFocus();
            if (focused != nullptr && LayoutOf(focused) != nullptr)
                focusBeforeLeaving_ = focused;
        } else {
            HWND back = focusBeforeLeaving_ != nullptr && ::IsWindow(focusBeforeLeaving_) ? focusBeforeLeaving_
                                                                                          : Control("PbCapture");
            if (::GetFocus() != back)
                ::SetFocus(back);
        }
        return 0;
    case WM_SETCURSOR:
        if (busy_) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_DPICHANGED: {
        ApplyDpi(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DROPFILES: FilesDropped(wParam); return 0;
    case WM_CLOSE: Unload(); return 0;
    case WM_DESTROY:
        if (hooks_.closing)
            hooks_.closing();
        ::PostQuitMessage(0);
        return 0;
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

void MainWindow::FilesDropped(WPARAM wParam) {
    auto* drop = reinterpret_cast<HDROP>(wParam);
    std::vector<std::string> files;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(::DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        files.push_back(Narrow(name));
    }
    ::DragFinish(drop);
    if (hooks_.filesDropped && !files.empty())
        hooks_.filesDropped(files);
}

LRESULT CALLBACK MainWindow::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
    return reinterpret_cast<MainWindow*>(self)->HandleControlMessage(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::HandleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const layout::Control* info = LayoutOf(control);
    const auto box = inputBoxes_.find(control);
    switch (message) {
    case WM_SETFOCUS: {
        const LRESULT result = ::DefSubclassProc(control, message, wParam, lParam);
        FocusIsOn(control);
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (box != inputBoxes_.end()) {
            // The box takes the focus first; got-focus comes before the click.
            const LRESULT result = ::DefSubclassProc(control, message, wParam, lParam);
            model_.BoxClicked(box->second);
            return result;
        }
        break;
    case WM_CHAR:
        // Every character reaches the handler before the box applies it,
        // unchanged.
        if (box != inputBoxes_.end())
            model_.KeyTyped(box->second, static_cast<std::uint16_t>(wParam));
        break;
    case WM_ERASEBKGND:
        // Frames are opaque in the standard face colour, like the controls
        // on them.
        if (info != nullptr && info->kind == layout::Kind::Frame) {
            RECT area;
            ::GetClientRect(control, &area);
            ::FillRect(reinterpret_cast<HDC>(wParam), &area, ::GetSysColorBrush(COLOR_BTNFACE));
            return TRUE;
        }
        break;
    case WM_COMMAND:  // from the controls in a frame
        if (lParam != 0) {
            OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        }
        break;
    case WM_NCDESTROY: ::RemoveWindowSubclass(control, ControlProc, kSubclassId); break;
    default: break;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

void MainWindow::OnCommand(HWND control, WORD code) {
    const layout::Control* info = LayoutOf(control);
    if (info == nullptr || code != BN_CLICKED)
        return;
    if (info->kind == layout::Kind::Option) {
        // An option turns on when clicked; the handler runs only when it
        // was off.
        const int index = layout::OptionIndex(info->name);
        if (!Option(index))
            SetOption(index, true);
    } else if (info->name == "PbCapture") {
        model_.PbCapture_Click();
    } else if (info->name == "PbInfo") {
        model_.PbInfo_Click();
    } else if (info->name == "PbExit") {
        model_.PbExit_Click();
    }
}

void MainWindow::FocusIsOn(HWND control) {
    const auto box = inputBoxes_.find(control);
    model_.FocusMovedTo(box != inputBoxes_.end() ? std::optional(box->second) : std::nullopt);
}

bool MainWindow::IsTabStop(const layout::Control& control) const {
    // A group of options is one stop, at the option selected last in it.
    if (control.kind != layout::Kind::Option)
        return true;
    const auto stop = tabStopOf_.find(control.container);
    return stop == tabStopOf_.end() || stop->second == layout::OptionIndex(control.name);
}

void MainWindow::MoveFocus(bool forward) {
    std::vector<const layout::Control*> stops;
    for (const layout::Control* control : layout::TabOrder()) {
        if (IsTabStop(*control))
            stops.push_back(control);
    }
    const layout::Control* current = LayoutOf(::GetFocus());
    const int here = current != nullptr ? current->tabIndex : -1;
    const layout::Control* next = nullptr;
    if (forward) {
        const auto after = std::find_if(stops.begin(), stops.end(), [here](auto* c) { return c->tabIndex > here; });
        next = after != stops.end() ? *after : stops.front();
    } else {
        const auto before =
            std::find_if(stops.rbegin(), stops.rend(), [here](auto* c) { return here < 0 || c->tabIndex < here; });
        next = before != stops.rend() ? *before : stops.back();
    }
    ::SetFocus(controls_[IndexOf(next->name)]);
}

void MainWindow::MoveWithinGroup(HWND option, bool forward) {
    const layout::Control* current = LayoutOf(option);
    std::vector<const layout::Control*> group;
    for (const layout::Control* control : layout::TabOrder()) {
        if (control->kind == layout::Kind::Option && control->container == current->container)
            group.push_back(control);
    }
    const auto at = std::find(group.begin(), group.end(), current);
    const std::size_t position = static_cast<std::size_t>(at - group.begin());
    const layout::Control* next = group[(position + (forward ? 1 : group.size() - 1)) % group.size()];
    if (next == current)
        return;
    ::SetFocus(controls_[IndexOf(next->name)]);
    const int index = layout::OptionIndex(next->name);
    if (!Option(index))
        SetOption(index, true);
}

bool MainWindow::PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN || window_ == nullptr || ::GetAncestor(message.hwnd, GA_ROOT) != window_)
        return false;
    const layout::Control* control = LayoutOf(message.hwnd);
    const bool controlDown = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool altDown = (::GetKeyState(VK_MENU) & 0x8000) != 0;
    switch (message.wParam) {
    case 'O':
        if (!controlDown || altDown || !hooks_.openRequested)
            return false;
        hooks_.openRequested();
        return true;
    case VK_TAB:
        if (controlDown || altDown)
            return false;
        MoveFocus((::GetKeyState(VK_SHIFT) & 0x8000) == 0);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        if (control == nullptr || control->kind != layout::Kind::Option)
            return false;
        MoveWithinGroup(message.hwnd, message.wParam == VK_RIGHT || message.wParam == VK_DOWN);
        return true;
    default: return false;
    }
}

std::string MainWindow::Text(TextBox box) const {
    HWND control = Box(box);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    const int length = ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return Narrow(text);
}

void MainWindow::SetText(TextBox box, std::string_view text) { ::SetWindowTextW(Box(box), Wide(text).c_str()); }

bool MainWindow::Option(int index) const {
    return ::SendMessageW(Control(OptionName(index)), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetOption(int index, bool selected) {
    HWND option = Control(OptionName(index));
    if (option == nullptr || Option(index) == selected)
        return;  // no click for an option set to the value it holds
    ::SendMessageW(option, BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
    if (selected) {
        tabStopOf_[layout::Find(OptionName(index)).container] = index;
        model_.ChkLink_Click(static_cast<std::int16_t>(index));
    }
}

double MainWindow::OuterWidth() const {
    RECT outer;
    ::GetWindowRect(window_, &outer);
    return (outer.right - outer.left) * 1440.0 / dpi_;
}

double MainWindow::OuterHeight() const {
    RECT outer;
    ::GetWindowRect(window_, &outer);
    return (outer.bottom - outer.top) * 1440.0 / dpi_;
}

void MainWindow::SetLeft(float twips) {
    RECT outer;
    ::GetWindowRect(window_, &outer);
    ::SetWindowPos(window_, nullptr, static_cast<int>(std::lround(static_cast<double>(twips) * dpi_ / 1440.0)),
                   outer.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SetTop(float twips) {
    RECT outer;
    ::GetWindowRect(window_, &outer);
    ::SetWindowPos(window_, nullptr, outer.left,
                   static_cast<int>(std::lround(static_cast<double>(twips) * dpi_ / 1440.0)), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double MainWindow::ScreenWidth() const { return ::GetSystemMetrics(SM_CXSCREEN) * 1440.0 / dpi_; }

double MainWindow::ScreenHeight() const { return ::GetSystemMetrics(SM_CYSCREEN) * 1440.0 / dpi_; }

void MainWindow::SetMousePointer(MousePointer pointer) {
    busy_ = pointer == MousePointer::Busy;
    ::SetCursor(::LoadCursorW(nullptr, busy_ ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::ShowMessage(std::string_view text, std::string_view title) {
    ::MessageBoxW(window_, Wide(text).c_str(), Wide(title).c_str(), MB_OK);
}

void MainWindow::Unload() {
    if (window_ != nullptr)
        ::DestroyWindow(window_);
}

}  // namespace quillet::win32
