#include "workflow/UsageCounter.h"

#include "platform/TextRules.h"
#include "settings/SettingsKeys.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace vantaro {

namespace {

// usage.ini's keys: the month's counts, and whether its warning and its limit were given.
constexpr char kReceived[] = "received";
constexpr char kSent[] = "sent";
constexpr char kWarned[] = "warned";
constexpr char kLimit[] = "limit";
constexpr std::uint64_t kLargestCount = std::numeric_limits<std::uint64_t>::max() / 2;

std::string MonthSection(int year, int month) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d-%02d", year, month);
    return name;
}

// One section a period: two periods are the same when they start in the same month.
bool SamePeriod(const BillingPeriod& one, const BillingPeriod& other) {
    return one.year == other.year && one.month == other.month;
}

bool IsMonthSection(std::string_view name) {
    if (name.size() != 7 || name[4] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6})
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

// What this counter writes: month sections holding the four keys with plain numbers, blank
// lines and notes. Anything else (a NUL, a torn line, a word where a number belongs, another
// file's key) means that the file is not ours or was damaged. The lines are judged as the INI
// reader reads them (where they end, which blanks go), the same reading that the counter's
// own writes go through, so a file kept once is kept again after the counter has written it.
bool IsWellFormed(const IniDocument& document) {
    if (document.Text().find('\0') != std::string::npos) return false;
    for (const IniDocument::SectionView& section : document.Outline()) {
        if (section.hasHeader && !IsMonthSection(section.name)) return false;
        for (const IniDocument::KeyView& key : section.keys) {
            if (!key.name.empty() && key.name.front() == ';') continue;
            const bool flag = EqualsIgnoringAsciiCase(key.name, kWarned) || EqualsIgnoringAsciiCase(key.name, kLimit);
            if (!flag && !EqualsIgnoringAsciiCase(key.name, kReceived) && !EqualsIgnoringAsciiCase(key.name, kSent))
                return false;
            if (!key.hasValue || !WholeDecimal(key.value, flag ? 1 : kLargestCount)) return false;
        }
    }
    return true;
}

std::uint64_t Count(const IniDocument& document, const std::string& section, const char* key) {
    return WholeDecimal(document.Get(section, key).value_or("0"), kLargestCount).value_or(0);
}

} // namespace

UsageSettings ReadUsageSettings(const Profile& settings, Log* log) {
    UsageSettings read;
    const std::string limit = settings.ReadString(settings::kSetting, settings::kMonthlyLimitMb, "0");
    if (const std::optional<std::uint64_t> value = WholeDecimal(limit, UsageSettings::kLargestLimitMb))
        read.monthlyLimitMb = *value;
    else if (log)
        log->Step("settings.default", LogResult::Done, 0,
                  std::string(settings::kMonthlyLimitMb) + "=" + limit + " is not a number from 0 to " +
                      std::to_string(UsageSettings::kLargestLimitMb) + "; 0 (no limit) is used");
    const std::string day = settings.ReadString(settings::kSetting, settings::kBillingDay, "1");
    const std::optional<std::uint64_t> billingDay = WholeDecimal(day, BillingPeriod::kLastBillingDay);
    if (billingDay && *billingDay >= BillingPeriod::kFirstBillingDay)
        read.billingDay = static_cast<int>(*billingDay);
    else if (log)
        log->Step("settings.default", LogResult::Done, 0,
                  std::string(settings::kBillingDay) + "=" + day + " is not a number from " +
                      std::to_string(BillingPeriod::kFirstBillingDay) + " to " +
                      std::to_string(BillingPeriod::kLastBillingDay) + "; 1 (the calendar month) is used");
    const std::string action =
        settings.ReadString(settings::kSetting, settings::kLimitAction, settings::kLimitActionWarn);
    read.disconnectAtLimit = EqualsIgnoringAsciiCase(action, settings::kLimitActionDisconnect);
    if (!read.disconnectAtLimit && !EqualsIgnoringAsciiCase(action, settings::kLimitActionWarn) && log)
        log->Step("settings.default", LogResult::Done, 0,
                  std::string(settings::kLimitAction) + "=" + action + " is neither warn nor disconnect; warn is used");
    return read;
}

