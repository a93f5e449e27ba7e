// A window without a toolkit: it keeps the state the handlers write, records
// every call in order, and raises the option click the way the real window
// does, so handler sequences can be checked call by call.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "window/window_interface.h"

namespace quillet::testing {

inline const char* BoxName(TextBox box) {
    switch (box) {
    case TextBox::TxtFrequency: return "TxtFrequency";
    case TextBox::TxtMagnitude: return "TxtMagnitude";
    case TextBox::TxtPhase: return "TxtPhase";
    case TextBox::TxtMaxUncertainty: return "TxtMaxUncertainty";
    case TextBox::TxtUncPhase: return "TxtUncPhase";
    }
    return "?";
}

class RecordingWindow : public WindowInterface {
public:
    // Raised when an option turns from not selected to selected.
    std::function<void(std::int16_t)> optionClicked;

    std::vector<std::string> calls;
    std::map<TextBox, std::string> texts;
    std::array<bool, 4> options{};
    double outerWidth = 6510, outerHeight = 7035;      // 434 x 469 px
    double screenWidth = 15360, screenHeight = 11520;  // 1024 x 768 px
    float left = 0, top = 0;
    MousePointer pointer = MousePointer::Default;
    int unloads = 0;
    struct Message {
        std::string text;
        std::string title;
    };
    std::vector<Message> messages;

    std::string Text(TextBox box) const override {
        const auto it = texts.find(box);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetText(TextBox box, std::string_view text) override {
        calls.push_back(std::string("text ") + BoxName(box) + "=" + std::string(text));
        texts[box] = std::string(text);
    }
    bool Option(int index) const override { return options.at(static_cast<std::size_t>(index)); }
    void SetOption(int index, bool selected) override {
        calls.push_back("option " + std::to_string(index) + "=" + (selected ? "1" : "0"));
        bool& option = options.at(static_cast<std::size_t>(index));
        const bool wasSelected = option;
        option = selected;
        if (selected && !wasSelected && optionClicked)
            optionClicked(static_cast<std::int16_t>(index));
    }
    double OuterWidth() const override { return outerWidth; }
    double OuterHeight() const override { return outerHeight; }
    void SetLeft(float twips) override {
        calls.push_back("left");
        left = twips;
    }
    void SetTop(float twips) override {
        calls.push_back("top");
        top = twips;
    }
    double ScreenWidth() const override { return screenWidth; }
    double ScreenHeight() const override { return screenHeight; }
    void SetMousePointer(MousePointer p) override {
        calls.push_back(p == MousePointer::Busy ? "pointer busy" : "pointer default");
        pointer = p;
    }
    void ShowMessage(std::string_view text, std::string_view title) override {
        calls.push_back("message " + std::string(title));
        messages.push_back({std::string(text), std::string(title)});
    }
    void Unload() override {
        calls.push_back("unload");
        ++unloads;
    }

    // A user's click on an option: the toolkit selects it and clears the
    // others of its own container only. ChkLink(2) lies on the window,
    // the other three in the AN frame.
    void UserClicksOption(int index) {
        calls.push_back("user clicks option " + std::to_string(index));
        const bool wasSelected = options.at(static_cast<std::size_t>(index));
        options.at(static_cast<std::size_t>(index)) = true;
        if (index != 2) {
            for (int other : {0, 1, 3}) {
                if (other != index)
                    options.at(static_cast<std::size_t>(other)) = false;
            }
        }
        if (!wasSelected && optionClicked)
            optionClicked(static_cast<std::int16_t>(index));
    }

    int SelectedCount() const {
        int count = 0;
        for (bool option : options)
            count += option ? 1 : 0;
        return count;
    }

    std::vector<std::string> CallsSince(std::size_t first) const {
        return {calls.begin() + static_cast<std::ptrdiff_t>(first), calls.end()};
    }
};

}  // namespace quillet::testing
