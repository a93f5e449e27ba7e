#include "touchstone_reader.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "text_lines.h"

namespace quillet::sweep {
namespace {

enum class Parameter { S, Y, Z };

// Whole turns are taken off first, so any finite angle gives a finite one.
double Radians(double degrees) { return std::fmod(degrees, 360.0) * std::numbers::pi / 180.0; }
enum class Format { MA, DB, RI };

struct Options {
    double hertzPerUnit = 1e9;  // GHz unless the option line says otherwise
    Parameter parameter = Parameter::S;
    Format format = Format::MA;
    double reference = 50.0;
};

class Reader {
public:
    Reader(std::string_view text, const std::string& file) : text_(text), file_(file) {}

    Measurement Read() {
        const auto lines = SplitLines(text_);
        for (std::size_t i = 0; i < lines.size() && !ended_; ++i) {
            line_ = static_cast<int>(i) + 1;
            std::string_view content = lines[i].substr(0, lines[i].find('!'));
            content = Trim(content);
            if (content.empty())
                continue;
            if (inInformation_) {
                // Free text until the block ends.
                if (Lowercase(content).rfind("[end information]", 0) == 0)
                    inInformation_ = false;
                continue;
            }
            if (content.front() == '[')
                Keyword(content);
            else if (content.front() == '#')
                OptionLine(content);
            else
                DataLine(content);
        }
        line_ = 0;
        if (version2_ && !optionLineSeen_)
            Fail("expected an option line ('# <unit> <parameter> <format> R <n>') before the data");
        if (version2_ && !portsSeen_)
            Fail("expected [Number of Ports] 1");
        if (measurement_.points.empty())
            Fail("no data points");
        if (expectedFrequencies_ && *expectedFrequencies_ != measurement_.points.size())
            Fail("[Number of Frequencies] says " + std::to_string(*expectedFrequencies_) + ", the file has " +
                 std::to_string(measurement_.points.size()));
        return std::move(measurement_);
    }

private:
    [[noreturn]] void Fail(const std::string& message) const { throw ReadError(file_, line_, message); }

    void Keyword(std::string_view content) {
        const auto close = content.find(']');
        if (close == std::string_view::npos)
            Fail("expected a keyword in brackets, such as [Version]");
        const std::string keyword = Lowercase(content.substr(1, close - 1));
        const std::string_view argument = Trim(content.substr(close + 1));
        if (keyword == "version") {
            if (argument != "2.0")
                Fail("expected [Version] 2.0; version '" + std::string(argument) + "' is not supported");
            if (optionLineSeen_ || !measurement_.points.empty())
                Fail("[Version] must come first");
            version2_ = true;
            return;
        }
        if (!version2_)
            Fail("keyword [" + std::string(content.substr(1, close - 1)) + "] without [Version] 2.0 first");
        if (!optionLineSeen_)
            Fail("expected the option line ('# <unit> <parameter> <format> R <n>') right after [Version]");
        if (keyword == "number of ports") {
            const auto ports = StrictNumber(argument);
            if (!ports)
                Fail("expected the number of ports after [Number of Ports]");
            if (*ports != 1)
                Fail("the file holds " + std::string(argument) + " ports; an-sweep reads one-port data only");
            portsSeen_ = true;
        } else if (keyword == "number of frequencies") {
            const auto count = StrictNumber(argument);
            if (!count || *count < 1 || *count > 1e9 || *count != std::floor(*count))
                Fail("expected a whole number of frequencies after [Number of Frequencies]");
            expectedFrequencies_ = static_cast<std::size_t>(*count);
        } else if (keyword == "reference") {
            const auto fields = SplitWhitespace(argument);
            if (fields.size() != 1 || !StrictNumber(fields[0]) || *StrictNumber(fields[0]) <= 0)
                Fail("expected one positive reference resistance after [Reference]");
            options_.reference = *StrictNumber(fields[0]);
        } else if (keyword == "matrix format") {
            const std::string format = Lowercase(argument);
            if (format != "full" && format != "lower" && format != "upper")
                Fail("expected Full, Lower or Upper after [Matrix Format]");
        } else if (keyword == "network data") {
            if (!optionLineSeen_)
                Fail("expected an option line ('# <unit> <parameter> <format> R <n>') before [Network Data]");
            if (!portsSeen_)
                Fail("expected [Number of Ports] 1 before [Network Data]");
            networkData_ = true;
        } else if (keyword == "begin information") {
            inInformation_ = true;
        } else if (keyword == "end") {
            ended_ = true;
        } else if (keyword == "noise data" || keyword == "number of noise frequencies") {
            Fail("noise data is not supported (one-port files have none)");
        } else {
            Fail("keyword [" + std::string(content.substr(1, close - 1)) + "] is not supported");
        }
    }

