#pragma once
// usage.ini on disk: replaced whole (platform/win32/WholeFile.h) and set aside by a rename.

#include "settings/UsageFile.h"

#include <mutex>
#include <string>

namespace vantaro {

class Win32UsageFile final : public UsageFile {
public:
    // The files of the user running the program, in %APPDATA%\Vantaro: usage.ini, and apn.ini,
    // the APN that last connected with each SIM (ApnMemory), read, replaced and set aside as
    // usage.ini is.
    enum class OfUser { Usage, Apn };

    explicit Win32UsageFile(std::string path) : path_(std::move(path)), resolved_(true) {}
    // The user's folder is asked of the platform at the first read or write, not here: the
    // answer comes from shell32, which the Settings dialog's start does without. The path is
    // empty (every use fails) when the platform names no such folder.
    explicit Win32UsageFile(OfUser file) : file_(file) {}

    ReadResult Read(std::string& bytes) override;
    bool Replace(const std::string& bytes) override;
    bool SetAside() override;

private:
    // The dialog and the dial worker may both reach the file first.
    std::string Path();

    OfUser file_ = OfUser::Usage;
    std::mutex mutex_;
    std::string path_;
    bool resolved_ = false;
};

} // namespace vantaro
