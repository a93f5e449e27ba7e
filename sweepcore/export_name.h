// The file an export goes to, from the name typed in a save dialog: the
// name as typed where its ending is one of the formats offered (in any
// case), else with the chosen format's ending added.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace quillet::sweepcore {

struct ExportName {
    std::string file;
    std::size_t format;  // index into the endings offered
};

// endings: one per format offered, without the dot ("csv"); chosen: the
// format picked in the dialog, the first where it is none of them.
ExportName CompletedExportName(const std::string& typed, std::span<const std::string_view> endings, std::size_t chosen);

}  // namespace quillet::sweepcore
