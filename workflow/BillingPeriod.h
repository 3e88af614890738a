#pragma once
// The counter's period: from 00:00 local time on [Setting] billing_day of one month until just
// before that day of the next, so that the count matches the operator's bill. billing_day is
// 1 to 28, a day that every month has; with 1 the period is the calendar month.
//
// A period is named by the year and month it starts in. usage.ini keeps one section a period
// under that name ("[2026-11]" for 15 Nov to 14 Dec), the same "[yyyy-mm]" that calendar months
// had, so a file stays what every earlier version reads and keeps, and with billing_day=1 it is
// byte for byte as before. The file does not say which day its sections start on: an earlier
// version counting into the same file counts by calendar month, into the same names.

#include "log/Log.h"

#include <cstdint>
#include <optional>

namespace vantaro {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct BillingPeriod {
    static constexpr int kFirstBillingDay = 1;
    static constexpr int kLastBillingDay = 28;
    // A projection is shown from the period's fifth day: before that a single large download
    // makes the rate say little about the whole period.
    static constexpr int kProjectionFromDay = 5;

    int year = 0;        // of the month it starts in, which names its section
    int month = 0;
    int startDay = 1;    // billing_day, or the 1st for a period carried on (see UsageCounter)
    int billingDay = 1;  // the next period starts on this day of the next month

    CalendarDate Start() const { return {year, month, startDay}; }
    // The day the next period starts.
    CalendarDate Next() const;
    // The last day of this one.
    CalendarDate LastDay() const;
};

// The period that `now` falls in.
BillingPeriod BillingPeriodOf(const LogTime& now, int billingDay);

// Days since 1 Jan 1970 of a proleptic Gregorian date.
std::int64_t DaysSinceEpoch(const CalendarDate& date);

// The period's bytes at its end if they go on at the rate since its start (bytes so far /
// elapsed time * the period's length); nothing before its fifth day.
std::optional<std::uint64_t> ProjectedBytes(const BillingPeriod& period, const LogTime& now, std::uint64_t bytes);

} // namespace vantaro
