#include "records/dates.h"

#include <charconv>
#include <chrono>
#include <string>

namespace quillet::records {
namespace {

using namespace std::chrono;

std::optional<year_month_day> ParseDay(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int parts[3] = {};
    const std::size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        const char* first = text.data() + starts[i];
        const char* last = first + lengths[i];
        const auto [end, error] = std::from_chars(first, last, parts[i]);
        if (error != std::errc() || end != last || *first == '+' || *first == '-')
            return std::nullopt;
    }
    const year_month_day day{year{parts[0]}, month{static_cast<unsigned>(parts[1])},
                             std::chrono::day{static_cast<unsigned>(parts[2])}};
    return day.ok() ? std::optional(day) : std::nullopt;
}

// The number with leading zeros to the width.
std::string Padded(long long value, std::size_t width) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    std::string text(digits, end);
    return std::string(width > text.size() ? width - text.size() : 0, '0') + text;
}

std::string DayText(const year_month_day& day) {
    return Padded(static_cast<int>(day.year()), 4) + '-' + Padded(static_cast<unsigned>(day.month()), 2) + '-' +
           Padded(static_cast<unsigned>(day.day()), 2);
}

}  // namespace

bool IsIsoDay(std::string_view text) { return ParseDay(text).has_value(); }

std::string AddDays(std::string_view isoDay, long long count) {
    return DayText(year_month_day{sys_days{*ParseDay(isoDay)} + days{count}});
}

std::string NowUtc() {
    const auto now = floor<seconds>(system_clock::now());
    const auto today = floor<days>(now);
    const hh_mm_ss time{now - today};
    return DayText(year_month_day{today}) + 'T' + Padded(time.hours().count(), 2) + ':' +
           Padded(time.minutes().count(), 2) + ':' + Padded(time.seconds().count(), 2) + 'Z';
}

std::string TodayUtc() { return NowUtc().substr(0, 10); }

}  // namespace quillet::records
