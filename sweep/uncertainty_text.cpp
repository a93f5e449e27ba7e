#include "sweep/uncertainty_text.h"

#include <charconv>
#include <cmath>

namespace quillet::sweep {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<double> NonNegativeNumber(std::string_view text) {
    text = Trimmed(text);
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return std::nullopt;
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> UncertaintyMagnitudeOf(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.back() == '%')
        text.remove_suffix(1);
    return NonNegativeNumber(text);
}

std::optional<double> UncertaintyPhaseOf(std::string_view text) { return NonNegativeNumber(text); }

std::optional<double> CoverageFactorOf(std::string_view text) {
    const auto k = NonNegativeNumber(text);
    return k && *k > 0 ? k : std::nullopt;
}

std::optional<MeasurementUncertainty> MagnitudeAndPhaseOf(std::string_view text, double coverageFactor) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto magnitude = UncertaintyMagnitudeOf(text.substr(0, comma));
    const auto phase = UncertaintyPhaseOf(text.substr(comma + 1));
    if (!magnitude || !phase)
        return std::nullopt;
    return MeasurementUncertainty{*magnitude, *phase, coverageFactor};
}

}  // namespace quillet::sweep
