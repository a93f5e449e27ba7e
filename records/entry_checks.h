// What a person types for a network or a verification, checked before
// anything is written, each fault named so it can be shown beside the
// field; and the names of the files made from a record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.h"

namespace quillet::records {

// The longest verification interval the dialogs take: a century.
inline constexpr std::int64_t kLongestIntervalDays = 100 * 366;

// The faults of a new network; empty when it may be added. Serials are
// compared as typed, as the register compares them.
std::vector<std::string> NetworkProblems(const NewNetwork& network, const std::vector<Network>& existing);

// The three figures of an expanded uncertainty, all typed or none. Adds
// its faults to problems; none when all three are empty or any is wrong.
std::optional<Uncertainty> UncertaintyOf(const std::string& magnitudePercent, const std::string& phaseDegrees,
                                         const std::string& coverageFactor, std::vector<std::string>& problems);

// The faults of the fields a person fills in for a verification. A record
// is kept for good, so a day that cannot be right is refused: a measurement
// after tomorrow (today is UTC's, YYYY-MM-DD; a lab east of Greenwich is a
// day ahead of it), or with an instrument whose calibration had run out by
// then.
std::vector<std::string> VerificationProblems(const NewVerification& verification, const std::string& today);

// "withdrawn", "corrected by 7", or empty for a verification in force.
std::string StatusText(const Verification& verification);

// A stored measurement's name in the cache: its SHA-256, then the name it
// was recorded under without any folder, so the same bytes are written
// once and the reader still sees the format from the ending.
std::string CachedMeasurementName(const std::string& sha256, const std::string& fileName);

// SERIAL-DATE-verification-ID.pdf, the serial made safe for a file name.
std::string RecordPdfName(const std::string& serial, const std::string& date, std::int64_t id);
// SERIAL-DATE-history.pdf.
std::string HistoryPdfName(const std::string& serial, const std::string& date);

}  // namespace quillet::records
