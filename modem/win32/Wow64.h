#pragma once
// Whether this 32-bit process runs under the 64-bit Windows emulation layer.

namespace vantaro {

// True under WOW64; false otherwise or when that cannot be found out (IsWow64Process is looked
// up by name: systems before it do not have it).
bool IsRunningUnderWow64();

} // namespace vantaro
