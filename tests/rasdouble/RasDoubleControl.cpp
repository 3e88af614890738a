#include "rasdouble/RasDoubleControl.h"

#include "e2e/UiDriver.h"

#include <sstream>

namespace vantaro::rasdouble {

namespace {

constexpr char kSavedSuffix[] = ".vantaro-saved";
constexpr char kLibraryName[] = "rasapi32";
// Wine's load order for one program. The double is taken from the system directory, where Wine
// otherwise insists on its own builtin library; "native" alone means that a program started
// without the double fails to load instead of quietly getting Wine's library.
constexpr char kAppDefaults[] = "Software\\Wine\\AppDefaults\\";
constexpr char kDllOverrides[] = "\\DllOverrides";
constexpr char kNativeOnly[] = "native";

std::string Environment(const char* name) {
    char value[4096] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string LastErrorText(const std::string& what) {
    return what + " (error " + std::to_string(::GetLastError()) + ")";
}

std::string OverridesKey(const std::string& programFileName) {
    return kAppDefaults + programFileName + kDllOverrides;
}

bool SetNativeOverride(const std::string& programFileName) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, OverridesKey(programFileName).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool set = ::RegSetValueExA(key, kLibraryName, 0, REG_SZ, reinterpret_cast<const BYTE*>(kNativeOnly),
                                      sizeof kNativeOnly) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return set;
}

void RemoveNativeOverride(const std::string& programFileName) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, OverridesKey(programFileName).c_str(), 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueA(key, kLibraryName);
        ::RegCloseKey(key);
    }
    // The keys go only when nothing else is in them (a key with values or subkeys stays).
    HKEY overrides = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, OverridesKey(programFileName).c_str(), 0, KEY_QUERY_VALUE, &overrides) ==
        ERROR_SUCCESS) {
        DWORD values = 0, subkeys = 0;
        ::RegQueryInfoKeyA(overrides, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                           nullptr, nullptr);
        ::RegCloseKey(overrides);
        if (values == 0 && subkeys == 0) {
            ::RegDeleteKeyA(HKEY_CURRENT_USER, OverridesKey(programFileName).c_str());
            ::RegDeleteKeyA(HKEY_CURRENT_USER, (kAppDefaults + programFileName).c_str());
        }
    }
}

} // namespace

std::string Installation::SystemLibraryPath() {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder, length) + "\\rasapi32.dll";
}

void Installation::RestoreLeftovers(const std::string& programFileName) {
    const std::string saved = SystemLibraryPath() + kSavedSuffix;
    if (e2e::FileExists(saved)) ::MoveFileExA(saved.c_str(), SystemLibraryPath().c_str(), MOVEFILE_REPLACE_EXISTING);
    RemoveNativeOverride(programFileName);
}

Installation::Installation(const std::string& testName, const std::string& programFileName)
    : programFileName_(programFileName) {
    const std::string folder = e2e::WorkFolder("rasdouble_" + testName);
    scriptPath_ = folder + "\\script.ini";
    logPath_ = folder + "\\calls.log";
    e2e::WriteFile(scriptPath_, "");
    Set("Log", "file", logPath_);
    installed_ = Install();
}

Installation::~Installation() { Restore(); }

bool Installation::Install() {
    const std::string built = e2e::WindowsPath(Environment(kBuiltDoubleVariable));
    if (built.empty() || !e2e::FileExists(built)) {
        error_ = std::string(kBuiltDoubleVariable) + " does not name the built double";
        return false;
    }
    systemPath_ = SystemLibraryPath();
    savedPath_ = systemPath_ + kSavedSuffix;
    // A test that ended without restoring left Wine's library aside: that copy is the real one.
    RestoreLeftovers(programFileName_);
    if (e2e::FileExists(savedPath_)) {
        error_ = "cannot put back " + savedPath_;
        return false;
    }
    if (!::CopyFileA(systemPath_.c_str(), savedPath_.c_str(), FALSE)) {
        error_ = LastErrorText("cannot keep " + systemPath_);
        return false;
    }
    if (!::CopyFileA(built.c_str(), systemPath_.c_str(), FALSE)) {
        error_ = LastErrorText("cannot copy the double to " + systemPath_);
        ::DeleteFileA(savedPath_.c_str());
        return false;
    }
    if (!SetNativeOverride(programFileName_)) {
        error_ = "cannot set the load order for " + programFileName_;
        ::MoveFileExA(savedPath_.c_str(), systemPath_.c_str(), MOVEFILE_REPLACE_EXISTING);
        return false;
    }
    ::SetEnvironmentVariableA(kScriptVariable, scriptPath_.c_str());
    return true;
}

void Installation::Restore() {
    if (!installed_) return;
    ::SetEnvironmentVariableA(kScriptVariable, nullptr);
    RemoveNativeOverride(programFileName_);
    ::MoveFileExA(savedPath_.c_str(), systemPath_.c_str(), MOVEFILE_REPLACE_EXISTING);
    installed_ = false;
}

void Installation::Set(const std::string& section, const std::string& key, const std::string& value) {
    ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), scriptPath_.c_str());
}

std::vector<std::string> Installation::LogLines() const {
    std::vector<std::string> lines;
    std::istringstream text(e2e::ReadFile(logPath_));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Installation::LogLinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const std::string& line : LogLines())
        if (line.compare(0, prefix.size(), prefix) == 0) matching.push_back(line);
    return matching;
}

bool Installation::WaitForLogLine(const std::string& prefix, DWORD timeoutMs) const {
    return e2e::WaitUntil([&] { return !LogLinesStartingWith(prefix).empty(); }, timeoutMs);
}

} // namespace vantaro::rasdouble
