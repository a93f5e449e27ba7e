// Days and times as the register writes them: ISO 8601, UTC.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet::records {

// Whether the text is a real calendar day written YYYY-MM-DD.
bool IsIsoDay(std::string_view text);

// The day that many days after an ISO day (which must be valid).
std::string AddDays(std::string_view isoDay, long long days);

// Now, as 2026-12-08T21:56:01Z, and today's day in UTC.
std::string NowUtc();
std::string TodayUtc();

}  // namespace quillet::records
