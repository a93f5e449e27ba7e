// What each column of a delimited file holds: read from its header, or
// stated by the user with --columns.
#pragma once

#include <string_view>
#include <vector>

namespace quillet::sweep {

struct CsvColumns {
    // TODO(csv): the quantities and units of the columns.
};

// The --columns option's text, such as "f:Hz,re:ohm,im:ohm". Throws
// std::invalid_argument with a message that says what is wrong.
CsvColumns ParseColumnSpec(std::string_view spec);

}  // namespace quillet::sweep
