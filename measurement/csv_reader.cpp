#include "measurement/csv_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "engine/elementary.h"
#include "measurement/csv_fields.h"
#include "measurement/csv_header.h"
#include "measurement/text_lines.h"
#include "measurement/touchstone_cells.h"

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

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsMonth(std::string_view word) {
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    const std::string w = Lowercase(word.substr(0, 3));
    return word.size() >= 3 &&
           std::any_of(std::begin(kMonths), std::end(kMonths), [&](const char* m) { return w == m; });
}

// "2024-05-06", "06.05.2024", "5/6/2024", "06-May-2024" or a time
// "10:11:12": it begins like a number but is a title's, never a frequency.
bool LooksLikeDate(std::string_view field) {
    const auto colon = field.find(':');
    if (colon != std::string_view::npos && colon > 0 && colon <= 2 && AllDigits(field.substr(0, colon)) &&
        field.size() >= colon + 3 && AllDigits(field.substr(colon + 1, 2)))
        return true;
    for (const char mark : {'-', '.', '/'}) {
        const auto first = field.find(mark);
        const auto second = first == std::string_view::npos ? first : field.find(mark, first + 1);
        if (second == std::string_view::npos)
            continue;
        const std::string_view a = field.substr(0, first), b = field.substr(first + 1, second - first - 1);
        std::string_view c = field.substr(second + 1);
        c = c.substr(0, c.find_first_of("T "));
        if (AllDigits(a) && AllDigits(c) && (IsMonth(b) || (AllDigits(b) && b.size() <= 2)) &&
            ((a.size() == 4 && c.size() <= 2) || (a.size() <= 2 && (c.size() == 2 || c.size() == 4))))
            return true;
    }
    return false;
}

// A line that begins with a date or a time ("2024-05-06 10:11:12",
// "6 May 2024").
bool LooksLikeDateLine(std::string_view line) {
    const auto words = SplitWhitespace(line);
    if (words.empty())
        return false;
    const std::string_view first = words.front().substr(0, words.front().find_first_of(",;"));
    return LooksLikeDate(first) || (words.size() >= 2 && first.size() <= 2 && AllDigits(first) && IsMonth(words[1]));
}

class CsvReader : public LineReader {
public:
    CsvReader(const std::string& file, PointSink& sink, const std::optional<CsvColumns>& columns)
        : file_(file), sink_(sink), stated_(columns), order_(file_, sink) {}

    void Line(std::string_view line, int number) override {
        line = Trim(line);
        if (OnlySeparators(line))
            return;
        if (Block(line, number))
            return;
        if (line.front() == '#' || line.front() == '!') {
            Remark(line, number);
            return;
        }
        if (!started_) {
            if (!LooksLikeData(line)) {
                Title(line, number);
                return;
            }
            Start(line);
        }
        DataLine(line, number);
    }

