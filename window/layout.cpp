#include "window/layout.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace quillet::layout {

const Control& Find(std::string_view name) {
    for (const Control& control : kControls) {
        if (control.name == name)
            return control;
    }
    throw std::out_of_range("no control named " + std::string(name));
}

std::vector<const Control*> TabOrder() {
    std::vector<const Control*> order;
    for (const Control& control : kControls) {
        if (TakesFocus(control.kind))
            order.push_back(&control);
    }
    std::sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

int OptionIndex(std::string_view name) {
    constexpr std::string_view prefix = "ChkLink(";
    if (name.size() != prefix.size() + 2 || name.substr(0, prefix.size()) != prefix || name.back() != ')')
        return -1;
    const char digit = name[prefix.size()];
    return digit >= '0' && digit <= '3' ? digit - '0' : -1;
}

}  // namespace quillet::layout
