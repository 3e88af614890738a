#pragma once
// Vantaro.exe holds this named mutex from its start to its end, whatever it was started for, so
// that the setup's uninstaller can see that the program runs (and ask for it to be closed)
// before it starts `Vantaro.exe /uninstall /quiet` and deletes the files. In the Global
// namespace: a Vantaro started in another user's session counts too.

namespace vantaro {

inline constexpr char kRunningMutexName[] = "Global\\VantaroRunning";

} // namespace vantaro
