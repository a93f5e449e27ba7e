// The three conversions between the numbers the calculator works with and the
// texts its boxes hold. They never look at the process locale: the decimal
// separator is the point in both directions.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// Reads the number at the start of a text. Blanks, tabs and line feeds are
// ignored wherever they stand; a text without a number reads as 0.
// Accepts a decimal number with an optional E/e/D/d exponent, or a radix
// prefix &H (hexadecimal) or &O (octal) read as a 16-bit, else 32-bit,
// two's-complement integer.
//
// Values this grammar allows but a double cannot hold: a decimal above the
// double range reads as the largest finite double of its sign, one below the
// smallest subnormal as a zero of its sign; radix digits above FFFFFFFF hex,
// an ampersand followed by anything but H or O, and a sign in front of an
// ampersand all read as 0.
double ParseNumber(std::string_view text);

// Writes a finite number in the sign-space form: a blank before a number that
// is not negative, a minus before a negative one, at most 15 significant
// digits, no zero before the point.
//   magnitude >= 1E+15         exponent form   " 1.5E+20"
//   1 <= magnitude < 1E+15     plain digits    " 500000", " 39.26"
//   0.01 <= magnitude < 1      point first     " .15", "-.02"
//   magnitude < 0.01           exponent form   " 1E-03", "-1.23456789012346E-05"
// The exponent form below 0.01 keeps small values readable in a 121 px box
// and reads back exactly like every other layout.
std::string NumberText(double number);
std::string NumberText(std::int16_t number);
std::string NumberText(std::int32_t number);

// The 15 significant digits of a positive finite number, correctly rounded,
// trailing zeros dropped, and the decimal exponent of the first ("15", 1
// for 15.0). NumberText writes these.
struct SignificantDigits {
    std::array<char, 16> buffer{};  // the first `count` hold the digits
    int count = 0;
    int exponent = 0;
    std::string_view Digits() const { return {buffer.data(), static_cast<std::size_t>(count)}; }
};
SignificantDigits FifteenDigits(double magnitude);
// The same digits, only where they come without the general conversion: for
// a number that is the double nearest a decimal of at most 15 significant
// digits (typed, or rounded to a few decimals), nearly every one the
// calculator writes. They are then also the fewest digits that read back as
// the number, since no other decimal of at most 15 digits lies as near.
std::optional<SignificantDigits> ShortDecimalDigits(double magnitude);

// The digits in the C library's notations, as std::to_chars and printf
// write them: fixed ("1500", "0.015", "12.5") and scientific ("1.5e+07",
// "2e-05", at least two exponent digits).
void AppendFixedNotation(std::string& text, const SignificantDigits& number);
void AppendScientificNotation(std::string& text, const SignificantDigits& number);

// Rounds to the given count of decimals, exact halves to the even neighbour.
// The halfway test looks at the double product number * 10^digits, not at the
// decimal the number was written as. A negative number that rounds to zero
// gives a negative zero (which NumberText shows as " 0").
double RoundHalfEven(double number, int digits);

}  // namespace quillet
