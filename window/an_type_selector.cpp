#include "window/window_model.h"

namespace quillet {

// The four options lie in two containers (three in the AN frame, one on the
// window), so the toolkit cannot keep them exclusive: this handler does.
void WindowModel::ChkLink_Click(std::int16_t index) {
    if (index >= 0 && index <= 3) {
        window_.SetOption(index, true);
        for (int other = 0; other <= 3; ++other) {
            if (other != index)
                window_.SetOption(other, false);
        }
    }

    // The first selected option among 0, 1, 2 names the type, else type 4.
    // Each test holds exactly when the selection changes a type of 1..4;
    // while the window loads (type still 0) selecting option 0 invalidates
    // nothing, since the results already read "not valid".
    int selected = 3;
    for (int option = 0; option <= 2; ++option) {
        if (window_.Option(option)) {
            selected = option;
            break;
        }
    }
    const auto type = static_cast<std::int16_t>(selected + 1);
    bool changes = false;
    switch (selected) {
    case 0: changes = module_.AnType > 1; break;
    case 3: changes = module_.AnType < 4; break;
    default: changes = module_.AnType != type; break;
    }
    if (changes)
        InvalidateResults();
    module_.AnType = type;
    for (int other = 0; other <= 3; ++other) {
        if (other != selected)
            window_.SetOption(other, false);
    }
}

}  // namespace quillet
