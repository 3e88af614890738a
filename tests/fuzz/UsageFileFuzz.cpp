// usage.ini as any bytes, through the monthly counter with the file in memory: no crash, and after
// a tick and a connection's end the file holds what a new counter reads back as the same month's
// figures. A file made as the counter writes it (any line ends) is kept and added to; one with a
// damaged line is set aside and the month counts from nothing.

#include "fakes/FakeClock.h"
#include "fakes/FakeLog.h"
#include "fuzz/FuzzCheck.h"
#include "workflow/UsageCounter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace vantaro;
using vantaro::fuzz::Require;

struct MemoryUsageFile final : UsageFile {
    ReadResult Read(std::string& out) override { return bytes ? (out = *bytes, ReadResult::Read) : ReadResult::Missing; }
    bool Replace(const std::string& written) override { return bytes = written, true; }
    bool SetAside() override { return bytes.reset(), ++setAside, true; }
    std::optional<std::string> bytes;
    int setAside = 0;
};

// Lines the counter never writes: a word for a number, a section that is no month, another
// file's key, a flag that is no flag, a key without a value, a NUL.
const std::string_view kDamage[] = {"received=x", "[2026-1]", "total=5", "warned=2", "sent", {"sent=1\0", 7}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const int kind = data.ConsumeIntegralInRange(0, 2);  // any bytes, made as written, damaged
    const std::uint64_t held = data.ConsumeIntegral<std::uint32_t>(), tick[] = {
        data.ConsumeIntegral<std::uint32_t>(), data.ConsumeIntegral<std::uint32_t>(),
        data.ConsumeIntegral<std::uint32_t>(), data.ConsumeIntegral<std::uint32_t>()};
    const UsageSettings settings{data.ConsumeIntegralInRange<std::uint64_t>(0, 20000), data.ConsumeBool()};
    const std::string eol = std::vector<std::string>{"\r\n", "\n", "\r"}[data.ConsumeIntegralInRange(0, 2)];
    MemoryUsageFile file;
    file.bytes = kind == 0 ? data.ConsumeRemainingBytesAsString()
                           : "; usage" + eol + "[2026-11]" + eol + "sent=7" + eol + "[2026-12]" + eol + "received = " +
                                 std::to_string(held) + eol + "warned=" + (data.ConsumeBool() ? "1" : "0") + eol;
    if (kind == 2) file.bytes->append(kDamage[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kDamage) - 1)]).append(eol);

    testing::FixedLogClock calendar;  // December 2026
    testing::FakeClock ticks;
    testing::RecordingLog log;
    UsageCounter counter(file, calendar, ticks, settings, &log.log);
    counter.Add(tick[0], tick[1]);
    counter.AddAndWrite(tick[2], tick[3]);
    const MonthUsage month = counter.Month();
    if (kind != 0) {
        Require(file.setAside == (kind == 2 ? 1 : 0), "a damaged file and only a damaged one is set aside");
        Require(month.Total() == (kind == 1 ? held : 0) + tick[0] + tick[1] + tick[2] + tick[3],
                "the month adds to what the file held");
    }
    const int setAsideBefore = file.setAside;
    Require(file.bytes.has_value(), "the end of a connection writes the file");
    UsageCounter reader(file, calendar, ticks, settings, nullptr);
    Require(file.setAside == setAsideBefore, "the file the counter wrote is never taken for a damaged one");
    const MonthUsage& read = reader.Month();
    Require(read.period.year == month.period.year && read.period.month == month.period.month && read.received == month.received &&
                read.sent == month.sent && read.warned == month.warned && read.limitReached == month.limitReached,
            "a new counter reads the month's figures back as they were written");
    return 0;
}
