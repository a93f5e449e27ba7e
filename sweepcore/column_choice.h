// For delimited text whose columns could not be recognised, what every
// toolkit's columns dialog shows and decides: the file's first lines, how
// many columns they have, what a column can hold, the column list as
// an-sweep's --columns takes it, the reading previewed with it, and the
// key under which the choice is remembered for files with the same first
// line.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "measurement/read_measurement.h"

namespace quillet::sweepcore {

inline constexpr std::size_t kShownLines = 12;
inline constexpr std::size_t kMostColumns = 12;

// What a column can hold, as a user reads it and as --columns writes it;
// the first is "(ignore)".
struct ColumnQuantity {
    const char* shown;
    const char* item;
};
std::span<const ColumnQuantity> ColumnQuantities();

// Whether a file is read as delimited text (not Touchstone), and whether
// the reader's message asks for the columns to be stated.
bool IsDelimitedText(const std::string& path);
bool AsksForColumns(const std::string& path, std::string_view message);

// The reader's advice for the command line, made the dialog's own.
std::string ColumnDialogAdvice(std::string_view message);

// The file's first lines (UTF-8 name), blanks trimmed; none when it cannot
// be read.
std::vector<std::string> FirstLines(const std::string& path);

// The fields of the last data line among them, split as the reader splits
// them, at most kMostColumns; 3 where no line says.
std::size_t FieldCount(const std::vector<std::string>& lines);

// The column list for the quantities chosen (indexes into
// ColumnQuantities()), with the reference of S11 where a column is of S11
// and it is not 50 ohm.
std::string ColumnList(std::span<const std::size_t> chosen, std::string_view referenceOhm);

// The file read with a column list: the first points as text and the
// options that read them, or why it cannot be read so and no options.
struct ColumnPreview {
    std::string text;
    std::optional<measurement::ReadOptions> options;
};
ColumnPreview PreviewColumns(const std::string& path, const std::string& columnList);

// Where the choice for files with this file's first line is remembered.
std::string RememberedColumnsKey(const std::string& path);

// The options to open a file with, given the column list remembered for it;
// a remembered list that no longer reads is not applied.
measurement::ReadOptions OptionsFor(const std::string& path, const std::optional<std::string>& remembered);

}  // namespace quillet::sweepcore
