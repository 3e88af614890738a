#pragma once
// The log file on Windows, the local time, and the ANSI-to-UTF-8 conversion of the texts the
// program holds in the ANSI code page (the GBK texts of Setting.ini on a Chinese Windows).

#include "log/LogFile.h"

#include <string>
#include <string_view>

namespace vantaro {

class Win32LogFolder final : public LogFolder {
public:
    explicit Win32LogFolder(std::string logPath) : path_(std::move(logPath)) {}
    std::unique_ptr<OpenLogFile> Open() override;

private:
    std::string path_;
    // After one wait for a file held by another program ran out, the next lines try once only,
    // so a log held open for long does not slow every step down.
    bool waitedInVain_ = false;
};

class LocalLogClock final : public LogClock {
public:
    LogTime Now() const override;
};

// The program's log, Vantaro.log beside the settings file, ready to write to.
class FileLog {
public:
    explicit FileLog(const std::string& settingsPath);
    FileLog(const FileLog&) = delete;
    FileLog& operator=(const FileLog&) = delete;

    Log& Get() { return log_; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    Win32LogFolder folder_;
    RotatingLogFile file_;
    LocalLogClock clock_;
    Log log_;
};

} // namespace vantaro
