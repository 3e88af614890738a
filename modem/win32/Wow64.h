#pragma once
// Whether this 32-bit process runs under the 64-bit Windows emulation layer.

#include "modem/Wow64Query.h"

namespace vantaro {

// Non-zero under WOW64; 0 otherwise or when that cannot be found out (IsWow64Process is
// looked up by name: systems before it do not have it).
int IsRunningUnderWow64();

class Win32Wow64Query final : public Wow64Query {
public:
    int IsRunningUnderWow64() override { return vantaro::IsRunningUnderWow64(); }
};

} // namespace vantaro
