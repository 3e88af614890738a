#pragma once
// APNs that every place taking one must agree on (the dialog's save, the install from the
// command line, the MSI's properties): an APN is letters, digits, '.', '-' and '_', or empty.
// Anything else would reach the modem's init string, where a '"' ends the APN's field and a ';'
// starts an AT command of its own.

namespace vantaro::testing {

struct ApnCase {
    const char* apn;
    bool accepted;
};

inline constexpr ApnCase kApnCases[] = {
    {"cmnet", true},
    {"internet.mnc012.mcc345.gprs", true},
    {"a-b_c", true},
    {"Web.Operator-1", true},
    {"", true},  // the network's own default
    {"in\"ternet", false},
    {"a;+CLCK=\"SC\",1,\"1234\"", false},
    {"cmnet\",\"\",0,0;+CFUN=0;+cgdcont=1,\"IP\",\"x", false},
    {"a b", false},
    {"a,b", false},
    {"\xE4", false},  // a letter outside ASCII (ANSI)
    {"\xC3\xA4pn", false},  // the same letter as UTF-8
};

} // namespace vantaro::testing
