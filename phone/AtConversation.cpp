#include "phone/AtConversation.h"

#include <algorithm>
#include <string>

namespace vantaro {

AtResponse AtConversation::Send(std::string_view command, std::uint32_t deadlineMs) {
    ResponseReader reader(command);
    if (stop_) {
        reader.End(ResponseEnd::Stopped);
        return reader.TakeResponse();
    }
    if (!Write(command)) {
        reader.End(ResponseEnd::NotSent);
        return reader.TakeResponse();
    }
    const std::uint32_t start = clock_.TickCount();
    while (!reader.Done()) {
        ResponseEnd why = ResponseEnd::Reading;
        const std::optional<std::string> bytes = ReadSlice(start, deadlineMs, why);
        if (!bytes) {
            reader.End(why);
            break;
        }
        reader.Feed(*bytes);
    }
    return reader.TakeResponse();
}

bool AtConversation::Write(std::string_view command) {
    port_.Purge();
    std::string line(command);
    line += '\r';
    return port_.Write(line);
}

std::optional<std::string> AtConversation::ReadSlice(std::uint32_t start, std::uint32_t deadlineMs, ResponseEnd& why) {
    if (stop_) {
        why = ResponseEnd::Stopped;
        return std::nullopt;
    }
    // Unsigned difference: right across a wrap of the tick count.
    const std::uint32_t elapsed = clock_.TickCount() - start;
    if (elapsed >= deadlineMs) {
        why = ResponseEnd::TimedOut;
        return std::nullopt;
    }
    const std::uint32_t slice = std::min(deadlineMs - elapsed, kReadSliceMs);
    const std::uint32_t readStart = clock_.TickCount();
    std::optional<std::string> bytes = port_.Read(slice);
    if (!bytes) {
        why = ResponseEnd::PortLost;
        return std::nullopt;
    }
    const std::uint32_t took = clock_.TickCount() - readStart;
    // A device that is no serial line (a file, a null device) answers every read at once
    // with nothing; waiting out the slice keeps that from spinning.
    if (bytes->empty() && took < slice) clock_.Sleep(slice - took);
    return bytes;
}

} // namespace vantaro
