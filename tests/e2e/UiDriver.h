#pragma once
// Drives the real Vantaro.exe from outside, as a user would: it starts the program from a
// fresh copy of the distribution folder, finds its windows, reads and sets control texts,
// clicks, and answers message boxes. Every wait has a bound.

#include <windows.h>

#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vantaro::e2e {

// Generous: a loaded machine can take seconds to show a window; only a failure waits this long.
constexpr DWORD kDefaultWait = 30000;

// A Unix path from the test environment as Wine's Windows path (Z: is the root).
std::string WindowsPath(const std::string& unixOrWindowsPath);
// The folders CTest names for the test: the built distribution, a scratch folder, artifacts.
std::string DistFolder();
// Where pnpagent64.exe is: the 32-bit build's distribution folder; in the 64-bit build, which
// ships no helper, a folder of its own.
std::string PnpAgentFolder();
std::string WorkFolder(const std::string& testName);
std::string ArtifactsFolder();

struct ProgramRun {
    bool started = false;
    bool finished = false;  // within the time allowed (else it was ended)
    DWORD exitCode = 0;
    std::string output;     // standard output and error
};
// Runs a console program with its output captured; ends it if it takes longer than `timeoutMs`.
ProgramRun RunProgram(const std::string& programPath, const std::string& commandLine, DWORD timeoutMs = kDefaultWait);
// The same, with the program's quoted path and then `arguments` as its command line.
ProgramRun RunWithArguments(const std::string& programPath, const std::string& arguments,
                            DWORD timeoutMs = kDefaultWait);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// Text of a window or control, and of a dialog control by id (through WM_GETTEXT).
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
bool ControlVisible(HWND dialog, int id);
// Sets an edit's text as typing would: the dialog gets the edit's change notification.
void SetControlText(HWND dialog, int id, const std::string& text);
// A button click, posted so that a handler that opens a modal window does not block the test.
void Click(HWND dialog, int id);
// Selects a combo item and tells the dialog, as a user's choice does.
void SelectComboItem(HWND dialog, int id, int index);
// The combo's drop-down notification, as when the user opens the list.
void DropDown(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);
std::vector<std::string> ComboItems(HWND dialog, int id);

// A list box's items (read in their wide form, as Wine carries them across processes).
std::vector<std::string> ListBoxItems(HWND dialog, int id);
// The cells of a report-style list view, row by row. A list view's messages carry pointers, so
// these go through memory of the program that owns the control.
std::vector<std::vector<std::string>> ListViewRows(HWND dialog, int id);
// Selects a row as a user's click does (the dialog hears of the change); -1 when none is selected.
bool SelectListViewRow(HWND dialog, int id, int row);
int ListViewSelection(HWND dialog, int id);

// Polls until the condition holds or the time is up; true when it held. When a wait (not a
// look, timeoutMs 0) runs out, it prints what it waited for: `waitingFor` is a text, or a
// callable that gives one then (so it can say what it saw instead).
template <typename Condition, typename WaitingFor = const char*>
bool WaitUntil(Condition condition, DWORD timeoutMs = kDefaultWait, WaitingFor waitingFor = "a condition") {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start >= timeoutMs) {
            if (timeoutMs > 0) {
                std::string what;
                if constexpr (std::is_invocable_v<WaitingFor>)
                    what = waitingFor();
                else
                    what = waitingFor;
                std::cout << "[ timed out] " << timeoutMs << " ms, still waiting for " << what << std::endl;
            }
            return false;
        }
        ::Sleep(20);
    }
}

// A value under HKEY_LOCAL_MACHINE as text (a DWORD in decimal), in the given registry view;
// nothing when the key or the value is missing.
std::optional<std::string> MachineValue(const std::string& key, const char* name, REGSAM view = 0);
bool MachineKeyExists(const std::string& key, REGSAM view = 0);
// Creates the key and writes the values (strings, or DWORDs given as `std::uint32_t`).
bool WriteMachineValues(const std::string& key, REGSAM view,
                        const std::vector<std::pair<const char*, std::variant<std::string, std::uint32_t>>>& values);

// A test that only means something in a 32-bit process (Vantaro under WOW64) skips itself in the
// 64-bit build and says why, first leaving an empty file named after itself in
// %VANTARO_WORK%\skipped-32bit\ for the test script to count.
void NoteSkippedFor32Bit(const std::string& testName);
#define VANTARO_ONLY_IN_A_32BIT_PROCESS(reason)                                                      \
    if (sizeof(void*) == 8) {                                                                       \
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info(); \
        ::vantaro::e2e::NoteSkippedFor32Bit(std::string(test->test_suite_name()) + "." + test->name()); \
        GTEST_SKIP() << "only means something in a 32-bit process: " << (reason);                   \
    }

// Saves the window's pixels as a 24-bit BMP.
bool SaveWindowImage(HWND window, const std::string& path);

// One run of Vantaro.exe in its own copy of the distribution folder.
class VantaroProcess {
public:
    // Copies every file of the distribution folder into `folder` (made afresh).
    explicit VantaroProcess(const std::string& testName);
    // The program where a setup installed it: nothing is copied.
    struct Installed {
        std::string folder;
    };
    explicit VantaroProcess(Installed installed) : folder_(std::move(installed.folder)) {}
    VantaroProcess(const VantaroProcess&) = delete;
    VantaroProcess& operator=(const VantaroProcess&) = delete;
    // Ends the program if it still runs.
    ~VantaroProcess();

    const std::string& Folder() const { return folder_; }
    std::string SettingsPath() const { return folder_ + "\\Setting.ini"; }
    void WriteSettings(const std::string& bytes) { WriteFile(SettingsPath(), bytes); }
    void RemoveSettings() { ::DeleteFileA(SettingsPath().c_str()); }

    // Starts the program as the desktop does (no standard handles, no console), with nothing but
    // its own path on the command line, or with `arguments`.
    bool Start(const std::string& arguments = {});
    // The Settings dialog, once it is on screen; null when it did not come in time.
    HWND WaitForSettingsDialog(DWORD timeoutMs = kDefaultWait);
    // A message box of this program (title "Vantaro") other than the given windows.
    HWND WaitForMessageBox(DWORD timeoutMs = kDefaultWait);
    // The message box's text.
    static std::string MessageBoxText(HWND box);
    // Closes a message box with its OK button.
    static void Acknowledge(HWND box);
    // A visible top-level dialog of this program with that title.
    HWND FindTopWindow(const std::string& title) const;
    std::vector<HWND> TopWindows() const;
    // Their titles, each in quotes after a blank, for the message of a wait that ran out.
    std::string WindowTitles() const;

    bool WaitForExit(DWORD timeoutMs = kDefaultWait);
    bool Running() const;
    DWORD ExitCode() const;
    DWORD ProcessId() const { return processId_; }

private:
    std::string folder_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

} // namespace vantaro::e2e