UsageCounter::UsageCounter(UsageFile& file, const LogClock& calendar, Clock& ticks, UsageSettings settings, Log* log)
    : file_(file), calendar_(calendar), ticks_(ticks), settings_(settings), log_(log), lastWriteMs_(ticks.TickCount()) {
    Load();
}

UsageFile::ReadResult UsageCounter::ReadFile(std::string& bytes) {
    UsageFile::ReadResult read = file_.Read(bytes);
    for (int tries = 1; read == UsageFile::ReadResult::Failed && tries < kReadTries; ++tries) {
        ticks_.Sleep(kReadPauseMs);
        bytes.clear();
        read = file_.Read(bytes);
    }
    return read;
}

void UsageCounter::LogOnce(bool& said, const char* detail) {
    if (log_ && !said) log_->Step("usage.file", LogResult::Failed, 0, detail);
    said = true;
}

std::optional<IniDocument> UsageCounter::ReadDocument() {
    std::string bytes;
    const UsageFile::ReadResult read = ReadFile(bytes);
    if (read == UsageFile::ReadResult::Missing) return IniDocument();
    if (read == UsageFile::ReadResult::Failed) {
        // A file that cannot be read is not a damaged one: it may hold this month's bytes of
        // every instance. It is left alone, and written only once it has been read again.
        LogOnce(readFailed_, "unreadable; left as it is, counting goes on in memory until it can be read");
        return std::nullopt;
    }
    readFailed_ = false;
    IniDocument document(std::move(bytes));
    if (IsWellFormed(document)) return document;
    const bool setAside = file_.SetAside();
    if (log_)
        log_->Step("usage.file", LogResult::Failed, 0,
                   std::string("damaged") + (setAside ? "; set aside as usage.ini.bad, a new one is started"
                                                      : "; it could not be set aside, a new one is started"));
    return IniDocument();
}

void UsageCounter::Load() {
    if (std::optional<IniDocument> document = ReadDocument()) document_ = std::move(*document);
    EnterCurrentMonth();
}

BillingPeriod UsageCounter::CurrentPeriod() const {
    const LogTime now = calendar_.Now();
    const BillingPeriod period = BillingPeriodOf(now, settings_.billingDay);
    if (period.month == now.month) return period;
    // Before billing_day, in a calendar month whose section is counted into already (billing_day
    // was earlier when it was, or an earlier version counts by calendar month): that period goes
    // on until billing_day rather than going back to one that ended.
    const BillingPeriod carriedOn{now.year, now.month, BillingPeriod::kFirstBillingDay, settings_.billingDay};
    if (SamePeriod(month_.period, carriedOn)) return month_.period;
    const std::string calendarMonth = MonthSection(now.year, now.month);
    const bool counted = document_.Get(calendarMonth, kReceived) || unwritten_.count(calendarMonth) != 0;
    return counted ? carriedOn : period;
}

void UsageCounter::EnterCurrentMonth() {
    const BillingPeriod period = CurrentPeriod();
    if (SamePeriod(period, month_.period)) return;
    ShowMonth(period);
}

void UsageCounter::ShowMonth(const BillingPeriod& period) {
    MonthUsage shown;
    shown.period = period;
    const std::string section = MonthSection(period.year, period.month);
    const auto unwritten = unwritten_.find(section);
    const Unwritten added = unwritten != unwritten_.end() ? unwritten->second : Unwritten{};
    shown.received = std::min(Count(document_, section, kReceived) + added.received, kLargestCount);
    shown.sent = std::min(Count(document_, section, kSent) + added.sent, kLargestCount);
    shown.warned = Count(document_, section, kWarned) == 1 || added.warned;
    shown.limitReached = Count(document_, section, kLimit) == 1 || added.limitReached;
    month_ = shown;
}

UsageEvent UsageCounter::CheckLimit() {
    if (settings_.monthlyLimitMb == 0) return UsageEvent::None;
    const std::uint64_t limit = MonthlyLimitBytes(settings_.monthlyLimitMb);
    Unwritten& unwritten = unwritten_[MonthSection(month_.period.year, month_.period.month)];
    if (!month_.limitReached && month_.Total() >= limit) {
        month_.limitReached = month_.warned = unwritten.limitReached = unwritten.warned = true;
        return UsageEvent::LimitReached;
    }
    if (!month_.warned && month_.Total() * 100 >= limit * kWarningPercent) {
        month_.warned = unwritten.warned = true;
        return UsageEvent::Warning;
    }
    return UsageEvent::None;
}

