#include "measurement/touchstone_reader.h"

#include <cmath>
#include <optional>

#include "engine/elementary.h"
#include "measurement/frequency_unit.h"
#include "measurement/text_lines.h"

namespace quillet::measurement {
namespace {

enum class Parameter { S, Y, Z };

enum class Format { MA, DB, RI };

struct Options {
    FrequencyUnit unit = FrequencyUnit::GHz;  // unless the option line says otherwise
    Parameter parameter = Parameter::S;
    Format format = Format::MA;
    double reference = 50.0;
};

class Reader : public LineReader {
public:
    Reader(const std::string& file, PointSink& sink) : file_(file), sink_(sink), order_(file, sink) {}

    void Line(std::string_view line, int number) override {
        if (ended_)
            return;
        line_ = number;
        const std::string_view content = Trim(line.substr(0, line.find('!')));
        if (content.empty())
            return;
        if (inInformation_) {
            // Free text until the block ends.
            if (Lowercase(content).rfind("[end information]", 0) == 0)
                inInformation_ = false;
            return;
        }
        if (referencePending_ && content.front() != '[' && content.front() != '#') {
            Reference(content);
            return;
        }
        if (referencePending_)
            Fail("expected the reference resistance after [Reference]");
        if (content.front() == '[')
            Keyword(content);
        else if (content.front() == '#')
            OptionLine(content);
        else
            DataLine(content);
    }

    void Finish() override {
        line_ = 0;
        if (referencePending_)
            Fail("expected the reference resistance after [Reference]");
        if (version2_ && !optionLineSeen_)
            Fail("expected an option line ('# <unit> <parameter> <format> R <n>') before the data");
        if (version2_ && !portsSeen_)
            Fail("expected [Number of Ports] 1");
        if (points_ == 0)
            Fail("no data points");
        if (expectedFrequencies_ && *expectedFrequencies_ != points_)
            Fail("[Number of Frequencies] says " + std::to_string(*expectedFrequencies_) + ", the file has " +
                 std::to_string(points_));
    }

private:
    [[noreturn]] void Fail(const std::string& message) const { throw ReadError(file_, line_, message); }

    void Keyword(std::string_view content) {
        const auto close = content.find(']');
        if (close == std::string_view::npos)
            Fail("expected a keyword in brackets, such as [Version]");
        const std::string_view name = content.substr(1, close - 1);
        const std::string keyword = Lowercase(name);
        const std::string_view argument = Trim(content.substr(close + 1));
        if (keyword == "version") {
            Version(argument);
            return;
        }
        if (!version2_)
            Fail("keyword [" + std::string(name) + "] without [Version] 2.0 first");
        if (!optionLineSeen_)
            Fail("expected the option line ('# <unit> <parameter> <format> R <n>') right after [Version]");
        if (keyword == "number of ports")
            NumberOfPorts(argument);
        else if (keyword == "number of frequencies")
            NumberOfFrequencies(argument);
        else if (keyword == "reference")
            ReferenceKeyword(argument);
        else if (keyword == "matrix format")
            MatrixFormat(argument);
        else if (keyword == "network data")
            NetworkData();
        else if (keyword == "begin information")
            inInformation_ = true;
        else if (keyword == "end")
            ended_ = true;
        else if (keyword == "noise data" || keyword == "number of noise frequencies")
            Fail("noise data is not supported (one-port files have none)");
        else
            Fail("keyword [" + std::string(name) + "] is not supported");
    }

    void Version(std::string_view argument) {
        // 2.1 adds nothing a one-port file without noise data uses.
        if (argument != "2.0" && argument != "2.1")
            Fail("expected [Version] 2.0 or 2.1; version '" + std::string(argument) + "' is not supported");
        if (optionLineSeen_ || points_ > 0)
            Fail("[Version] must come first");
        version2_ = true;
    }

    void NumberOfPorts(std::string_view argument) {
        const auto ports = StrictNumber(argument);
        if (!ports)
            Fail("expected the number of ports after [Number of Ports]");
        if (*ports != 1)
            Fail("the file holds " + std::string(argument) + " ports; an-sweep reads one-port data only");
        portsSeen_ = true;
    }

    void NumberOfFrequencies(std::string_view argument) {
        const auto count = StrictNumber(argument);
        if (!count || *count < 1 || *count > 1e9 || *count != std::floor(*count))
            Fail("expected a whole number of frequencies after [Number of Frequencies]");
        expectedFrequencies_ = static_cast<std::size_t>(*count);
    }

    void MatrixFormat(std::string_view argument) {
        const std::string format = Lowercase(argument);
        if (format != "full" && format != "lower" && format != "upper")
            Fail("expected Full, Lower or Upper after [Matrix Format]");
    }

    void NetworkData() {
        if (!portsSeen_)
            Fail("expected [Number of Ports] 1 before [Network Data]");
        networkData_ = true;
    }

    // The value may stand on the keyword's line or on the next one.
    void ReferenceKeyword(std::string_view argument) {
        if (argument.empty())
            referencePending_ = true;
        else
            Reference(argument);
    }

    void Reference(std::string_view values) {
        referencePending_ = false;
        const auto fields = SplitWhitespace(values);
        if (fields.size() != 1 || !StrictNumber(fields[0]) || *StrictNumber(fields[0]) <= 0)
            Fail("expected one positive reference resistance after [Reference]");
        options_.reference = *StrictNumber(fields[0]);
    }

