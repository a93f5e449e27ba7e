// What the window logic needs of a window, and nothing more. The Qt window
// implements it on widgets; tests implement it with a recording fake.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

enum class TextBox {
    TxtFrequency,       // input: Frequency (MHz)
    TxtMagnitude,       // input: Magnitude (ohm)
    TxtPhase,           // input: Phase (deg)
    TxtMaxUncertainty,  // result: Maximum Deviation (dB)
    TxtUncPhase,        // result: Phase of EUT reflection coefficient (deg)
};

enum class MousePointer { Default, Busy };

class WindowInterface {
public:
    virtual ~WindowInterface() = default;

    // Box texts are UTF-8. Setting a text raises no box event.
    virtual std::string Text(TextBox box) const = 0;
    virtual void SetText(TextBox box, std::string_view text) = 0;

    // ChkLink(index), index 0..3. Setting an option that is not selected to
    // selected raises ChkLink_Click(index) at once, nested in this call;
    // setting it to false, or to the value it holds, raises nothing.
    virtual bool Option(int index) const = 0;
    virtual void SetOption(int index, bool selected) = 0;

    // Sizes and positions in twips (15 twips to a pixel at 96 dpi). The
    // outer size includes the frame and the title bar.
    virtual double OuterWidth() const = 0;
    virtual double OuterHeight() const = 0;
    virtual void SetLeft(float twips) = 0;
    virtual void SetTop(float twips) = 0;
    virtual double ScreenWidth() const = 0;
    virtual double ScreenHeight() const = 0;

    virtual void SetMousePointer(MousePointer pointer) = 0;

    // A modal message box with an OK button and no icon; returns when the
    // user has dismissed it.
    virtual void ShowMessage(std::string_view text, std::string_view title) = 0;

    // Closes and destroys the window; with it gone the program ends.
    virtual void Unload() = 0;
};

}  // namespace quillet
