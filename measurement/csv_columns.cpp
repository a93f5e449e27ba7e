#include "measurement/csv_columns.h"

#include <algorithm>
#include <stdexcept>

#include "measurement/text_lines.h"

namespace quillet::measurement {
namespace {

using Q = ColumnQuantity;

const char* QuantityName(ColumnQuantity q) {
    switch (q) {
    case Q::Ignored: return "nothing";
    case Q::Frequency: return "the frequency";
    case Q::ZMagnitude: return "the Z magnitude";
    case Q::ZPhase: return "the Z phase";
    case Q::ZReal: return "Re(Z)";
    case Q::ZImaginary: return "Im(Z)";
    case Q::SDecibels:
    case Q::SMagnitude: return "|S11|";
    case Q::SPhase: return "the S11 phase";
    case Q::SReal: return "Re(S11)";
    case Q::SImaginary: return "Im(S11)";
    }
    return "";
}

// The one column that completes a pair with q.
ColumnQuantity Partner(ColumnQuantity q) {
    switch (q) {
    case Q::ZMagnitude: return Q::ZPhase;
    case Q::ZPhase: return Q::ZMagnitude;
    case Q::ZReal: return Q::ZImaginary;
    case Q::ZImaginary: return Q::ZReal;
    case Q::SDecibels:
    case Q::SMagnitude: return Q::SPhase;
    case Q::SPhase: return Q::SMagnitude;
    case Q::SReal: return Q::SImaginary;
    case Q::SImaginary: return Q::SReal;
    default: return Q::Ignored;
    }
}

bool IsS(ColumnQuantity q) { return q >= Q::SDecibels; }

std::string Position(std::size_t index) { return "column " + std::to_string(index + 1); }

std::optional<AngleUnit> AngleUnitNamed(std::string_view unit) {
    const std::string u = Lowercase(unit);
    if (u == "deg")
        return AngleUnit::Degrees;
    if (u == "rad")
        return AngleUnit::Radians;
    return std::nullopt;
}

// mag, re or im, in ohm whether or not the unit is written.
CsvColumn ZPartItem(const std::string& name, const std::optional<std::string>& unit) {
    if (unit && *unit != "ohm")
        throw std::invalid_argument("Z is read in ohm only: write " + name + " or " + name + ":ohm");
    const Q quantity = name == "mag" ? Q::ZMagnitude : name == "re" ? Q::ZReal : Q::ZImaginary;
    return {quantity, FrequencyUnit::MHz, AngleUnit::Degrees};
}

CsvColumn SMagnitudeItem(const std::string& unit) {
    if (unit == "db")
        return {Q::SDecibels, FrequencyUnit::MHz, AngleUnit::Degrees};
    if (unit == "lin")
        return {Q::SMagnitude, FrequencyUnit::MHz, AngleUnit::Degrees};
    throw std::invalid_argument("|S11| needs its unit: s-mag:dB or s-mag:lin");
}

CsvColumn ListItem(std::string_view item) {
    const std::string text = Lowercase(item);
    const auto colon = text.find(':');
    const std::string name = text.substr(0, colon);
    const std::string unit = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if ((name == "-" || name == "skip") && colon == std::string::npos)
        return {};
    if (name == "f") {
        if (const auto u = FrequencyUnitNamed(unit))
            return {Q::Frequency, *u, AngleUnit::Degrees};
        throw std::invalid_argument("the frequency needs its unit: f:Hz, f:kHz, f:MHz or f:GHz");
    }
    if (name == "mag" || name == "re" || name == "im")
        return ZPartItem(name, colon == std::string::npos ? std::nullopt : std::optional<std::string>(unit));
    if (name == "phase" || name == "s-phase") {
        if (const auto u = AngleUnitNamed(unit))
            return {name == "phase" ? Q::ZPhase : Q::SPhase, FrequencyUnit::MHz, *u};
        throw std::invalid_argument("a phase needs its unit: " + name + ":deg or " + name + ":rad");
    }
    if (name == "s-mag")
        return SMagnitudeItem(unit);
    if ((name == "s-re" || name == "s-im") && colon == std::string::npos)
        return {name == "s-re" ? Q::SReal : Q::SImaginary, FrequencyUnit::MHz, AngleUnit::Degrees};
    throw std::invalid_argument(
        "expected f:<unit>, mag, phase:<unit>, re, im, s-mag:<unit>, s-phase:<unit>, s-re, s-im, - or z0=<ohm>");
}

}  // namespace

CsvColumns ParseColumnList(std::string_view list) {
    CsvColumns result;
    bool referenceGiven = false;
    std::size_t start = 0;
    while (true) {
        const auto end = list.find(',', start);
        const std::string_view item = Trim(list.substr(start, end == std::string_view::npos ? end : end - start));
        const std::string lower = Lowercase(item);
        try {
            if (lower.rfind("z0", 0) == 0) {
                const std::string_view value = Trim(std::string_view(lower).substr(2));
                const auto reference =
                    value.empty() || value.front() != '=' ? std::nullopt : StrictNumber(value.substr(1));
                if (!reference || !(*reference > 0))
                    throw std::invalid_argument("expected z0=<ohm>, a positive number such as z0=75");
                if (referenceGiven)
                    throw std::invalid_argument("z0 is given twice");
                result.referenceOhm = *reference;
                referenceGiven = true;
            } else {
                result.columns.push_back(ListItem(item));
            }
        } catch (const std::invalid_argument& error) {
            throw std::invalid_argument("item '" + std::string(item) + "': " + error.what());
        }
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    if (const auto problem = ColumnsProblem(result))
        throw std::invalid_argument(*problem);
    if (referenceGiven &&
        std::none_of(result.columns.begin(), result.columns.end(), [](const CsvColumn& c) { return IsS(c.quantity); }))
        throw std::invalid_argument("z0 applies to S11 columns only");
    return result;
}

std::optional<std::string> ColumnsProblem(const CsvColumns& columns) {
    // Where each quantity was first seen; |S11| in dB and linear count as one.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t seen[static_cast<int>(Q::SImaginary) + 1];
    std::fill(std::begin(seen), std::end(seen), kNone);
    auto slot = [](ColumnQuantity q) { return static_cast<int>(q == Q::SDecibels ? Q::SMagnitude : q); };
    for (std::size_t i = 0; i < columns.columns.size(); ++i) {
        const ColumnQuantity q = columns.columns[i].quantity;
        if (q == Q::Ignored)
            continue;
        if (seen[slot(q)] != kNone)
            return "columns " + std::to_string(seen[slot(q)] + 1) + " and " + std::to_string(i + 1) + " both hold " +
                   QuantityName(q);
        seen[slot(q)] = i;
    }
    if (seen[slot(Q::Frequency)] == kNone)
        return std::string("no frequency column");
    std::vector<std::size_t> values;
    for (std::size_t i = 0; i < columns.columns.size(); ++i) {
        if (columns.columns[i].quantity != Q::Ignored && columns.columns[i].quantity != Q::Frequency)
            values.push_back(i);
    }
    if (values.empty())
        return std::string("no values: expected magnitude and phase, or real and imaginary parts, of Z or S11");
    for (const std::size_t i : values) {
        if (seen[slot(Partner(columns.columns[i].quantity))] == kNone)
            return Position(i) + " holds " + QuantityName(columns.columns[i].quantity) + ", but no column holds " +
                   QuantityName(Partner(columns.columns[i].quantity));
    }
    if (values.size() > 2)
        return Position(values[2]) + " holds " + QuantityName(columns.columns[values[2]].quantity) +
               " as well: keep one pair of values (ignore a column with '-' in --columns)";
    return std::nullopt;
}

std::string DescribeColumn(const CsvColumn& column) {
    const std::string angle = column.angleUnit == AngleUnit::Degrees ? "(deg)" : "(rad)";
    switch (column.quantity) {
    case Q::Ignored: return "anything (ignored)";
    case Q::Frequency: {
        static const char* const kUnits[] = {"(Hz)", "(kHz)", "(MHz)", "(GHz)"};
        return std::string("frequency ") + kUnits[static_cast<int>(column.frequencyUnit)];
    }
    case Q::ZMagnitude: return "magnitude (ohm)";
    case Q::ZPhase: return "phase " + angle;
    case Q::ZReal: return "Re(Z) (ohm)";
    case Q::ZImaginary: return "Im(Z) (ohm)";
    case Q::SDecibels: return "|S11| (dB)";
    case Q::SMagnitude: return "|S11|";
    case Q::SPhase: return "S11 phase " + angle;
    case Q::SReal: return "Re(S11)";
    case Q::SImaginary: return "Im(S11)";
    }
    return "";
}

}  // namespace quillet::measurement