    void OptionLine(std::string_view content) {
        if (optionLineSeen_) {
            if (version2_)
                Fail("a second option line");
            return;  // version 1 files: only the first one counts
        }
        if (points_ > 0)
            Fail("the option line must come before the data");
        optionLineSeen_ = true;
        const auto fields = SplitWhitespace(content.substr(1));
        OptionsSeen seen;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (Lowercase(fields[i]) != "r") {
                Option(fields[i], seen);
                continue;
            }
            const auto value = i + 1 < fields.size() ? StrictNumber(fields[i + 1]) : std::nullopt;
            if (!value || *value <= 0)
                Fail("expected a positive reference resistance after R");
            Once(seen.reference, fields[i + 1], "reference resistance");
            options_.reference = *value;
            ++i;
        }
    }

    // Each kind of option at most once: with two, which one the writer meant
    // is anyone's guess.
    struct OptionsSeen {
        std::optional<std::string_view> unit, parameter, format, reference;
    };

    void Once(std::optional<std::string_view>& seen, std::string_view field, const char* kind) const {
        if (seen && Lowercase(*seen) != Lowercase(field))
            Fail("the option line gives two " + std::string(kind) + "s, '" + std::string(*seen) + "' and '" +
                 std::string(field) + "'; expected one");
        seen = field;
    }

    // One option other than R and its value.
    void Option(std::string_view text, OptionsSeen& seen) {
        const std::string field = Lowercase(text);
        if (const auto unit = FrequencyUnitNamed(field)) {
            Once(seen.unit, text, "frequency unit");
            options_.unit = *unit;
        } else if (field == "s" || field == "y" || field == "z") {
            Once(seen.parameter, text, "parameter");
            options_.parameter = field == "s" ? Parameter::S : field == "y" ? Parameter::Y : Parameter::Z;
        } else if (field == "ma" || field == "db" || field == "ri") {
            Once(seen.format, text, "format");
            options_.format = field == "ma" ? Format::MA : field == "db" ? Format::DB : Format::RI;
        } else if (field == "g" || field == "h") {
            Fail("parameter " + std::string(text) + " is not one-port data; expected S, Y or Z");
        } else {
            Fail("unknown option '" + std::string(text) + "'; expected '# <Hz|kHz|MHz|GHz> <S|Y|Z> <MA|DB|RI> R <n>'");
        }
    }

    void DataLine(std::string_view content) {
        if (version2_ && !networkData_)
            Fail("expected [Network Data] before the data");
        const auto fields = SplitWhitespace(content);
        if (fields.size() == 5 || fields.size() == 9)
            Fail("more than one port on this line; an-sweep reads one-port data only");
        if (fields.size() != 3)
            Fail("expected a frequency and two values of the one-port parameter");
        double numbers[3];
        for (int k = 0; k < 3; ++k) {
            const auto number = StrictNumber(fields[static_cast<std::size_t>(k)]);
            if (!number)
                Fail("'" + std::string(fields[static_cast<std::size_t>(k)]) + "' is not a finite number");
            numbers[k] = *number;
        }
        const double frequencyMHz = InMegahertz(numbers[0], options_.unit);
        if (numbers[0] < 0)
            Fail("negative frequency");
        if (!std::isfinite(frequencyMHz))
            Fail("frequency too large for its unit");
        order_.Check(frequencyMHz, line_);
        sink_.Point({frequencyMHz, Impedance(numbers[1], numbers[2])});
        ++points_;
    }

    std::complex<double> Impedance(double a, double b) const {
        std::complex<double> value;
        switch (options_.format) {
        case Format::RI: value = {a, b}; break;
        case Format::MA:
            if (a < 0)
                Fail("negative magnitude");
            value = Polar(a, WrappedRadians(b));
            break;
        case Format::DB: value = Polar(elementary::DecibelsToAmplitude(a), WrappedRadians(b)); break;
        }
        const double r = options_.reference;
        std::complex<double> z;
        switch (options_.parameter) {
        case Parameter::S:
            if (value == 1.0)
                Fail("S11 = 1 is an open circuit: no finite impedance");
            z = ImpedanceOfReflection(value, r);
            break;
        case Parameter::Z:
            // Version 1 files hold Z normalised to R; version 2 files in ohm.
            z = version2_ ? value : value * r;
            break;
        case Parameter::Y:
            if (value == 0.0)
                Fail("Y11 = 0 is an open circuit: no finite impedance");
            z = Quotient(version2_ ? 1.0 : r, value);
            break;
        }
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag()))
            Fail("the value gives no finite impedance");
        return z;
    }

    const std::string& file_;
    PointSink& sink_;
    FrequencyOrder order_;
    int line_ = 0;
    Options options_;
    bool version2_ = false;
    bool optionLineSeen_ = false;
    bool portsSeen_ = false;
    bool networkData_ = false;
    bool inInformation_ = false;
    bool ended_ = false;
    bool referencePending_ = false;
    std::optional<std::size_t> expectedFrequencies_;
    std::size_t points_ = 0;
};

}  // namespace

bool IsOptionLine(std::string_view line) {
    if (line.empty() || line.front() != '#')
        return false;
    for (const std::string_view word : SplitWhitespace(line.substr(1))) {
        const std::string w = Lowercase(word);
        if (!(FrequencyUnitNamed(w) || w == "s" || w == "y" || w == "z" || w == "g" || w == "h" || w == "ma" ||
              w == "db" || w == "ri" || w == "r" || StrictNumber(w)))
            return false;
    }
    return true;
}

std::unique_ptr<LineReader> MakeTouchstoneReader(const std::string& file, PointSink& sink) {
    return std::make_unique<Reader>(file, sink);
}

}  // namespace quillet::measurement
