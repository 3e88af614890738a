#pragma once
// usage.ini on disk: replaced whole (platform/win32/WholeFile.h) and set aside by a rename.

#include "settings/UsageFile.h"

#include <string>

namespace vantaro {

class Win32UsageFile final : public UsageFile {
public:
    explicit Win32UsageFile(std::string path) : path_(std::move(path)) {}

    // %APPDATA%\Vantaro\usage.ini of the user running the program; empty when the platform
    // names no such folder.
    static std::string UserFilePath();
    // %APPDATA%\Vantaro\apn.ini, the APN that last connected with each SIM (ApnMemory); read,
    // replaced and set aside as usage.ini is.
    static std::string ApnFilePath();

    const std::string& Path() const { return path_; }
    ReadResult Read(std::string& bytes) override;
    bool Replace(const std::string& bytes) override;
    bool SetAside() override;

private:
    std::string path_;
};

} // namespace vantaro
