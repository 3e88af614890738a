#pragma once
// Vantaro.exe holds this named mutex from its start to its end, whatever it was started for, so
// that the setup's uninstaller can see that the program runs (and ask for it to be closed)
// before it starts `Vantaro.exe /uninstall /quiet` and deletes the files. In the Global
// namespace: a Vantaro started in another user's session counts too.
//
// Portable, so that the MSI's custom actions and the tests read the answer as the program does.

#include <cstdint>

namespace vantaro {

inline constexpr char kRunningMutexName[] = "Global\\VantaroRunning";

// The mutex's security descriptor: every user may wait on it (SYNCHRONIZE), so that another
// user's uninstall can open it; SYSTEM, the administrators and its owner may do anything.
// Without it the mutex takes its creator's default, which lets no other user open it.
inline constexpr char kRunningMutexSecurity[] = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;GA;;;OW)(A;;0x00100000;;;WD)";

// The platform's refusal for want of rights (ERROR_ACCESS_DENIED).
inline constexpr std::uint32_t kMutexAccessDenied = 5;

// What an attempt to open the mutex (OpenMutex with SYNCHRONIZE) says: opened, Vantaro runs;
// refused for want of rights, it runs too, in a session whose mutex does not let this user in
// (one made by a Vantaro older than the descriptor above). Any other failure, such as
// ERROR_FILE_NOT_FOUND, means no Vantaro runs.
constexpr bool IsVantaroRunning(bool opened, std::uint32_t openError) {
    return opened || openError == kMutexAccessDenied;
}

} // namespace vantaro
