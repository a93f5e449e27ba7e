#include "measurement/csv_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "measurement/csv_fields.h"
#include "measurement/csv_header.h"
#include "measurement/text_lines.h"

namespace quillet::measurement {
namespace {

// Beyond these a file without a header is probably not in MHz: ANs are
// measured from 9 kHz up.
constexpr double kLowestPlausibleMHz = 0.009;
constexpr double kHighestPlausibleMHz = 1000;

using Q = ColumnQuantity;

// Without a header or --columns a file holds frequency (MHz), magnitude
// (ohm) and phase (degrees), as it always has.
CsvColumns DefaultColumns() {
    return {{{Q::Frequency, FrequencyUnit::MHz, AngleUnit::Degrees},
             {Q::ZMagnitude, FrequencyUnit::MHz, AngleUnit::Degrees},
             {Q::ZPhase, FrequencyUnit::MHz, AngleUnit::Degrees}},
            50};
}

std::string CountWord(std::size_t n) {
    static const char* const kWords[] = {"no", "one", "two", "three", "four", "five", "six"};
    return n < std::size(kWords) ? kWords[n] : std::to_string(n);
}

// "expected three numbers: frequency (MHz), magnitude (ohm), phase (deg)"
std::string Expectation(const CsvColumns& columns) {
    const bool anyIgnored = std::any_of(columns.columns.begin(), columns.columns.end(),
                                        [](const CsvColumn& c) { return c.quantity == Q::Ignored; });
    std::string text = "expected " + CountWord(columns.columns.size()) + (anyIgnored ? " fields: " : " numbers: ");
    for (std::size_t i = 0; i < columns.columns.size(); ++i)
        text += (i > 0 ? ", " : "") + DescribeColumn(columns.columns[i]);
    return text;
}

double InRadians(double angle, AngleUnit unit) {
    // Whole turns are taken off first, so any finite angle stays finite.
    return unit == AngleUnit::Degrees ? WrappedRadians(angle) : std::fmod(angle, 2 * std::numbers::pi);
}

bool OnlySeparators(std::string_view line) { return line.find_first_not_of(" \t,;") == std::string_view::npos; }

class CsvReader : public LineReader {
public:
    CsvReader(const std::string& file, PointSink& sink, const std::optional<CsvColumns>& columns)
        : file_(file), sink_(sink), stated_(columns), order_(file_, sink) {}

    void Line(std::string_view line, int number) override {
        line = Trim(line);
        if (OnlySeparators(line))
            return;
        if (line.front() == '#' || line.front() == '!') {
            if (!started_)
                Remark(Trim(line.substr(1)), number);
            return;
        }
        if (!started_) {
            if (!LooksLikeData(line)) {
                // The last line of text above the data is the header; any
                // above it are titles.
                if (header_)
                    NoteReference(header_->text, header_->number);
                header_ = Held{std::string(line), number};
                return;
            }
            Start(line);
        }
        DataLine(line, number);
    }

    void Finish() override {
        if (count_ == 0)
            throw ReadError(file_, 0, "no data points");
        if (!assumedUnits_)
            return;
        const std::string how =
            "; a file without a header is read in MHz: if it means another unit, say so with a header such as "
            "'Frequency (Hz)' or with --columns, e.g. --columns f:Hz,mag:ohm,phase:deg";
        if (highestMHz_ > kHighestPlausibleMHz)
            sink_.Note(file_ + ": frequencies up to " + ShortestText(highestMHz_) +
                       " MHz, far above what an AN is measured at" + how);
        else if (lowestPositiveMHz_ < kLowestPlausibleMHz)
            sink_.Note(file_ + ": frequencies down to " + ShortestText(lowestPositiveMHz_) +
                       " MHz, far below what an AN is measured at" + how);
    }

private:
    struct Held {
        std::string text;
        int number;
    };

    [[noreturn]] void Fail(int line, const std::string& message) const { throw ReadError(file_, line, message); }

    // Before the data: a remark may be the header written as a comment, or
    // state a reference for S11.
    void Remark(std::string_view text, int number) {
        if (LooksLikeCommentHeader(text))
            commentHeaders_.push_back(Held{std::string(text), number});
        NoteReference(text, number);
    }

    // A Z0 stated outside the header; it must agree with the one S11 is
    // read against.
    void NoteReference(std::string_view text, int number) {
        try {
            if (const auto value = StatedReference(text); value && !outsideReference_)
                outsideReference_ = Reference{*value, number};
        } catch (const std::invalid_argument&) {
            // "Z0" in passing, without a value: a remark like any other.
        }
    }