    void OptionLine(std::string_view content) {
        if (optionLineSeen_) {
            if (version2_)
                Fail("a second option line");
            return;  // version 1 files: only the first one counts
        }
        if (!measurement_.points.empty())
            Fail("the option line must come before the data");
        optionLineSeen_ = true;
        const auto fields = SplitWhitespace(content.substr(1));
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::string field = Lowercase(fields[i]);
            if (field == "hz") options_.hertzPerUnit = 1.0;
            else if (field == "khz") options_.hertzPerUnit = 1e3;
            else if (field == "mhz") options_.hertzPerUnit = 1e6;
            else if (field == "ghz") options_.hertzPerUnit = 1e9;
            else if (field == "s") options_.parameter = Parameter::S;
            else if (field == "y") options_.parameter = Parameter::Y;
            else if (field == "z") options_.parameter = Parameter::Z;
            else if (field == "ma") options_.format = Format::MA;
            else if (field == "db") options_.format = Format::DB;
            else if (field == "ri") options_.format = Format::RI;
            else if (field == "g" || field == "h")
                Fail("parameter " + std::string(fields[i]) + " is not one-port data; expected S, Y or Z");
            else if (field == "r") {
                const auto reference = i + 1 < fields.size() ? StrictNumber(fields[i + 1]) : std::nullopt;
                if (!reference || *reference <= 0)
                    Fail("expected a positive reference resistance after R");
                options_.reference = *reference;
                ++i;
            } else {
                Fail("unknown option '" + std::string(fields[i]) +
                     "'; expected '# <Hz|kHz|MHz|GHz> <S|Y|Z> <MA|DB|RI> R <n>'");
            }
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
        const double frequencyMHz = numbers[0] * options_.hertzPerUnit / 1e6;
        if (numbers[0] < 0)
            Fail("negative frequency");
        if (!std::isfinite(frequencyMHz))
            Fail("frequency too large for its unit");
        if (!measurement_.points.empty() && !(frequencyMHz > measurement_.points.back().frequencyMHz))
            Fail("frequencies must rise from line to line");
        measurement_.points.push_back({frequencyMHz, Impedance(numbers[1], numbers[2])});
    }

    std::complex<double> Impedance(double a, double b) const {
        std::complex<double> value;
        switch (options_.format) {
        case Format::RI: value = {a, b}; break;
        case Format::MA:
            if (a < 0)
                Fail("negative magnitude");
            value = std::polar(a, Radians(b));
            break;
        case Format::DB: value = std::polar(std::pow(10.0, a / 20.0), Radians(b)); break;
        }
        const double r = options_.reference;
        std::complex<double> z;
        switch (options_.parameter) {
        case Parameter::S:
            if (value == 1.0)
                Fail("S11 = 1 is an open circuit: no finite impedance");
            z = r * (1.0 + value) / (1.0 - value);
            break;
        case Parameter::Z:
            // Version 1 files hold Z normalised to R; version 2 files in ohm.
            z = version2_ ? value : value * r;
            break;
        case Parameter::Y:
            if (value == 0.0)
                Fail("Y11 = 0 is an open circuit: no finite impedance");
            z = version2_ ? 1.0 / value : r / value;
            break;
        }
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag()))
            Fail("the value gives no finite impedance");
        return z;
    }

    std::string_view text_;
    const std::string& file_;
    int line_ = 0;
    Options options_;
    bool version2_ = false;
    bool optionLineSeen_ = false;
    bool portsSeen_ = false;
    bool networkData_ = false;
    bool inInformation_ = false;
    bool ended_ = false;
    std::optional<std::size_t> expectedFrequencies_;
    Measurement measurement_;
};

}  // namespace

Measurement ReadTouchstone(std::string_view text, const std::string& file) { return Reader(text, file).Read(); }

}  // namespace quillet::sweep
