#pragma once

class QFont;

// The window's faces are asked for by their classic names; where a system
// lacks them, Qt substitutes faces Debian ships.
void RegisterFontSubstitutes();
QFont StandardFont();       // the window's default: 8.25 pt
QFont HeadingFont();        // the heading: 13.5 pt bold
QFont SymbolCaptionFont();  // the AN options and the ohm unit: 9.75 pt, with the ohm and micro signs
