#pragma once
// Bytes received and sent per billing period, kept in the user's usage.ini, and the monthly
// limit. A period runs from [Setting] billing_day of one month to just before that day of the
// next (workflow/BillingPeriod.h); with billing_day=1 it is the calendar month. Each period has
// its own section, named by the month it starts in; "month" below means that period.
//
// Every statistics tick adds what the link moved since the tick before; the file is written when
// a minute has passed since its last write, when a connection ends and when the program ends,
// so a crash loses at most a minute. Several instances of the program may count into one file:
// each write reads the file again and adds the bytes this counter counted since its own last
// write to what the file holds now, so no instance's bytes replace another's. A read that fails
// (a backup or a virus scanner holding the file for a moment) is tried again a few times; one
// that keeps failing leaves the file as it is, and the bytes wait in memory for the next write.
// A file that is read but not as this counter writes it, or that refuses a write, is set aside
// as usage.ini.bad and a new one is started; if even that fails the counting goes on in memory.
// Nothing here ever stops a connection.
//
// With [Setting] monthly_limit_mb above 0, the month's bytes (both directions) reaching 90 % of
// it give one warning, and reaching it one limit event; each is remembered in the file, so a
// restart does not give it again that month. It runs on one thread (the dialog's).
//
// billing_day changed between runs loses nothing: every section keeps the bytes counted into it.
// A later day (1 to 15 on the 10th) does not send the count back into the period that ended on
// the 1st, with that period's bytes and marks: the calendar month's section, already counted
// into, carries on until the new day and ends there, a period that is taken to have started
// on the 1st. An earlier day (15 to 1 on the 10th) ends the running period at once: its bytes
// stay in its section, and the new day's period starts with what its own section holds.

#include "log/Log.h"
#include "workflow/BillingPeriod.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "settings/IniDocument.h"
#include "settings/UsageFile.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace vantaro {

struct UsageSettings {
    static constexpr std::uint64_t kLargestLimitMb = 100000000;  // 100 TB: anything above is a typing slip

    std::uint64_t monthlyLimitMb = 0;  // 0: no limit
    bool disconnectAtLimit = false;    // limit_action=disconnect
    int billingDay = BillingPeriod::kFirstBillingDay;
};

// The monthly limit in bytes, for the check and for every text that shows it: monthly_limit_mb
// counts megabytes of 1024 * 1024 bytes.
constexpr std::uint64_t MonthlyLimitBytes(std::uint64_t monthlyLimitMb) { return monthlyLimitMb * 1024 * 1024; }

// [Setting] monthly_limit_mb, limit_action and billing_day; a value out of range gives way to the default,
// and the log says so.
UsageSettings ReadUsageSettings(const Profile& settings, Log* log);

struct MonthUsage {
    BillingPeriod period;
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
    // A read that fails is tried this often in all, with a pause between: long enough for a
    // scanner to let go of a small file, short enough for the dialog's thread.
    static constexpr int kReadTries = 3;
    static constexpr std::uint32_t kReadPauseMs = 50;

    // Reads the file at once.
    UsageCounter(UsageFile& file, const LogClock& calendar, Clock& ticks, UsageSettings settings, Log* log);
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
    // The month's bytes at its end at the rate so far; nothing before its fifth day.
    std::optional<std::uint64_t> ProjectedTotal() const;

private:
    // What this counter added to a month since its last write that landed.
    struct Unwritten {
        std::uint64_t received = 0;
        std::uint64_t sent = 0;
        bool warned = false;
        bool limitReached = false;
    };

    void Load();
    UsageFile::ReadResult ReadFile(std::string& bytes);
    // The file as it is now (empty when missing; a damaged one is set aside and gives an empty
    // one); nothing when it cannot be read.
    std::optional<IniDocument> ReadDocument();
    // The period the calendar is in now, or the calendar month's that carries on (see above).
    BillingPeriod CurrentPeriod() const;
    void EnterCurrentMonth();
    // Into the calendar's month, the one that ended written first.
    void FollowCalendar();
    // month_: the month's figures in the file as last read, and what this counter added since.
    void ShowMonth(const BillingPeriod& period);
    UsageEvent CheckLimit();
    void Write();
    void AddUnwrittenTo(IniDocument& document) const;
    void LogOnce(bool& said, const char* detail);

    UsageFile& file_;
    const LogClock& calendar_;
    Clock& ticks_;
    const UsageSettings settings_;
    Log* log_;
    // The file as it was last read or written.
    IniDocument document_;
    MonthUsage month_;
    std::map<std::string, Unwritten> unwritten_;  // by month section
    std::uint32_t lastWriteMs_;
    bool writeFailed_ = false;
    bool readFailed_ = false;
};

} // namespace vantaro