    // Data lines begin, in their frequency column, like a number; text
    // lines do not.
    bool LooksLikeData(std::string_view line) const {
        std::size_t frequencyColumn = 0;
        if (stated_) {
            const auto& c = stated_->columns;
            frequencyColumn = static_cast<std::size_t>(
                std::find_if(c.begin(), c.end(), [](const CsvColumn& k) { return k.quantity == Q::Frequency; }) -
                c.begin());
        }
        try {
            const auto fields = SplitFields(line, SeparatorOf(line));
            return frequencyColumn < fields.size() && StartsLikeNumber(fields[frequencyColumn]);
        } catch (const std::invalid_argument&) {
            // An unbalanced quote: data still, when it begins with a number,
            // so that the data line reports it.
            return frequencyColumn == 0 && StartsLikeNumber(line.front() == '"' ? line.substr(1) : line);
        }
    }

    void Start(std::string_view line) {
        started_ = true;
        separator_ = SeparatorOf(line);
        if (stated_) {
            columns_ = *stated_;  // a header, if any, is passed over
        } else if (const Held* header = HeaderAbove(line)) {
            try {
                columns_ = ColumnsFromHeader(HeaderCells(header->text, FieldCount(line)));
            } catch (const std::invalid_argument& error) {
                Fail(header->number, error.what());
            }
        } else {
            columns_ = DefaultColumns();
            assumedUnits_ = true;
        }
        CheckOutsideReference();
        expectation_ = Expectation(columns_);
        for (const CsvColumn& c : columns_.columns) {
            if (c.quantity == Q::Frequency)
                frequencyUnit_ = c.frequencyUnit;
            if (c.quantity == Q::ZPhase || c.quantity == Q::SPhase)
                angleUnit_ = c.angleUnit;
            if (c.quantity == Q::ZMagnitude || c.quantity == Q::ZReal || c.quantity == Q::SDecibels ||
                c.quantity == Q::SMagnitude || c.quantity == Q::SReal)
                form_ = c.quantity;
        }
    }

    // The header line or, failing that, the one comment that looks like a
    // header; none when the file has neither. A comment that looks like a
    // header but cannot be one stops the run rather than let the data be
    // read in units the file may not mean.
    const Held* HeaderAbove(std::string_view firstData) const {
        if (header_)
            return &*header_;
        if (commentHeaders_.empty())
            return nullptr;
        if (commentHeaders_.size() > 1)
            Fail(commentHeaders_[1].number, "two comments look like the header (lines " +
                                                std::to_string(commentHeaders_[0].number) + " and " +
                                                std::to_string(commentHeaders_[1].number) +
                                                "); write the header on a line of its own" + std::string(kOrColumns));
        const std::size_t fields = FieldCount(firstData);
        if (!IsHeaderFor(commentHeaders_[0].text, fields))
            Fail(commentHeaders_[0].number,
                 "this comment looks like the header, but does not name one column for "
                 "each of the " +
                     std::to_string(fields) + " fields of the data; write the header on a line of its own" +
                     std::string(kOrColumns));
        return &commentHeaders_[0];
    }

    void CheckOutsideReference() const {
        const bool s11 = std::any_of(columns_.columns.begin(), columns_.columns.end(),
                                     [](const CsvColumn& c) { return c.quantity >= Q::SDecibels; });
        if (!s11 || !outsideReference_ || outsideReference_->ohm == columns_.referenceOhm)
            return;
        Fail(outsideReference_->number,
             "Z0=" + ShortestText(outsideReference_->ohm) +
                 " stands outside the header, and S11 would be read "
                 "against " +
                 ShortestText(columns_.referenceOhm) +
                 " ohm: write the reference into the header, such as '|S11| (dB, Z0=" +
                 ShortestText(outsideReference_->ohm) +
                 ")', or into --columns, such as z0=" + ShortestText(outsideReference_->ohm));
    }

    // Spreadsheets group digits with the mark other locales use for
    // decimals: a file that writes both marks cannot be read for sure.
    void CheckDecimalMark(const std::string& field, std::size_t index, int number) {
        if (separator_ != Separator::Semicolon && separator_ != Separator::Tab)
            return;
        const bool comma = field.find(',') != std::string::npos;
        if (!comma && field.find('.') == std::string::npos)
            return;
        const char mark = comma ? ',' : '.';
        if (!decimalMark_) {
            decimalMark_ = DecimalMark{mark, number};
            return;
        }
        if (decimalMark_->mark == mark)
            return;
        const auto name = [](char c) { return c == ',' ? std::string("comma") : std::string("point"); };
        Fail(number, "field " + std::to_string(index + 1) + " '" + field + "' has a decimal " + name(mark) +
                         ", but line " + std::to_string(decimalMark_->line) + " has a decimal " +
                         name(decimalMark_->mark) +
                         ": one of them may group thousands; write the numbers without digit grouping");
    }

    // A remark names the columns only when it has a name for each field of
    // the data; "# swept 150 kHz to 30 MHz" is just a remark.
    bool IsHeaderFor(const std::string& remark, std::size_t dataFields) const {
        try {
            return HeaderCells(remark, dataFields).size() == dataFields;
        } catch (const std::invalid_argument&) {
            return false;
        }
    }

    // 0 for a line that does not split; its own reading then says why.
    std::size_t FieldCount(std::string_view line) const {
        try {
            return SplitFields(line, separator_).size();
        } catch (const std::invalid_argument&) {
            return 0;
        }
    }

