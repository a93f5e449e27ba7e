// What each column of a delimited file holds: read from its header, or
// stated by the user with --columns.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "measurement/frequency_unit.h"

namespace quillet::measurement {

enum class ColumnQuantity {
    Ignored,
    Frequency,
    ZMagnitude,  // ohm
    ZPhase,
    ZReal,       // ohm
    ZImaginary,  // ohm
    SDecibels,   // |S11| in dB
    SMagnitude,  // |S11|, linear
    SPhase,
    SReal,
    SImaginary,
};

enum class AngleUnit { Degrees, Radians };

struct CsvColumn {
    ColumnQuantity quantity = ColumnQuantity::Ignored;
    FrequencyUnit frequencyUnit = FrequencyUnit::MHz;  // for Frequency
    AngleUnit angleUnit = AngleUnit::Degrees;          // for ZPhase and SPhase
};

struct CsvColumns {
    std::vector<CsvColumn> columns;  // one per field of a line, in order
    double referenceOhm = 50;        // what S11 is measured against
};

// The --columns option: one item per column, in file order, separated by
// commas, plus at most one z0 item anywhere. Names and units in any case,
// blanks around items ignored.
//
//   list  = item { "," item }
//   item  = "-" | "skip"                      a column to ignore
//         | "f:" ( "Hz" | "kHz" | "MHz" | "GHz" )
//         | ( "mag" | "re" | "im" ) [ ":ohm" ]  Z in ohm
//         | "phase:" ( "deg" | "rad" )           phase of Z
//         | "s-mag:" ( "dB" | "lin" )            |S11|, in dB or linear
//         | "s-phase:" ( "deg" | "rad" )
//         | "s-re" | "s-im"                      S11 real and imaginary parts
//         | "z0=" number                         S11 reference in ohm (default 50)
//
// e.g. "f:Hz,re:ohm,im:ohm", "-,f:GHz,s-mag:dB,s-phase:deg,z0=75".
// Exactly one frequency and one complete pair (mag+phase, re+im, s-mag+s-phase
// or s-re+s-im) are required. Throws std::invalid_argument saying what is wrong.
CsvColumns ParseColumnList(std::string_view list);

// What is missing or doubled in a set of columns, or nothing when they
// make one frequency and one complete pair.
std::optional<std::string> ColumnsProblem(const CsvColumns& columns);

// How a column's numbers are written, for messages: "frequency (Hz)".
std::string DescribeColumn(const CsvColumn& column);

}  // namespace quillet::measurement