void UsageCounter::FollowCalendar() {
    if (SamePeriod(CurrentPeriod(), month_.period)) return;
    Write();  // the month that ended keeps what it had
    EnterCurrentMonth();
}

bool UsageCounter::HangUpForLimitNow() {
    FollowCalendar();
    return HangUpForLimit();
}

std::optional<std::uint64_t> UsageCounter::ProjectedTotal() const {
    return ProjectedBytes(month_.period, calendar_.Now(), month_.Total());
}

UsageEvent UsageCounter::Add(std::uint64_t received, std::uint64_t sent) {
    FollowCalendar();
    month_.received = std::min(month_.received + received, kLargestCount);
    month_.sent = std::min(month_.sent + sent, kLargestCount);
    Unwritten& unwritten = unwritten_[MonthSection(month_.period.year, month_.period.month)];
    unwritten.received = std::min(unwritten.received + received, kLargestCount);
    unwritten.sent = std::min(unwritten.sent + sent, kLargestCount);
    const UsageEvent event = CheckLimit();
    // A threshold is written at once: a crash must not give the warning again.
    if (event != UsageEvent::None || ticks_.TickCount() - lastWriteMs_ >= kWritePeriodMs) Write();
    return event;
}

UsageEvent UsageCounter::AddAndWrite(std::uint64_t received, std::uint64_t sent) {
    const UsageEvent event = Add(received, sent);
    Write();
    return event;
}

void UsageCounter::AddUnwrittenTo(IniDocument& document) const {
    for (const auto& entry : unwritten_) {
        // Named, not bound: a lambda may not capture a structured binding in C++17.
        const std::string& section = entry.first;
        const Unwritten& added = entry.second;
        const auto sum = [&](const char* key, std::uint64_t bytes) {
            document.Set(section, key, std::to_string(std::min(Count(document, section, key) + bytes, kLargestCount)));
        };
        const auto flag = [&](const char* key, bool set) {
            document.Set(section, key, set || Count(document, section, key) == 1 ? "1" : "0");
        };
        sum(kReceived, added.received);
        sum(kSent, added.sent);
        flag(kWarned, added.warned);
        flag(kLimit, added.limitReached);
    }
}

void UsageCounter::Write() {
    lastWriteMs_ = ticks_.TickCount();
    // The file as it is now: another instance may have written its bytes since this one last
    // did. What this counter added since then goes on top of them.
    std::optional<IniDocument> merged = ReadDocument();
    if (!merged) return;  // never written from nothing: the bytes wait for a read that works
    AddUnwrittenTo(*merged);
    if (file_.Replace(merged->Text())) {
        document_ = std::move(*merged);
        unwritten_.clear();
        ShowMonth(month_.period);
        writeFailed_ = false;
        return;
    }
    // A file that refuses the write (read-only, or damaged in a way that the platform keeps) goes
    // aside, and this month starts a new one with what the month held.
    const std::string section = MonthSection(month_.period.year, month_.period.month);
    Unwritten month;
    month.received = Count(*merged, section, kReceived);
    month.sent = Count(*merged, section, kSent);
    month.warned = Count(*merged, section, kWarned) == 1;
    month.limitReached = Count(*merged, section, kLimit) == 1;
    const bool setAside = file_.SetAside();
    if (setAside) {
        // What the file held went aside with it: a new file must get the whole month.
        document_ = IniDocument();
        unwritten_.clear();
        unwritten_[section] = month;
    }
    IniDocument fresh;
    AddUnwrittenTo(fresh);
    const bool written = setAside && file_.Replace(fresh.Text());
    if (written) {
        document_ = std::move(fresh);
        unwritten_.clear();
    }
    ShowMonth(month_.period);
    // Said once for a file that keeps refusing, not every minute.
    LogOnce(writeFailed_, written ? "not writable; set aside as usage.ini.bad, a new one is started"
                                  : "not writable, and no new one could be started; counting goes on in memory");
    writeFailed_ = !written;
}

} // namespace vantaro
