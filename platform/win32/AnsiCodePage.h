#pragma once
// The ANSI code page's lead-byte test, for the portable rules that take a LeadByteTest.

#include <windows.h>

namespace vantaro {

inline bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

} // namespace vantaro
