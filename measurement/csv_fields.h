// Splitting a line of delimited text into its fields, and reading a field
// as a number.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::measurement {

enum class Separator { Comma, Semicolon, Tab, Blanks };

// The separator a data line uses: a tab, else a semicolon, else a comma
// (outside quotes), else runs of blanks.
Separator SeparatorOf(std::string_view line);

// The fields, trimmed, with quotes taken off ("" inside quotes is one ");
// empty fields at the end are dropped, since spreadsheets end lines with a
// separator. Throws std::invalid_argument for a quote not closed on the line
// or text after a closing quote.
std::vector<std::string> SplitFields(std::string_view line, Separator separator);

// A header written with blanks between its columns may have blanks inside
// its names too: splits at runs of two or more blanks, or at tabs.
std::vector<std::string> SplitAtWideGaps(std::string_view line);

// A strict number; with semicolons or tabs between the columns a comma can
// only be a decimal comma, and is read as one.
std::optional<double> FieldNumber(std::string_view field, Separator separator);

// Spreadsheets group digits with the mark other locales use for decimals:
// a file that writes both a decimal comma and a decimal point cannot be
// read for sure. Fed each number where a comma is a decimal comma.
class DecimalMarks {
public:
    // What is wrong with the field, given those before it: "'9.000' has a
    // decimal point, but line 2 has a decimal comma: ..."; nothing if all
    // agree.
    std::optional<std::string> Check(std::string_view field, int line);

private:
    char mark_ = 0;  // none yet
    int line_ = 0;
};

// True for a line with nothing but blanks and separators, as spreadsheets
// write an empty row (";;;"): no content.
bool OnlySeparators(std::string_view line);

// True when the text begins like a number: an optional sign, an optional
// point, then a digit.
bool StartsLikeNumber(std::string_view text);

}  // namespace quillet::measurement