    void Finish() override {
        if (block_ == BlockState::Inside)
            Fail(blockLine_, "the data block begun here has no END line; the file may be cut short");
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

    // Some instruments write the data between a BEGIN and an END line; the
    // lines around the block are remarks. True when the line was one of
    // the block's bounds or stood outside it.
    bool Block(std::string_view line, int number) {
        const auto words = SplitWhitespace(line);
        // "BEGIN CH1_DATA" opens a block; "Begin of measurement" is a title.
        const bool begin = !words.empty() && words.size() <= 2 && words.front() == "BEGIN";
        if (block_ == BlockState::Inside && words.size() == 1 && words.front() == "END") {
            block_ = BlockState::Ended;
            return true;
        }
        if (block_ == BlockState::Ended) {
            if (begin)
                Fail(number, "a second data block (the first begins on line " + std::to_string(blockLine_) +
                                 "); an-sweep reads a file with one");
            Said(line, number);
            return true;
        }
        if (block_ == BlockState::None && !started_ && begin) {
            // What stood above is remarks; one that names the columns is
            // still the header of a block without one.
            if (header_ && MayNameColumns(header_->text))
                commentHeaders_.push_back(*header_);
            else if (header_)
                Said(header_->text, header_->number);
            header_.reset();
            block_ = BlockState::Inside;
            blockLine_ = number;
            return true;
        }
        return false;
    }

    // A remark ('#' or '!'): before the data it may be the header written
    // as a comment; anywhere it may state a reference or name a parameter.
    void Remark(std::string_view line, int number) {
        if (NamesTouchstoneOptions(line))
            Fail(number,
                 "a Touchstone option line below other lines; put it first, so that the file is read as "
                 "Touchstone");
        const std::string_view text = Trim(line.substr(1));
        if (!started_ && commentHeaders_.size() < kMostCommentHeaders && MayNameColumns(text))
            commentHeaders_.push_back(Held{std::string(text), number});
        Said(text, number);
    }

    // A line of text above the data: the last one is the header, any above
    // it are titles. A date is always a title.
    void Title(std::string_view line, int number) {
        if (LooksLikeDateLine(line))
            return;
        if (IsReferenceRow(line)) {  // metadata such as "Z0,75"
            Said(line, number);
            return;
        }
        if (header_)
            Said(header_->text, header_->number);
        header_ = Held{std::string(line), number};
    }

    // What a remark or title says of the columns: a reference impedance,
    // the name of a parameter. Unless --columns states the columns, a
    // parameter other than S11 (or Z) is refused, and what is said must
    // agree with how the data is read.
    void Said(std::string_view text, int number) {
        NoteReference(text, number);
        for (const std::string& parameter : stated_ ? std::vector<std::string>() : ParametersNamed(text)) {
            if (parameter != "S11")
                Fail(number, "names " + parameter +
                                 ", which an-sweep does not read: it reads the AN's reflection S11 or its impedance "
                                 "Z; if the columns hold one of these, state them with --columns, e.g. --columns "
                                 "f:Hz,s-mag:dB,s-phase:deg");
            if (!namedS11_)
                namedS11_ = number;
        }
        if (started_)
            CheckWhatIsSaid();
    }

    // A reference stated outside the header; each must agree with the one
    // S11 is read against.
    void NoteReference(std::string_view text, int number) {
        try {
            const auto value = StatedReference(text);
            // Two different ones are enough to refuse S11 columns, whatever
            // their own reference.
            if (value && references_.size() < 2 &&
                std::none_of(references_.begin(), references_.end(),
                             [&](const Reference& r) { return r.ohm == *value; }))
                references_.push_back(Reference{*value, number});
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
            return frequencyColumn < fields.size() && StartsLikeNumber(fields[frequencyColumn]) &&
                   !LooksLikeDate(fields[frequencyColumn]) && !(frequencyColumn == 0 && LooksLikeDateLine(line));
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
            columns_ = *stated_;  // a header, if any, is passed over, but for its reference
            if (header_)
                NoteReference(header_->text, header_->number);
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
        CheckWhatIsSaid();
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
        const std::size_t fields = FieldCount(firstData);
        const Held* found = nullptr;
        for (const Held& remark : commentHeaders_) {
            std::vector<std::string> cells;
            bool names = false;
            try {
                cells = HeaderCells(remark.text, fields);
                // Names that do not split into the data's columns still
                // name columns: "! Frequency (Hz) |Z| (ohm) Phase (deg)"
                // above blank-separated data.
                names = NameColumns(cells) || NameColumns(SplitFields(remark.text, Separator::Blanks));
            } catch (const std::invalid_argument&) {
                continue;  // an unbalanced quote: prose
            }
            if (!names)
                continue;
            if (cells.size() != fields)
                Fail(remark.number,
                     "this comment names columns, but not one for each of the " + std::to_string(fields) +
                         " fields of the data; write the header on a line of its own" + std::string(kOrColumns));
            if (found)
                Fail(remark.number, "two comments look like the header (lines " + std::to_string(found->number) +
                                        " and " + std::to_string(remark.number) +
                                        "); write the header on a line of its own" + std::string(kOrColumns));
            found = &remark;
        }
        return found;
    }

    // The plain reading (MHz, ohm, degrees) is for a file that says nothing
    // of its columns: a reference or S11 named anywhere says they may hold
    // S11. With S11 columns, every reference stated must be the one they
    // are read against.
    void CheckWhatIsSaid() const {
        if (assumedUnits_ && !references_.empty())
            Fail(references_.front().number,
                 "states a reference impedance (Z0=" + ShortestText(references_.front().ohm) +
                     "), so the columns may hold S11, but no header says what they hold" + std::string(kHowToState));
        if (assumedUnits_ && namedS11_)
            Fail(*namedS11_,
                 "names S11, but no header says how the columns hold it (dB, linear or real and imaginary "
                 "parts)" +
                     std::string(kHowToState));
        const bool s11 = std::any_of(columns_.columns.begin(), columns_.columns.end(),
                                     [](const CsvColumn& c) { return c.quantity >= Q::SDecibels; });
        for (const Reference& reference : references_) {
            if (!s11 || reference.ohm == columns_.referenceOhm)
                continue;
            Fail(reference.number, "Z0=" + ShortestText(reference.ohm) +
                                       " stands outside the header, and S11 would be read "
                                       "against " +
                                       ShortestText(columns_.referenceOhm) +
                                       " ohm: write the reference into the header, such as '|S11| (dB, Z0=" +
                                       ShortestText(reference.ohm) +
                                       ")', or into --columns, such as z0=" + ShortestText(reference.ohm));
        }
    }

    void CheckDecimalMark(const std::string& field, std::size_t index, int number) {
        if (separator_ != Separator::Semicolon && separator_ != Separator::Tab)
            return;
        if (const auto problem = decimalMarks_.Check(field, number))
            Fail(number, "field " + std::to_string(index + 1) + " " + *problem);
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
        if (separator_ != Separator::Blanks ||
            (cells.size() == dataFields && header.find_first_of(",;") == std::string::npos))
            return cells;
        // A header written with commas above data with blanks between the
        // columns: "# Frequency, Re(Z), Im(Z)".
        if (const Separator own = SeparatorOf(header); own != Separator::Blanks) {
            if (auto ownCells = SplitFields(header, own); ownCells.size() == dataFields)
                return ownCells;
        }
        // Names such as "Frequency (Hz)" in a file with blanks between
        // the columns.
        if (cells.size() != dataFields && header.find('"') == std::string::npos)
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
        case Q::SMagnitude: value = Polar(first, InRadians(second, angleUnit_)); break;
        case Q::SDecibels: value = Polar(elementary::DecibelsToAmplitude(first), InRadians(second, angleUnit_)); break;
        default: value = {first, second}; break;
        }
        std::complex<double> z = value;
        if (kind == Q::SDecibels || kind == Q::SMagnitude || kind == Q::SReal) {
            if (value == 1.0)
                Fail(number, "S11 = 1 is an open circuit: no finite impedance");
            z = ImpedanceOfReflection(value, columns_.referenceOhm);
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

    enum class BlockState { None, Inside, Ended };
    static constexpr std::size_t kMostCommentHeaders = 1000;

    std::optional<Held> header_;
    std::vector<Held> commentHeaders_;
    std::vector<Reference> references_;
    std::optional<int> namedS11_;  // the line of the first remark or title that names S11
    BlockState block_ = BlockState::None;
    int blockLine_ = 0;
    DecimalMarks decimalMarks_;
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
