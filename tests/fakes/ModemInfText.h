#pragma once
// Modem INF files for the tests of the INF check, the helper's fakes, the fuzz seeds and the
// benchmark: a small complete one that copies a driver file of its own, ways to grow it to any
// size, and its UTF-16 form.

#include "fakes/Utf16Bytes.h"
#include <cstddef>
#include <string>

namespace vantaro::testing {

inline constexpr char kInfHardwareId[] = "USB\\VID_1782&PID_0003&MI_01";
// The driver file the INF below copies, and where it is relative to the INF.
inline constexpr char kInfDriverFile[] = "zorser.sys";
inline constexpr char kInfDriverPath[] = "driver\\zorser.sys";

// A modem INF for kInfHardwareId on both kinds of Windows, whose install copies kInfDriverFile
// from the "driver" folder beside it. Lines end in CRLF.
inline std::string ModemInf() {
    return "; A phone modem with a driver file of its own.\r\n"
           "[Version]\r\n"
           "Signature=\"$Windows NT$\"\r\n"
           "Class=Modem\r\n"
           "ClassGuid={4D36E96D-E325-11CE-BFC1-08002BE10318}\r\n"
           "Provider=%Vendor%\r\n"
           "DriverVer=12/08/2026,1.0.0.0\r\n"
           "\r\n"
           "[Manufacturer]\r\n"
           "%Vendor%=Phones,NTx86,NTamd64\r\n"
           "\r\n"
           "[Phones.NTx86]\r\n"
           "%Phone%=PhoneModem,USB\\VID_1782&PID_0003&MI_01\r\n"
           "\r\n"
           "[Phones.NTamd64]\r\n"
           "%Phone%=PhoneModem,USB\\VID_1782&PID_0003&MI_01\r\n"
           "\r\n"
           "[PhoneModem.NT]\r\n"
           "CopyFiles=PhoneFiles\r\n"
           "AddReg=PhoneReg\r\n"
           "\r\n"
           "[SourceDisksNames]\r\n"
           "1=%Disk%,,,\\driver\r\n"
           "\r\n"
           "[SourceDisksFiles]\r\n"
           "zorser.sys=1\r\n"
           "\r\n"
           "[DestinationDirs]\r\n"
           "PhoneFiles=12\r\n"
           "\r\n"
           "[PhoneFiles]\r\n"
           "zorser.sys\r\n"
           "\r\n"
           "[PhoneReg]\r\n"
           "HKR,,DriverDesc,,%Phone%\r\n"
           "HKR,Settings,Prefix,,\"AT\"\r\n"
           "\r\n"
           "[Strings]\r\n"
           "Vendor=\"ZOR\"\r\n"
           "Phone=\"ZOR GPRS Modem\"\r\n"
           "Disk=\"ZOR driver disk\"\r\n";
}

// The text with every `from` replaced by `to`.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// ModemInf() grown to at least `bytes` bytes the way large driver packages grow: another
// manufacturer with many models (listed before ours, so that the search passes them all), each
// with its description in [Strings].
inline std::string ModemInfOfSize(std::size_t bytes) {
    const std::string base = ModemInf();
    std::string models;
    std::string strings;
    for (unsigned i = 0; base.size() + 2 * models.size() + strings.size() < bytes; ++i) {
        const std::string number = std::to_string(i);
        const std::string line = "%Other" + number + "%=OtherModem,USB\\VID_2000&PID_" + number + "&MI_01\r\n";
        models += line;
        strings += "Other" + number + "=\"Other phone modem number " + number + "\"\r\n";
    }
    std::string text = Replaced(base, "%Vendor%=Phones,NTx86,NTamd64\r\n",
                                "%Other%=Others,NTx86,NTamd64\r\n%Vendor%=Phones,NTx86,NTamd64\r\n");
    text += "\r\n[Others.NTx86]\r\n" + models + "\r\n[Others.NTamd64]\r\n" + models +
            "\r\n[OtherModem.NT]\r\nAddReg=PhoneReg\r\n\r\n[Strings]\r\nOther=\"Other\"\r\n" + strings;
    return text;
}

// The text (ASCII) as a UTF-16LE file with its byte-order mark.
inline std::string Utf16LeFile(const std::string& ascii) { return Utf16Le(std::u16string(ascii.begin(), ascii.end())); }

} // namespace vantaro::testing
