#include "engine/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>
#include <utility>

namespace quillet {
namespace {

bool IsIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string WithoutIgnored(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (char c : text) {
        if (!IsIgnored(c))
            kept += c;
    }
    return kept;
}

int RadixDigit(char c, int base) {
    int value = -1;
    if (IsDigit(c))
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    return value < base ? value : -1;
}

// The digits after &H or &O: up to FFFF they are a 16-bit two's-complement
// integer, up to FFFFFFFF a 32-bit one. Anything larger has no such reading.
double ParseRadixDigits(std::string_view digits, int base) {
    std::uint64_t value = 0;
    bool anyDigit = false;
    for (char c : digits) {
        const int digit = RadixDigit(c, base);
        if (digit < 0)
            break;
        anyDigit = true;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu)
            return 0.0;
    }
    if (!anyDigit)
        return 0.0;
    if (value <= 0xFFFFu)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Exponents beyond this cannot change whether a value overflows or
// underflows, so longer exponent digit strings saturate here.
constexpr std::int64_t kExponentCap = 1'000'000'000'000;

// The digits of "ddd.ddd" from s[i] on, and how many stand after the point.
struct Mantissa {
    std::string digits;
    std::int64_t fractionDigits = 0;
};

Mantissa ReadMantissa(std::string_view s, std::size_t& i) {
    Mantissa mantissa;
    bool pointSeen = false;
    for (; i < s.size(); ++i) {
        if (IsDigit(s[i])) {
            mantissa.digits += s[i];
            if (pointSeen)
                ++mantissa.fractionDigits;
        } else if (s[i] == '.' && !pointSeen) {
            pointSeen = true;
        } else {
            break;
        }
    }
    return mantissa;
}

// The exponent at s[i] ("E+12", or with a D as older programs write it),
// saturated at kExponentCap; 0 where there is none.
std::int64_t ReadExponent(std::string_view s, std::size_t i) {
    if (i >= s.size() || !(s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd'))
        return 0;
    std::size_t j = i + 1;
    bool negative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
        negative = s[j] == '-';
        ++j;
    }
    std::int64_t exponent = 0;
    for (; j < s.size() && IsDigit(s[j]); ++j)
        exponent = std::min(exponent * 10 + (s[j] - '0'), kExponentCap);
    return negative ? -exponent : exponent;
}

// digits * 10^(exponent - fractionDigits), correctly rounded; beyond the
// range of doubles the largest finite value or a zero of the sign.
double Scaled(const Mantissa& mantissa, std::int64_t exponent, bool negative) {
    const double signedZero = negative ? -0.0 : 0.0;
    // Keep only the significant digits: value = significant * 10^scale.
    const std::string& digits = mantissa.digits;
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return signedZero;
    const auto last = digits.find_last_not_of('0');
    const std::string significant = digits.substr(first, last - first + 1);
    const std::int64_t trailingZeros = static_cast<std::int64_t>(digits.size() - 1 - last);
    const std::int64_t scale = exponent - mantissa.fractionDigits + trailingZeros;
    const std::int64_t leadExponent = scale + static_cast<std::int64_t>(significant.size()) - 1;

    const double largest = std::numeric_limits<double>::max();
    if (leadExponent > 400)
        return negative ? -largest : largest;
    if (leadExponent < -400)
        return signedZero;

    const std::string normalised = significant + 'e' + std::to_string(scale);
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(normalised.data(), normalised.data() + normalised.size(), value, std::chars_format::scientific);
    (void)end;
    if (error == std::errc::result_out_of_range)
        value = leadExponent > 0 ? largest : 0.0;
    else if (std::isinf(value))
        value = largest;
    return negative ? -value : value;
}

double ParseDecimal(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const Mantissa mantissa = ReadMantissa(s, i);
    if (mantissa.digits.empty())
        return 0.0;
    return Scaled(mantissa, ReadExponent(s, i), negative);
}

std::string ExponentDigits(int exponent) {
    std::string text = std::to_string(exponent < 0 ? -exponent : exponent);
    if (text.size() < 2)
        text.insert(0, 1, '0');
    return (exponent < 0 ? "-" : "+") + text;
}

// The texts the calculator itself writes (" 39.26", "-.02", " 1E-03") and
// most that are typed: an optional leading blank, then nothing but a plain
// decimal to its end. Read in place by the same correctly rounded
// conversion the general path ends in, so the value is the same; anything
// else (blanks inside, a D exponent, text after the number, a value beyond
// the normal range or zero) is left to the general path.
bool ReadPlainDecimal(std::string_view text, double& value) {
    if (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    constexpr std::size_t kLongest = 32;
    if (text.empty() || text.size() > kLongest || text.front() == '+')
        return false;
    for (char c : text) {
        if (!(IsDigit(c) || c == '.' || c == '-' || c == '+' || c == 'E' || c == 'e'))
            return false;
    }
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    return error == std::errc() && stop == end && std::isnormal(value);
}

}  // namespace

double ParseNumber(std::string_view text) {
    if (double value = 0.0; ReadPlainDecimal(text, value))
        return value;
    const std::string s = WithoutIgnored(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return ParseRadixDigits(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return ParseRadixDigits(std::string_view(s).substr(2), 8);
    }
    return ParseDecimal(s);
}

namespace {

// The 100 two-digit pairs "00" to "99", one after another.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// value < 10^8 as exactly eight digits, leading zeros included.
void WriteEightDigits(char* out, std::uint32_t value) {
    const std::uint32_t high = value / 10'000, low = value % 10'000;
    for (const std::size_t pair : {high / 100, high % 100, low / 100, low % 100}) {
        std::copy_n(kDigitPairs.begin() + static_cast<std::ptrdiff_t>(2 * pair), 2, out);
        out += 2;
    }
}

}  // namespace

// A short decimal's digits without the general conversion. n, the
// magnitude times 10^d rounded to a whole number of fifteen digits, is the
// correctly rounded digit string when n / 10^d gives the magnitude back:
// the magnitude is then the double nearest that decimal, and no other
// fifteen-digit decimal lies within half a unit in its last place, since
// two of them lie at least 10^-14 of their decade apart and a unit in the
// last place is at most 2^-52 of ten times the decade (4.5 units apart).
// Whatever was typed or rounded to a few decimals passes, which is nearly
// everything the calculator writes; the rest takes the general conversion.
std::optional<SignificantDigits> ShortDecimalDigits(double magnitude) {
    static constexpr double kPowersOfTen[] = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};  // all exact
    // An estimate of the decimal exponent, at most one too small: the binary
    // exponent times log10(2), as 78913 / 2^18 (the shift floors).
    const int binaryExponent = static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7FF) - 1023;
    int exponent = (binaryExponent * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt, ++exponent) {
        const int d = 14 - exponent;
        if (d < 0 || d >= static_cast<int>(std::size(kPowersOfTen)))
            return std::nullopt;
        // Below 2^52, adding and taking away 2^52 rounds to the nearest
        // whole number (ties to even), as nearbyint would, without a call.
        constexpr double kTwoTo52 = 4503599627370496.0;
        const double n = (magnitude * kPowersOfTen[d] + kTwoTo52) - kTwoTo52;
        if (n >= 1e15)
            continue;  // the estimate was one too small
        if (n < 1e14 || n / kPowersOfTen[d] != magnitude)
            return std::nullopt;
        // Fifteen digits as two runs of eight (the first with a leading
        // zero), two digits at a time, then the trailing zeros dropped.
        const auto whole = static_cast<std::uint64_t>(n);
        char eight[16];
        WriteEightDigits(eight, static_cast<std::uint32_t>(whole / 100'000'000));
        WriteEightDigits(eight + 8, static_cast<std::uint32_t>(whole % 100'000'000));
        SignificantDigits result;
        result.count = 15;
        while (eight[result.count] == '0')  // eight[1..15] are the digits; the first is not 0
            --result.count;
        std::copy(eight + 1, eight + 1 + result.count, result.buffer.begin());
        result.exponent = exponent;
        return result;
    }
    return std::nullopt;
}

SignificantDigits FifteenDigits(double magnitude) {
    if (const auto shortDecimal = ShortDecimalDigits(magnitude))
        return *shortDecimal;
    SignificantDigits result;
    // "d.dddddddddddddde+XX", correctly rounded.
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14).ptr;
    const std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = scientific.find('e');
    std::string_view digits = scientific.substr(2, e - 2);
    digits = digits.substr(0, digits.find_last_not_of('0') + 1);
    result.buffer[0] = scientific[0];
    digits.copy(result.buffer.data() + 1, digits.size());
    result.count = static_cast<int>(digits.size()) + 1;
    std::string_view exponentText = scientific.substr(e + 1);
    const bool exponentNegative = exponentText.front() == '-';
    exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), result.exponent);
    if (exponentNegative)
        result.exponent = -result.exponent;
    return result;
}

