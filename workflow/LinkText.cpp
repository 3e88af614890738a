#include "workflow/LinkText.h"

#include "workflow/UsageCounter.h"

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

std::string MonthLine(std::uint64_t monthBytes, std::uint64_t limitMb, const LinkTexts& texts) {
    if (limitMb == 0) return FillInFigures(texts.month, {FormatBytes(monthBytes)});
    return FillInFigures(texts.monthOfLimit, {FormatBytes(monthBytes), FormatBytes(MonthlyLimitBytes(limitMb))});
}

} // namespace vantaro
