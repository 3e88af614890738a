#pragma once
// The APN that last connected with each SIM, kept per user in %APPDATA%\Vantaro\apn.ini: one
// section a SIM, named by its ICCID, holding only "apn". Read whole and replaced whole through
// the same file interface as usage.ini; a file that is not what this writes is set aside to
// apn.ini.bad and the memory starts empty.

#include "settings/UsageFile.h"

#include <string>

namespace vantaro {

class ApnMemory {
public:
    explicit ApnMemory(UsageFile& file) : file_(file) {}
    ApnMemory(const ApnMemory&) = delete;
    ApnMemory& operator=(const ApnMemory&) = delete;

    // The APN remembered for the SIM of this ICCID (its digits); "" when none is, when the
    // ICCID is not one, or when the file cannot be read.
    std::string Remembered(const std::string& iccid);
    // Keeps the APN for the SIM, replacing what was kept for it. False when the ICCID or the
    // APN is not one this file holds, or the file could not be written.
    bool Remember(const std::string& iccid, const std::string& apn);

private:
    // The file's text, "" for a missing one or one set aside; false when it could not be read.
    bool ReadText(std::string& text);

    UsageFile& file_;
};

// An ICCID as the SIM gives it: 18 to 20 digits (19 or 20 by ITU-T E.118, 18 on old cards).
bool IsIccid(const std::string& iccid);

} // namespace vantaro
