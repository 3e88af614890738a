#include "workflow/LinkText.h"


#include <algorithm>
#include <cstdio>

namespace vantaro {

std::string FormatBytes(std::uint64_t bytes) {
    constexpr std::uint64_t kKilo = 1024;
    if (bytes < kKilo) return std::to_string(bytes) + " B";
    // Tenths, rounded down, in integers: no floating point and no "1024.0 KB".
    const bool mega = bytes >= kKilo * kKilo;
    const std::uint64_t unit = mega ? kKilo * kKilo : kKilo;
    const std::uint64_t tenths = bytes * 10 / unit;  // bytes stay far below 2^60
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + (mega ? " MB" : " KB");
}

std::string FormatDuration(std::uint32_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::string FillInFigures(const std::string& text, const std::vector<std::string>& values) {
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const std::size_t index = static_cast<std::size_t>(text[++i] - '1');
            if (index < values.size()) filled += values[index];
        } else {
            filled += text[i];
        }
    }
    return filled;
}

std::string StatisticsLine(const LinkFigures& figures, const LinkTexts& texts) {
    if (!figures.sampled) return {};
    const bool speed = figures.speedKnown && !figures.stale;
    const auto perSecond = [&](std::uint64_t bytes) { return speed ? FormatBytes(bytes) + "/s" : texts.unknownMark; };
    return FillInFigures(texts.statistics, {FormatDuration(figures.connectedSeconds), FormatBytes(figures.received),
                                            FormatBytes(figures.sent), perSecond(figures.receivedPerSecond),
                                            perSecond(figures.sentPerSecond)});
}

std::string PeriodDate(const CalendarDate& date, const LinkTexts& texts) {
    std::string name = std::to_string(date.month);
    // Words between blanks; a blank is never a byte of a GBK character.
    std::size_t begin = 0;
    for (int word = 1; word <= date.month; ++word) {
        begin = texts.monthNames.find_first_not_of(' ', begin);
        if (begin == std::string::npos) break;
        const std::size_t end = std::min(texts.monthNames.find(' ', begin), texts.monthNames.size());
        if (word == date.month) name = texts.monthNames.substr(begin, end - begin);
        begin = end;
    }
    return FillInFigures(texts.date, {std::to_string(date.day), name});
}

std::string PeriodLine(const MonthUsage& usage, std::optional<std::uint64_t> projected, std::uint64_t limitMb,
                       const LinkTexts& texts) {
    const std::string since = PeriodDate(usage.period.Start(), texts);
    std::string line = limitMb == 0 ? FillInFigures(texts.period, {since, FormatBytes(usage.Total())})
                                    : FillInFigures(texts.periodOfLimit, {since, FormatBytes(usage.Total()),
                                                                          FormatBytes(MonthlyLimitBytes(limitMb))});
    if (projected)
        line += "   " + FillInFigures(texts.projection, {FormatBytes(*projected), PeriodDate(usage.period.LastDay(), texts)});
    return line;
}

} // namespace vantaro