void AppendFixedNotation(std::string& text, const SignificantDigits& number) {
    const std::string_view digits = number.Digits();
    const int exponent = number.exponent;
    const auto k = static_cast<int>(digits.size());
    if (exponent >= k - 1) {
        text += digits;
        text.append(static_cast<std::size_t>(exponent + 1 - k), '0');
    } else if (exponent >= 0) {
        const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
        text += digits.substr(0, whole);
        text += '.';
        text += digits.substr(whole);
    } else {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    }
}

void AppendScientificNotation(std::string& text, const SignificantDigits& number) {
    const std::string_view digits = number.Digits();
    text += digits[0];
    if (digits.size() > 1)
        text.append(".").append(digits.substr(1));
    text += number.exponent < 0 ? "e-" : "e+";
    const std::string exponent = std::to_string(std::abs(number.exponent));
    if (exponent.size() < 2)
        text += '0';
    text += exponent;
}

std::string NumberText(double number) {
    if (std::isnan(number))
        return " 0";  // never given one; a defined text beats undefined parsing
    if (std::isinf(number))
        number = number > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    if (number == 0.0)
        return " 0";

    const SignificantDigits significant = FifteenDigits(std::fabs(number));
    const std::string_view digits = significant.Digits();
    const int exponent = significant.exponent;
    std::string text(1, number < 0 ? '-' : ' ');
    const auto k = static_cast<int>(digits.size());
    if (exponent >= 15 || exponent < -2) {
        text += digits[0];
        if (k > 1)
            text.append(".").append(digits.substr(1));
        text += 'E';
        text += ExponentDigits(exponent);
    } else if (exponent >= 0) {
        AppendFixedNotation(text, significant);  // "500000", "39.26"
    } else {
        text += '.';
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    }
    return text;
}

std::string NumberText(std::int16_t number) { return NumberText(static_cast<double>(number)); }
std::string NumberText(std::int32_t number) { return NumberText(static_cast<double>(number)); }

double RoundHalfEven(double number, int digits) {
    double scale = 1.0;
    for (int i = 0; i < digits; ++i)
        scale *= 10.0;
    const double product = number * scale;
    if (!std::isfinite(product))
        return number;

    // Rounding is symmetric, so work on the magnitude; floor and the
    // subtraction are then exact for every finite product.
    const double magnitude = std::fabs(product);
    double whole = std::floor(magnitude);
    const double fraction = magnitude - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return std::copysign(whole / scale, number);
}

}  // namespace quillet
