#include "log/win32/Win32LogFile.h"

#include "platform/win32/CodePage.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <climits>

namespace vantaro {

namespace {

// How long a line waits for a file that another writer holds: other Vantaro processes hold it
// for one line at a time.
constexpr int kOpenAttempts = 20;
constexpr DWORD kOpenRetryMilliseconds = 5;

class Win32OpenLogFile final : public OpenLogFile {
public:
    Win32OpenLogFile(HANDLE file, const std::string& path) : file_(file), path_(path) {}

    std::optional<std::uint64_t> Size() override {
        LARGE_INTEGER size;
        if (!::GetFileSizeEx(file_.get(), &size) || size.QuadPart < 0) return std::nullopt;
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    bool Append(std::string_view bytes) override {
        if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
        DWORD written = 0;
        return ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }

    // The handle shares deletion, so the file can be renamed while this writer still holds it
    // and no other writer gets in between.
    bool MoveToOlder() override {
        return ::MoveFileExA(path_.c_str(), (path_ + kOlderLogSuffix).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }

private:
    UniqueKernelHandle file_;
    const std::string& path_;
};

} // namespace

std::unique_ptr<OpenLogFile> Win32LogFolder::Open() {
    // A log marked read-only is left alone, by an administrator too (who could write it).
    const DWORD attributes = ::GetFileAttributesA(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return nullptr;
    const int attempts = waitedInVain_ ? 1 : kOpenAttempts;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) ::Sleep(kOpenRetryMilliseconds);
        // Appending only: every write lands at the end, whoever else has written meanwhile.
        HANDLE file = ::CreateFileA(path_.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            waitedInVain_ = false;
            return std::make_unique<Win32OpenLogFile>(file, path_);
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) return nullptr;
    }
    waitedInVain_ = true;
    return nullptr;
}

LogTime LocalLogClock::Now() const {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return LogTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

FileLog::FileLog(const std::string& settingsPath)
    : path_(LogPathBeside(settingsPath)),
      folder_(path_),
      file_(folder_),
      log_(file_, clock_, ::GetCurrentProcessId(), &Utf8FromAnsi) {}

} // namespace vantaro