    std::vector<std::string> HeaderCells(const std::string& header, std::size_t dataFields) const {
        std::vector<std::string> cells = SplitFields(header, separator_);
        // Names such as "Frequency (Hz)" in a file with blanks between
        // the columns.
        if (separator_ == Separator::Blanks && cells.size() != dataFields && header.find('"') == std::string::npos)
            cells = SplitAtWideGaps(header);
        return cells;
    }

    void DataLine(std::string_view line, int number) {
        std::vector<std::string> fields;
        try {
            fields = SplitFields(line, separator_);
        } catch (const std::invalid_argument& error) {
            Fail(number, expectation_ + "; " + error.what());
        }
        const auto& columns = columns_.columns;
        if (fields.size() != columns.size()) {
            std::string message = expectation_ + ", found " + std::to_string(fields.size()) + " field(s)";
            if (separator_ == Separator::Comma && fields.size() > columns.size() &&
                line.find('.') == std::string_view::npos)
                message += "; write decimals with a point, not a comma, or separate the columns with semicolons";
            Fail(number, message);
        }
        double frequency = 0, first = 0, second = 0;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].quantity == Q::Ignored)
                continue;
            CheckDecimalMark(fields[i], i, number);
            const auto value = FieldNumber(fields[i], separator_);
            if (!value) {
                std::string message =
                    expectation_ + "; field " + std::to_string(i + 1) + " '" + fields[i] + "' is not a finite number";
                if (fields[i].find(',') != std::string::npos)
                    message += "; write decimals with a point, not a comma";
                Fail(number, message);
            }
            switch (columns[i].quantity) {
            case Q::Frequency: frequency = *value; break;
            case Q::ZMagnitude:
            case Q::ZReal:
            case Q::SDecibels:
            case Q::SMagnitude:
            case Q::SReal: first = *value; break;
            default: second = *value; break;
            }
        }
        if (frequency < 0)
            Fail(number, "negative frequency");
        const double frequencyMHz = InMegahertz(frequency, frequencyUnit_);
        if (!std::isfinite(frequencyMHz))
            Fail(number, "frequency too large for its unit");
        const std::complex<double> impedance = Impedance(first, second, number);
        order_.Check(frequencyMHz, number);
        sink_.Point({frequencyMHz, impedance});
        ++count_;
        if (frequencyMHz > 0)
            lowestPositiveMHz_ = std::min(lowestPositiveMHz_, frequencyMHz);
        highestMHz_ = std::max(highestMHz_, frequencyMHz);
    }

    // first: magnitude or real part; second: phase or imaginary part.
    std::complex<double> Impedance(double first, double second, int number) const {
        const ColumnQuantity kind = form_;
        if ((kind == Q::ZMagnitude || kind == Q::SMagnitude) && first < 0)
            Fail(number, "negative magnitude");
        std::complex<double> value;
        switch (kind) {
        case Q::ZMagnitude:
        case Q::SMagnitude: value = std::polar(first, InRadians(second, angleUnit_)); break;
        case Q::SDecibels: value = std::polar(std::pow(10.0, first / 20.0), InRadians(second, angleUnit_)); break;
        default: value = {first, second}; break;
        }
        std::complex<double> z = value;
        if (kind == Q::SDecibels || kind == Q::SMagnitude || kind == Q::SReal) {
            if (value == 1.0)
                Fail(number, "S11 = 1 is an open circuit: no finite impedance");
            z = columns_.referenceOhm * (1.0 + value) / (1.0 - value);
        }
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag()))
            Fail(number, "the value gives no finite impedance");
        return z;
    }

    const std::string file_;
    PointSink& sink_;
    const std::optional<CsvColumns> stated_;
    FrequencyOrder order_;
    struct Reference {
        double ohm;
        int number;
    };
    struct DecimalMark {
        char mark;
        int line;
    };

    std::optional<Held> header_;
    std::vector<Held> commentHeaders_;
    std::optional<Reference> outsideReference_;
    std::optional<DecimalMark> decimalMark_;
    bool started_ = false;
    bool assumedUnits_ = false;
    Separator separator_ = Separator::Comma;
    CsvColumns columns_;
    std::string expectation_;
    FrequencyUnit frequencyUnit_ = FrequencyUnit::MHz;
    AngleUnit angleUnit_ = AngleUnit::Degrees;
    ColumnQuantity form_ = Q::ZMagnitude;  // the first of the pair: how the values are written
    std::size_t count_ = 0;
    double lowestPositiveMHz_ = std::numeric_limits<double>::infinity();
    double highestMHz_ = -std::numeric_limits<double>::infinity();
};

}  // namespace

std::unique_ptr<LineReader> MakeCsvReader(const std::string& file, PointSink& sink,
                                          const std::optional<CsvColumns>& columns) {
    return std::make_unique<CsvReader>(file, sink, columns);
}

}  // namespace quillet::measurement
