#include "app/CommandOutput.h"

#include "platform/win32/CodePage.h"
#include "platform/win32/Win32MessageSink.h"

#include <windows.h>

#include <climits>

namespace vantaro {

namespace {

bool IsUsable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void WriteText(HANDLE output, const std::string& text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return;
    DWORD mode = 0;
    if (::GetConsoleMode(output, &mode)) {
        // A console shows what it is given in its own code page; through UTF-16 the ANSI texts
        // (GBK on a Chinese Windows) come out right whatever that is.
        const std::wstring wide = WideFromAnsi(text);
        if (wide.empty()) return;
        DWORD written = 0;
        ::WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    DWORD written = 0;
    ::WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// A GUI program gets the standard handles its parent passed (a file, a pipe); without any it
// writes to the console it was started from, if there is one.
HANDLE OpenParentConsole() {
    if (IsUsable(::GetStdHandle(STD_OUTPUT_HANDLE)) || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return INVALID_HANDLE_VALUE;
    return ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}

std::string WithLineEnd(const std::string& text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) return text;
    return text + "\r\n";
}

} // namespace

CommandOutput::CommandOutput(bool quiet, Log& log) : quiet_(quiet), log_(log), console_(OpenParentConsole()) {
    const HANDLE standard = ::GetStdHandle(STD_OUTPUT_HANDLE);
    output_ = console_ ? console_.get() : IsUsable(standard) ? standard : nullptr;
    // The console's prompt came back when the program started; begin on a line of our own.
    if (console_) WriteText(output_, "\r\n");
}

void CommandOutput::Say(const std::string& text) {
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (end > start) log_.Said(std::string_view(text).substr(start, end - start));
        start = end + 2;
    }
    Show(text);
}

void CommandOutput::Show(const std::string& text) {
    if (output_) {
        WriteText(output_, WithLineEnd(text));
    } else if (!quiet_) {
        Win32MessageSink().Show(text);
    }
}

void CommandOutput::Print(const std::string& text) {
    if (output_) WriteText(output_, text);
}

} // namespace vantaro
