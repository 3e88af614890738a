#pragma once
// The device-installation records the program hands to SetupAPI, with their published sizes.
// SetupAPI checks cbSize against the one size it knows for the architecture and fails with
// ERROR_INVALID_USER_BUFFER on any other, so a header that packs a record differently would
// break every install at run time. The records are packed to 1 byte in 32-bit Windows and to
// 8 in 64-bit Windows: the two builds differ wherever a pointer-sized member sits.

#include <windows.h>
#include <setupapi.h>

#include <cstddef>

#if defined(_WIN64)
static_assert(sizeof(void*) == 8);
// A device of a device information set: DevInst, then the ULONG_PTR Reserved.
static_assert(sizeof(SP_DEVINFO_DATA) == 32);
static_assert(offsetof(SP_DEVINFO_DATA, DevInst) == 20 && offsetof(SP_DEVINFO_DATA, Reserved) == 24);
// A driver the INF offers (the second published form, with its date and version).
static_assert(sizeof(SP_DRVINFO_DATA_A) == 800);
static_assert(offsetof(SP_DRVINFO_DATA_A, Description) == 16 && offsetof(SP_DRVINFO_DATA_A, DriverVersion) == 792);
// A device's install parameters: the window and queue handles move Flags' neighbours and DriverPath.
static_assert(sizeof(SP_DEVINSTALL_PARAMS_A) == 320);
static_assert(offsetof(SP_DEVINSTALL_PARAMS_A, Flags) == 4 && offsetof(SP_DEVINSTALL_PARAMS_A, DriverPath) == 60);
#else
static_assert(sizeof(void*) == 4);
static_assert(sizeof(SP_DEVINFO_DATA) == 28);
static_assert(offsetof(SP_DEVINFO_DATA, DevInst) == 20 && offsetof(SP_DEVINFO_DATA, Reserved) == 24);
static_assert(sizeof(SP_DRVINFO_DATA_A) == 796);
static_assert(offsetof(SP_DRVINFO_DATA_A, Description) == 12 && offsetof(SP_DRVINFO_DATA_A, DriverVersion) == 788);
static_assert(sizeof(SP_DEVINSTALL_PARAMS_A) == 296);
static_assert(offsetof(SP_DEVINSTALL_PARAMS_A, Flags) == 4 && offsetof(SP_DEVINSTALL_PARAMS_A, DriverPath) == 36);
#endif
// An INF's original name: only DWORDs and characters, the same in both builds.
static_assert(sizeof(SP_ORIGINAL_FILE_INFO_A) == 524);
static_assert(offsetof(SP_ORIGINAL_FILE_INFO_A, OriginalInfName) == 4);
