// The text the About button shows.
#pragma once

#include <string_view>

namespace quillet {

// What "About" explains, line by line with CR LF breaks, ending in the
// application's title.
extern const std::string_view kAboutMessage;

}  // namespace quillet
