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
    port_.Purge();
    std::string line(command);
    line += '\r';
    if (!port_.Write(line)) {
        reader.End(ResponseEnd::NotSent);
        return reader.TakeResponse();
    }

    const std::uint32_t start = clock_.TickCount();
    while (!reader.Done()) {
        if (stop_) {
            reader.End(ResponseEnd::Stopped);
            break;
        }
        // Unsigned difference: right across a wrap of the tick count.
        const std::uint32_t elapsed = clock_.TickCount() - start;
        if (elapsed >= deadlineMs) {
            reader.End(ResponseEnd::TimedOut);
            break;
        }
        const std::uint32_t slice = std::min(deadlineMs - elapsed, kReadSliceMs);
        const std::uint32_t readStart = clock_.TickCount();
        const std::optional<std::string> bytes = port_.Read(slice);
        if (!bytes) {
            reader.End(ResponseEnd::PortLost);
            break;
        }
        const std::uint32_t took = clock_.TickCount() - readStart;
        // A device that is no serial line (a file, a null device) answers every read at once
        // with nothing; waiting out the slice keeps that from spinning.
        if (bytes->empty() && took < slice) clock_.Sleep(slice - took);
        reader.Feed(*bytes);
    }
    return reader.TakeResponse();
}

} // namespace vantaro
