#include "workflow/BillingPeriod.h"

#include <limits>

namespace vantaro {

namespace {

constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

CalendarDate NextMonth(int year, int month, int day) {
    return month == 12 ? CalendarDate{year + 1, 1, day} : CalendarDate{year, month + 1, day};
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

} // namespace

CalendarDate BillingPeriod::Next() const { return NextMonth(year, month, billingDay); }

CalendarDate BillingPeriod::LastDay() const {
    const CalendarDate next = Next();
    if (next.day > 1) return {next.year, next.month, next.day - 1};
    return {year, month, DaysInMonth(year, month)};
}

BillingPeriod BillingPeriodOf(const LogTime& now, int billingDay) {
    BillingPeriod period;
    period.year = now.year;
    period.month = now.month;
    period.startDay = period.billingDay = billingDay;
    if (now.day < billingDay) {
        period.month = now.month == 1 ? 12 : now.month - 1;
        if (now.month == 1) --period.year;
    }
    return period;
}

std::int64_t DaysSinceEpoch(const CalendarDate& date) {
    // Howard Hinnant's days_from_civil: the year starts in March, so February's length is last.
    const int year = date.year - (date.month <= 2 ? 1 : 0);
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

std::optional<std::uint64_t> ProjectedBytes(const BillingPeriod& period, const LogTime& now, std::uint64_t bytes) {
    const std::int64_t start = DaysSinceEpoch(period.Start());
    const std::int64_t today = DaysSinceEpoch({now.year, now.month, now.day});
    if (today - start < BillingPeriod::kProjectionFromDay - 1) return std::nullopt;
    // Local wall-clock time: a day is a day, also the one that a summer-time change shortens.
    const std::uint64_t elapsed =
        static_cast<std::uint64_t>((today - start) * kSecondsPerDay + now.hour * 3600 + now.minute * 60 + now.second);
    const std::uint64_t length = static_cast<std::uint64_t>((DaysSinceEpoch(period.Next()) - start) * kSecondsPerDay);
    if (elapsed >= length) return bytes;
    // bytes * length / elapsed without overflowing: whole rates first, then the remainder's share.
    const std::uint64_t whole = bytes / elapsed;
    if (whole > std::numeric_limits<std::uint64_t>::max() / length) return std::numeric_limits<std::uint64_t>::max();
    return whole * length + bytes % elapsed * length / elapsed;
}

} // namespace vantaro
