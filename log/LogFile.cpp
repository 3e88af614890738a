#include "log/LogFile.h"

namespace vantaro {

void RotatingLogFile::Append(std::string_view line) noexcept {
    try {
        std::unique_ptr<OpenLogFile> file = folder_.Open();
        if (!file) return;
        std::optional<std::uint64_t> size = file->Size();
        if (size && *size > 0 && *size + line.size() > kMaxLogFileBytes && file->MoveToOlder()) {
            // A rename that is refused (the older file read-only) leaves the line in the full file:
            // a longer log is better than a lost line.
            file.reset();
            file = folder_.Open();
            if (!file) return;
            size = file->Size();
        }
        if (size && *size == 0)
            file->Append(std::string(kUtf8ByteOrderMark) + std::string(line));
        else
            file->Append(line);
    } catch (...) {
        // A log must never stop the work it records.
    }
}

std::string LogPathBeside(const std::string& settingsPath) {
    const std::string::size_type slash = settingsPath.find_last_of("\\/");
    if (slash == std::string::npos) return kLogFileName;
    return settingsPath.substr(0, slash + 1) + kLogFileName;
}

} // namespace vantaro
