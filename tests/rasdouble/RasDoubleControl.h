#pragma once
// The tests' side of the rasapi32.dll double: puts it in place for the programs that a test
// starts, scripts what it does and reads back what it was asked (see README.md).
//
//   rasdouble::Installation ras("dial_error");           // for the length of the test
//   ras.Set("Dial", "outcome", "error");
//   ...start Vantaro.exe...
//   ras.WaitForLogLine("RasHangUpA handle=");

#include <windows.h>

#include <string>
#include <vector>

namespace vantaro::rasdouble {

// The environment variable that names the script file for the double.
inline constexpr char kScriptVariable[] = "VANTARO_RAS_DOUBLE";
// The environment variable (set by CTest) that names the built double.
inline constexpr char kBuiltDoubleVariable[] = "VANTARO_RAS_DOUBLE_DLL";

class Installation {
public:
    // Copies the double over the system directory's rasapi32.dll (keeping Wine's own aside),
    // tells Wine to load it for the named program (and for no other), and points the programs
    // that this test starts from now on at a script and a log in a folder of the test's own.
    explicit Installation(const std::string& testName, const std::string& programFileName = "Vantaro.exe");
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;
    // Puts Wine's own library and the environment back.
    ~Installation();

    // False (with Error() saying why) when the double could not be put in place.
    bool Installed() const { return installed_; }
    const std::string& Error() const { return error_; }

    // One value of the script; the double reads the script at every call.
    void Set(const std::string& section, const std::string& key, const std::string& value);

    const std::string& ScriptPath() const { return scriptPath_; }
    const std::string& LogPath() const { return logPath_; }
    std::vector<std::string> LogLines() const;
    // The log lines that begin with the prefix.
    std::vector<std::string> LogLinesStartingWith(const std::string& prefix) const;
    // Polls the log until a line begins with the prefix; true when one did in time.
    bool WaitForLogLine(const std::string& prefix, DWORD timeoutMs = 10000) const;

    // Where the system's rasapi32.dll is, as the program loads it by full path.
    static std::string SystemLibraryPath();
    // Puts back what an installation that never got to restore (a crashed test) left behind.
    static void RestoreLeftovers(const std::string& programFileName = "Vantaro.exe");

private:
    bool Install();
    void Restore();

    std::string scriptPath_;
    std::string logPath_;
    std::string systemPath_;
    std::string savedPath_;
    bool installed_ = false;
    std::string error_;
    std::string programFileName_;
};

} // namespace vantaro::rasdouble
