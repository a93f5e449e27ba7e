// The state behind the calculator's window and the handlers of its controls.
// Handlers reach the window only through WindowInterface, so every one of
// them runs without a toolkit.
#pragma once

#include <cstdint>

#include "module34.h"
#include "window_interface.h"

namespace quillet {

class WindowModel {
public:
    explicit WindowModel(WindowInterface& window) : window_(window) {}

    const Module34& Module() const { return module_; }
    Module34& Module() { return module_; }

    // Window
    void Form_Load();

    // Buttons
    void PbCapture_Click();

    // Results
    void InvalidateResults();

    // AN type options
    void ChkLink_Click(std::int16_t index);

private:
    WindowInterface& window_;
    Module34 module_;
};

}  // namespace quillet
