#pragma once
// The records CreateProcessA takes, with their published sizes. It reads STARTUPINFOA's cb to tell
// the record's forms apart, and both records carry handles and pointers, so the 32-bit and the
// 64-bit build differ. Every file that starts a program includes this instead of sizing the
// records itself.

#include <windows.h>

#include <cstddef>

#if defined(_WIN64)
static_assert(sizeof(STARTUPINFOA) == 104, "the start-up record of a 64-bit program is 104 bytes");
static_assert(offsetof(STARTUPINFOA, dwFlags) == 60 && offsetof(STARTUPINFOA, hStdError) == 96);
static_assert(sizeof(PROCESS_INFORMATION) == 24 && offsetof(PROCESS_INFORMATION, dwProcessId) == 16);
#else
static_assert(sizeof(STARTUPINFOA) == 68, "the start-up record of a 32-bit program is 68 bytes");
static_assert(offsetof(STARTUPINFOA, dwFlags) == 44 && offsetof(STARTUPINFOA, hStdError) == 64);
static_assert(sizeof(PROCESS_INFORMATION) == 16 && offsetof(PROCESS_INFORMATION, dwProcessId) == 8);
#endif
