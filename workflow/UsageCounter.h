#pragma once
// Bytes received and sent per calendar month, kept in the user's usage.ini, and the monthly limit.
//
// Every statistics tick adds what the link moved since the tick before; the file is written when
// a minute has passed since its last write, when a connection ends and when the program ends,
// so a crash loses at most a minute. A file that cannot be read as this counter writes it, or
// that refuses a write, is set aside as usage.ini.bad and a new one is started; if even that
// fails the counting goes on in memory. Nothing here ever stops a connection.
//
// With [Setting] monthly_limit_mb above 0, the month's bytes (both directions) reaching 90 % of
// it give one warning, and reaching it one limit event; each is remembered in the file, so a
// restart does not give it again that month. It runs on one thread (the dialog's).

#include "log/Log.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "settings/IniDocument.h"
#include "settings/UsageFile.h"

#include <cstdint>
#include <string>

namespace vantaro {

struct UsageSettings {
    static constexpr std::uint64_t kLargestLimitMb = 100000000;  // 100 TB: anything above is a typing slip

    std::uint64_t monthlyLimitMb = 0;  // 0: no limit
    bool disconnectAtLimit = false;    // limit_action=disconnect
};

// [Setting] monthly_limit_mb and limit_action; a value out of range gives way to the default,
// and the log says so.
UsageSettings ReadUsageSettings(const Profile& settings, Log* log);

struct MonthUsage {
    int year = 0;
    int month = 0;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    bool warned = false;
    bool limitReached = false;

    std::uint64_t Total() const { return received + sent; }
};

enum class UsageEvent { None, Warning, LimitReached };

class UsageCounter {
public:
    static constexpr std::uint32_t kWritePeriodMs = 60000;
    static constexpr std::uint32_t kWarningPercent = 90;

    // Reads the file at once.
    UsageCounter(UsageFile& file, const LogClock& calendar, const Clock& ticks, UsageSettings settings, Log* log);
    UsageCounter(const UsageCounter&) = delete;
    UsageCounter& operator=(const UsageCounter&) = delete;

    // A statistics tick's delta. The event of a threshold crossed by it, at most one.
    UsageEvent Add(std::uint64_t received, std::uint64_t sent);
    // The end of a connection or of the program: the last delta, then the file is written.
    UsageEvent AddAndWrite(std::uint64_t received, std::uint64_t sent);

    const MonthUsage& Month() const { return month_; }
    const UsageSettings& Settings() const { return settings_; }
    // The limit is reached and says to hang up and not redial.
    bool HangUpForLimit() const { return settings_.disconnectAtLimit && month_.limitReached; }
    // The same for the month the calendar is in now: a new month starts below its limit.
    bool HangUpForLimitNow();

private:
    void Load();
    void EnterCurrentMonth();
    // Into the calendar's month, the one that ended written first.
    void FollowCalendar();
    UsageEvent CheckLimit();
    void Write();

    UsageFile& file_;
    const LogClock& calendar_;
    const Clock& ticks_;
    const UsageSettings settings_;
    Log* log_;
    IniDocument document_;
    MonthUsage month_;
    std::uint32_t lastWriteMs_;
    bool writeFailed_ = false;
};

} // namespace vantaro
