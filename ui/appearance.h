// The fonts and the widget style the Qt window is drawn in.
#pragma once

class QFont;

namespace quillet::ui {

// The classic look the fixed pixel layout is drawn for: Qt's "Windows" style
// (frame captions on the frame line, 19 px text boxes that fit their text)
// and faces asked for by their classic names, with substitutes Debian ships.
// Call once after the QApplication exists, before any window is made.
void SetUpAppearance();
QFont StandardFont();       // the window's default: 8.25 pt
QFont HeadingFont();        // the heading: 13.5 pt bold
QFont SymbolCaptionFont();  // the AN options and the ohm unit: 9.75 pt, with the ohm and micro signs

}  // namespace quillet::ui
