// The calculator window's controls as data, free of any toolkit: names,
// containers, places, captions, fonts, alignment and tab order. The Qt and
// the Win32 window both build from this one table, so a place or a caption
// is written once.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/an_types.h"

namespace quillet::layout {

enum class Kind { Label, Frame, Option, TextBox, Button };
enum class Font { Standard, Heading, Symbol };  // 8.25 pt; 13.5 pt bold; 9.75 pt with the ohm and micro signs
enum class Align { None, Left, Centre, Right };

// Left, top, width and height in pixels at 96 dpi, from the top-left corner
// of the container: the window's client area, or a frame's outer corner.
struct Rect {
    int left, top, width, height;
};

struct Control {
    std::string_view name;  // "ChkLink(0)" for an element of the option array
    Kind kind;
    std::string_view container;  // empty: the window itself
    Rect place;
    std::string_view caption;  // UTF-8; empty for the text boxes
    Font font;
    Align align;
    int tabIndex;  // unique on the window; labels and frames never take the focus
};

inline constexpr std::string_view kTitle = "Torvane - AN Impedance Uncertainty Contribution";
inline constexpr int kClientWidth = 428;
inline constexpr int kClientHeight = 444;
inline constexpr std::uint32_t kBackgroundRgb = 0xC0C0C0;
inline constexpr int kTwipsPerPixel = 15;  // at 96 dpi
inline constexpr double kStandardPoints = 8.25;
inline constexpr double kHeadingPoints = 13.5;
inline constexpr double kSymbolPoints = 9.75;

// From the top of the window to the bottom; a frame comes before what it
// holds, and later controls lie above earlier ones where they overlap.
inline constexpr std::array<Control, 26> kControls{{
    {"Label1",
     Kind::Label,
     "",
     {16, 16, 393, 33},
     "AN Impedance Uncertainty Contribution",
     Font::Heading,
     Align::Centre,
     0},
    {"Frame2", Kind::Frame, "", {16, 56, 393, 81}, "Artificial Network (AN)", Font::Standard, Align::None, 4},
    {"ChkLink(0)", Kind::Option, "Frame2", {24, 24, 145, 17}, kAnTypes[0].caption, Font::Symbol, Align::None, 6},
    // On the window, over the frame's right-hand column: the options form
    // two groups, and the AN type handler keeps all four exclusive.
    {"ChkLink(2)", Kind::Option, "", {208, 80, 185, 17}, kAnTypes[2].caption, Font::Symbol, Align::None, 20},
    {"ChkLink(1)", Kind::Option, "Frame2", {24, 48, 145, 17}, kAnTypes[1].caption, Font::Symbol, Align::None, 7},
    {"ChkLink(3)", Kind::Option, "Frame2", {192, 48, 65, 17}, kAnTypes[3].caption, Font::Symbol, Align::None, 21},
    {"FrCapPar", Kind::Frame, "", {16, 144, 393, 129}, "Input Values (AN Impedance)", Font::Standard, Align::None, 8},
    {"Label13", Kind::Label, "FrCapPar", {40, 32, 153, 17}, "Frequency", Font::Standard, Align::Right, 11},
    {"TxtFrequency", Kind::TextBox, "FrCapPar", {216, 32, 121, 19}, "", Font::Standard, Align::None, 9},
    {"Label14", Kind::Label, "FrCapPar", {352, 32, 25, 17}, "MHz", Font::Standard, Align::Left, 13},
    {"Label2", Kind::Label, "FrCapPar", {32, 64, 161, 17}, "Magnitude", Font::Standard, Align::Right, 23},
    {"TxtMagnitude", Kind::TextBox, "FrCapPar", {216, 64, 121, 19}, "", Font::Standard, Align::None, 10},
    {"Label4", Kind::Label, "FrCapPar", {352, 64, 33, 17}, "Ω", Font::Symbol, Align::Left, 25},
    {"Label3", Kind::Label, "FrCapPar", {32, 96, 161, 17}, "Phase", Font::Standard, Align::Right, 24},
    {"TxtPhase", Kind::TextBox, "FrCapPar", {216, 96, 121, 19}, "", Font::Standard, Align::None, 12},
    {"Label5", Kind::Label, "FrCapPar", {352, 96, 33, 17}, "deg", Font::Standard, Align::Left, 26},
    {"Frame1", Kind::Frame, "", {16, 280, 393, 89}, "Results", Font::Standard, Align::None, 3},
    {"LabTriggLev", Kind::Label, "Frame1", {32, 24, 161, 17}, "Maximum Deviation", Font::Standard, Align::Right, 18},
    {"TxtMaxUncertainty", Kind::TextBox, "Frame1", {216, 24, 121, 19}, "", Font::Standard, Align::None, 14},
    {"LabTriggLevUn", Kind::Label, "Frame1", {352, 24, 25, 17}, "dB", Font::Standard, Align::Left, 16},
    {"LabTriggOffs",
     Kind::Label,
     "Frame1",
     {16, 56, 177, 17},
     "Phase of EUT reflection coefficient",
     Font::Standard,
     Align::Right,
     19},
    {"TxtUncPhase", Kind::TextBox, "Frame1", {216, 56, 121, 19}, "", Font::Standard, Align::None, 15},
    {"LabTriggOffsUn", Kind::Label, "Frame1", {352, 56, 25, 17}, "deg", Font::Standard, Align::Left, 17},
    {"PbCapture", Kind::Button, "", {16, 392, 177, 33}, "Calculate", Font::Standard, Align::None, 1},
    {"PbInfo", Kind::Button, "", {224, 392, 89, 33}, "About", Font::Standard, Align::None, 5},
    {"PbExit", Kind::Button, "", {328, 392, 89, 33}, "Exit", Font::Standard, Align::None, 2},
}};

// The control of that name; throws std::out_of_range for an unknown name.
const Control& Find(std::string_view name);

// Whether the user can put the focus on a control of this kind.
constexpr bool TakesFocus(Kind kind) { return kind == Kind::Option || kind == Kind::TextBox || kind == Kind::Button; }

// The controls that take the focus, in tab order.
std::vector<const Control*> TabOrder();

// The index of an element of the option array ChkLink, or -1 for any
// other control.
int OptionIndex(std::string_view name);

}  // namespace quillet::layout
