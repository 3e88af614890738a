#pragma once
// Vantaro.log beside Setting.ini: UTF-8 with a byte-order mark (written when the file is new, so
// Notepad reads it as UTF-8), and never more than 1 MB: a line that would take it past that goes
// to a new file, and the full one becomes Vantaro.log.1 (replacing the older one).
//
// Several Vantaro processes may write the same file (an uninstall while the dialog is open), so
// the file is opened for each line, by one writer at a time: the size that decides the byte-order
// mark and the rename is the size of the file being written.

#include "log/Log.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

inline constexpr char kLogFileName[] = "Vantaro.log";
inline constexpr char kOlderLogSuffix[] = ".1";
inline constexpr std::uint64_t kMaxLogFileBytes = 1024 * 1024;
inline constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

// The log file, open for appending by this writer alone (others may read it).
class OpenLogFile {
public:
    OpenLogFile() = default;
    OpenLogFile(const OpenLogFile&) = delete;
    OpenLogFile& operator=(const OpenLogFile&) = delete;
    virtual ~OpenLogFile() = default;

    // Nothing when the size cannot be read.
    virtual std::optional<std::uint64_t> Size() = 0;
    virtual bool Append(std::string_view bytes) = 0;
    // Renames this file to the older log's name, replacing that one; false when it stays.
    virtual bool MoveToOlder() = 0;
};

class LogFolder {
public:
    LogFolder() = default;
    LogFolder(const LogFolder&) = delete;
    LogFolder& operator=(const LogFolder&) = delete;
    virtual ~LogFolder() = default;

    // The log file, made when it is missing; null when it cannot be opened (read-only, held by
    // another program past a short wait, the folder gone).
    virtual std::unique_ptr<OpenLogFile> Open() = 0;
};

class RotatingLogFile final : public LogSink {
public:
    explicit RotatingLogFile(LogFolder& folder) : folder_(folder) {}
    void Append(std::string_view line) noexcept override;

private:
    LogFolder& folder_;
};

// The log's path beside the settings file (either slash ends the folder).
std::string LogPathBeside(const std::string& settingsPath);

} // namespace vantaro
