#pragma once
// The file that keeps the monthly byte counts of one user: read whole, replaced whole, or set
// aside when it cannot be used. On Windows it is %APPDATA%\Vantaro\usage.ini
// (settings/win32/Win32UsageFile.h), since the program's own folder is not writable for a
// standard user; tests keep it in memory.

#include <string>

namespace vantaro {

class UsageFile {
public:
    UsageFile() = default;
    UsageFile(const UsageFile&) = delete;
    UsageFile& operator=(const UsageFile&) = delete;
    virtual ~UsageFile() = default;

    enum class ReadResult { Read, Missing, Failed };

    virtual ReadResult Read(std::string& bytes) = 0;
    // The file holds exactly these bytes afterwards, or is as it was (false).
    virtual bool Replace(const std::string& bytes) = 0;
    // Moves the file to usage.ini.bad (replacing an older one), so that a new one can start and
    // the old one can still be looked at. False when it could not be moved.
    virtual bool SetAside() = 0;
};

} // namespace vantaro
