#pragma once
// The texts of a connection being watched: the statistics line under the status line, the
// billing period's bytes beside it, and the word for a dropped link. Keys of the language
// sections of Setting.ini, each with the English text used when the section lacks it. "%1".."%5"
// stand for the figures, in this order: time connected, bytes received, bytes sent, speed down,
// speed up; for the period, the day it started, its bytes and the limit; for the projection,
// the bytes at the period's end and its last day.

#include "dialup/LinkMeter.h"
#include "platform/Profile.h"
#include "workflow/UsageCounter.h"
#include "workflow/PhoneText.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantaro {

namespace linktext {
inline constexpr TextKey kStatistics{"linkstats", "Connected %1   Received %2   Sent %3   Down %4   Up %5"};
inline constexpr TextKey kPeriod{"linkperiod", "Since %1: %2"};
inline constexpr TextKey kPeriodOfLimit{"linkperiodlimit", "Since %1: %2 of %3"};
inline constexpr TextKey kProjection{"linkprojection", "at this rate %1 by %2"};
// A day: "%1" the day of the month, "%2" the month's name, the n-th word of kMonthNames.
inline constexpr TextKey kDate{"linkdate", "%1 %2"};
inline constexpr TextKey kMonthNames{"linkmonthnames", "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec"};
inline constexpr TextKey kDropped{"linkdropped", "link dropped"};

// "%1" the wait in seconds, "%2" the attempt, "%3" the attempts allowed.
inline constexpr TextKey kRedialling{"linkredial", "Redialling in %1 s (attempt %2 of %3)."};
// A dial series that tries APNs in turn: "%1" the APN, "%2" its place, "%3" how many there are.
inline constexpr TextKey kTryingApn{"linkapntry", "Trying APN %1 (%2 of %3)..."};
inline constexpr TextKey kTryingNoApn{"linkapnnone", "Trying without an APN, the network's default (%2 of %3)..."};
// Why the redials stopped; the balloon's text after the title "gave up".
inline constexpr TextKey kGaveUp{"linkgaveup", "Vantaro stopped redialling."};
inline constexpr TextKey kGaveUpFinal{"linkgaveupfinal",
                                      "The network refused the login or the link: check the user name, password and APN."};
inline constexpr TextKey kGaveUpPort{"linkgaveupport", "The modem's port is missing or held by another program."};
inline constexpr TextKey kGaveUpSim{"linkgaveupsim", "The SIM is locked: enter its PIN with Check phone."};
inline constexpr TextKey kGaveUpAttempts{"linkgaveupattempts", "Every redial attempt failed."};
// "%1" the month's bytes, "%2" the limit.
inline constexpr TextKey kLimitWarning{"linklimitwarn", "90 % of this month's limit is used: %1 of %2."};
inline constexpr TextKey kLimitReached{"linklimit", "This month's limit is reached: %1 of %2."};
inline constexpr TextKey kLimitHangUp{"linklimithangup",
                                      "This month's limit is reached: %1 of %2. Vantaro hangs up and does not redial."};
// The tray icon: its tooltip when no link is up, and the menu's one command that is no button.
inline constexpr TextKey kNotConnected{"traynotconnected", "Not connected"};
inline constexpr TextKey kOpenSettings{"trayopen", "Open settings"};
// A Connect while the Phone dialog or the tray's Balance dialog holds the dial's port.
inline constexpr TextKey kDialPortBusy{"dialportbusy",
                                       "The phone's port is in use by the Phone or Balance dialog: connect once it is closed."};

inline constexpr std::array<TextKey, 21> kAll = {
    kStatistics, kPeriod,       kPeriodOfLimit, kProjection,   kDate,         kMonthNames,
    kDropped,    kRedialling,   kGaveUp,        kGaveUpFinal,  kGaveUpPort,   kGaveUpSim,
    kGaveUpAttempts, kLimitWarning, kLimitReached, kLimitHangUp, kNotConnected, kOpenSettings,
    kTryingApn,  kTryingNoApn,  kDialPortBusy,
};

// What a figure shows when the last statistics call failed or no speed is known yet. Not a key:
// no single byte of a code page is this dash in every language section.
inline constexpr char kUnknownMark[] = "\xE2\x80\x94";
} // namespace linktext

// The texts of one language, in the interface's code page.
struct LinkTexts {
    std::string statistics;
    std::string period;
    std::string periodOfLimit;
    std::string projection;
    std::string date;
    std::string monthNames;
    std::string unknownMark;
};

// "512 B", "1.5 KB", "23.4 MB": 1024 bytes to the kilobyte, one decimal above bytes.
std::string FormatBytes(std::uint64_t bytes);
// "0:00:07", "12:34:56": hours, minutes, seconds.
std::string FormatDuration(std::uint32_t seconds);
// The text with "%1".."%9" replaced by the values (a missing one by nothing); every other
// character is kept, since the text comes from a file the user edits.
std::string FillInFigures(const std::string& text, const std::vector<std::string>& values);

// The statistics line; blank when nothing was sampled (not connected). Stale figures keep their
// values and show the unknown mark for the speeds.
std::string StatisticsLine(const LinkFigures& figures, const LinkTexts& texts);
// "15 Nov", "11月15日"; a month that the language's list of names lacks is shown as its number.
std::string PeriodDate(const CalendarDate& date, const LinkTexts& texts);
// The period's first day and bytes, the limit when there is one, and where the period is heading
// when a projection is known.
std::string PeriodLine(const MonthUsage& usage, std::optional<std::uint64_t> projected, std::uint64_t limitMb,
                       const LinkTexts& texts);

} // namespace vantaro
