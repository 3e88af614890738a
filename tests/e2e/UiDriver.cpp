#include "e2e/UiDriver.h"

#include "platform/win32/CodePage.h"
#include "platform/win32/UniqueHandle.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vantaro::e2e {

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string converted = "Z:" + path;
    for (char& c : converted)
        if (c == '/') c = '\\';
    return converted;
}

namespace {

std::string EnvironmentFolder(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return WindowsPath(value && *value ? value : fallback);
}

void MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('\\', 3); ; slash = path.find('\\', slash + 1)) {
        ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
        if (slash == std::string::npos) break;
    }
}

void RemoveFolderContents(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveFolderContents(path);
            ::RemoveDirectoryA(path.c_str());
        } else {
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(path.c_str());
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

struct FindContext {
    DWORD processId;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM parameter) {
    auto* context = reinterpret_cast<FindContext*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == context->processId && ::IsWindowVisible(window)) context->windows->push_back(window);
    return TRUE;
}

} // namespace

std::string DistFolder() { return EnvironmentFolder("VANTARO_DIST", "."); }
std::string PnpAgentFolder() { return EnvironmentFolder("VANTARO_PNPAGENT", DistFolder().c_str()); }

std::string WorkFolder(const std::string& testName) {
    std::string folder = EnvironmentFolder("VANTARO_WORK", "test-work") + "\\" + testName;
    MakeFolders(folder);
    RemoveFolderContents(folder);
    return folder;
}

std::string ArtifactsFolder() {
    std::string folder = EnvironmentFolder("VANTARO_ARTIFACTS", "artifacts");
    MakeFolders(folder);
    return folder;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> MachineValue(const std::string& key, const char* name, REGSAM view) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    BYTE data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = REG_NONE;
    const LONG result = ::RegQueryValueExA(opened, name, nullptr, &type, data, &size);
    ::RegCloseKey(opened);
    if (result != ERROR_SUCCESS) return std::nullopt;
    if (type == REG_DWORD) return std::to_string(*reinterpret_cast<DWORD*>(data));
    return std::string(reinterpret_cast<char*>(data));
}

bool MachineKeyExists(const std::string& key, REGSAM view) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return false;
    ::RegCloseKey(opened);
    return true;
}

bool WriteMachineValues(const std::string& key, REGSAM view,
                        const std::vector<std::pair<const char*, std::variant<std::string, std::uint32_t>>>& values) {
    HKEY created = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &created,
                          nullptr) != ERROR_SUCCESS)
        return false;
    bool written = true;
    for (const auto& [name, value] : values) {
        const auto* text = std::get_if<std::string>(&value);
        const DWORD number = text ? 0 : std::get<std::uint32_t>(value);
        written = written && ::RegSetValueExA(created, name, 0, text ? REG_SZ : REG_DWORD,
                                              text ? reinterpret_cast<const BYTE*>(text->c_str())
                                                   : reinterpret_cast<const BYTE*>(&number),
                                              text ? static_cast<DWORD>(text->size() + 1) : sizeof number) ==
                                 ERROR_SUCCESS;
    }
    ::RegCloseKey(created);
    return written;
}

void NoteSkippedFor32Bit(const std::string& testName) {
    const char* work = std::getenv("VANTARO_WORK");
    if (!work) return;
    const std::string folder = WindowsPath(work) + "\\skipped-32bit";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    WriteFile(folder + "\\" + testName, "");
}

std::string WindowText(HWND window) {
    char text[8192] = {};
    // WM_GETTEXT crosses the process boundary; a bounded send keeps a hung program from hanging us.
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                               5000, &copied))
        return {};
    return std::string(text, copied);
}

std::string ControlText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }

bool ControlEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

bool ControlVisible(HWND dialog, int id) {
    return (::GetWindowLongA(::GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void SetControlText(HWND dialog, int id, const std::string& text) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_ABORTIFHUNG, 5000, &ignored);
}

void Click(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void SelectComboItem(HWND dialog, int id, int index) {
    HWND combo = ::GetDlgItem(dialog, id);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo),
                          SMTO_ABORTIFHUNG, 5000, &ignored);
}

void DropDown(HWND dialog, int id) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_DROPDOWN),
                          reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)), SMTO_ABORTIFHUNG, 5000, &ignored);
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(::SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

std::vector<std::string> ComboItems(HWND dialog, int id) {
    // Wine carries CB_GETLBTEXT across processes only in its wide form.
    std::vector<std::string> items;
    const int count = static_cast<int>(::SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        const LRESULT length = ::SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0 || length >= static_cast<LRESULT>(sizeof text / sizeof text[0])) {
            items.push_back("<unreadable>");
            continue;
        }
        ::SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(AnsiFromWide(text));
    }
    return items;
}

std::vector<std::string> ListBoxItems(HWND dialog, int id) {
    std::vector<std::string> items;
    const int count = static_cast<int>(::SendDlgItemMessageW(dialog, id, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        const LRESULT length = ::SendDlgItemMessageW(dialog, id, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0 || length >= static_cast<LRESULT>(sizeof text / sizeof text[0])) {
            items.push_back("<unreadable>");
            continue;
        }
        ::SendDlgItemMessageW(dialog, id, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(AnsiFromWide(text));
    }
    return items;
}

namespace {

// Memory in the process that owns a window, for messages whose arguments are pointers.
class RemoteMemory {
public:
    RemoteMemory(HWND window, std::size_t size) : size_(size) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_) address_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() {
        if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) ::CloseHandle(process_);
    }
    bool Valid() const { return address_ != nullptr; }
    char* Address(std::size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
    bool Write(std::size_t offset, const void* data, std::size_t size) {
        return offset + size <= size_ && ::WriteProcessMemory(process_, Address(offset), data, size, nullptr);
    }
    bool Read(std::size_t offset, void* data, std::size_t size) const {
        return offset + size <= size_ && ::ReadProcessMemory(process_, Address(offset), data, size, nullptr);
    }

private:
    std::size_t size_;
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

constexpr std::size_t kCellRoom = 512;

LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)) return -1;
    return static_cast<LRESULT>(result);
}

} // namespace

std::vector<std::vector<std::string>> ListViewRows(HWND dialog, int id) {
    std::vector<std::vector<std::string>> rows;
    HWND list = ::GetDlgItem(dialog, id);
    const LRESULT count = SendBounded(list, LVM_GETITEMCOUNT, 0, 0);
    HWND header = reinterpret_cast<HWND>(SendBounded(list, LVM_GETHEADER, 0, 0));
    const LRESULT columns = header ? SendBounded(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    RemoteMemory memory(list, sizeof(LVITEMA) + kCellRoom);
    if (!memory.Valid() || count < 0 || columns <= 0) return rows;
    for (LRESULT row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        for (LRESULT column = 0; column < columns; ++column) {
            LVITEMA item{};
            item.iSubItem = static_cast<int>(column);
            item.pszText = memory.Address(sizeof(LVITEMA));
            item.cchTextMax = static_cast<int>(kCellRoom);
            char text[kCellRoom] = {};
            memory.Write(0, &item, sizeof item);
            memory.Write(sizeof(LVITEMA), text, sizeof text);
            SendBounded(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.Address()));
            memory.Read(sizeof(LVITEMA), text, sizeof text - 1);
            cells.push_back(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

bool SelectListViewRow(HWND dialog, int id, int row) {
    HWND list = ::GetDlgItem(dialog, id);
    RemoteMemory memory(list, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!memory.Valid() || !memory.Write(0, &item, sizeof item)) return false;
    return SendBounded(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.Address())) == TRUE;
}

int ListViewSelection(HWND dialog, int id) {
    return static_cast<int>(
        SendBounded(::GetDlgItem(dialog, id), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool SaveWindowImage(HWND window, const std::string& path) {
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD rowBytes = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    std::string pixels(rowBytes * static_cast<DWORD>(height), '\0');
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += pixels;
    WriteFile(path, bytes);
    return true;
}

ProgramRun RunProgram(const std::string& programPath, const std::string& commandLine, DWORD timeoutMs) {
    ProgramRun run;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return run;
    UniqueKernelHandle reader(readEnd);
    UniqueKernelHandle writer(writeEnd);
    ::SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    PROCESS_INFORMATION info;
    std::memset(&info, 0, sizeof info);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!::CreateProcessA(programPath.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &info))
        return run;
    run.started = true;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    writer.reset();

    run.finished = ::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
    if (!run.finished) {
        ::TerminateProcess(process.get(), 99);
        ::WaitForSingleObject(process.get(), 5000);
    }
    ::GetExitCodeProcess(process.get(), &run.exitCode);
    // Only what is there: a service the program started could hold the pipe open.
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(reader.get(), nullptr, 0, nullptr, &available, nullptr) || available == 0) break;
        char buffer[512];
        DWORD read = 0;
        if (!::ReadFile(reader.get(), buffer, sizeof buffer, &read, nullptr) || read == 0) break;
        run.output.append(buffer, read);
    }
    return run;
}

ProgramRun RunWithArguments(const std::string& programPath, const std::string& arguments, DWORD timeoutMs) {
    std::string commandLine = "\"" + programPath + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    return RunProgram(programPath, commandLine, timeoutMs);
}

VantaroProcess::VantaroProcess(const std::string& testName) : folder_(WorkFolder(testName)) {
    const std::string dist = DistFolder();
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((dist + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        ::CopyFileA((dist + "\\" + found.cFileName).c_str(), (folder_ + "\\" + found.cFileName).c_str(), FALSE);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

VantaroProcess::~VantaroProcess() {
    if (process_) {
        if (Running()) {
            ::TerminateProcess(process_, 99);
            ::WaitForSingleObject(process_, 5000);
        }
        ::CloseHandle(process_);
    }
}

bool VantaroProcess::Start(const std::string& arguments) {
    std::string commandLine = "\"" + folder_ + "\\Vantaro.exe\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    // As the desktop starts a program: no standard handles. (Wine would otherwise hand the
    // test's own output on, which Windows does not do for a program with windows.)
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info{};
    // Once in a CI run Wine refused a start that the same run made a moment later: one more
    // try, and the refusal's code on the test's output when that fails too.
    for (int attempt = 0;; ++attempt) {
        if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                             &startup, &info))
            break;
        const DWORD error = ::GetLastError();
        std::fprintf(stderr, "[e2e] starting %s failed with error %lu\n", commandLine.c_str(),
                     static_cast<unsigned long>(error));
        if (attempt == 1) return false;
        ::Sleep(500);
    }
    ::CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    return true;
}

std::vector<HWND> VantaroProcess::TopWindows() const {
    std::vector<HWND> windows;
    FindContext context{processId_, &windows};
    ::EnumWindows(&CollectTopWindow, reinterpret_cast<LPARAM>(&context));
    return windows;
}

std::string VantaroProcess::WindowTitles() const {
    std::string titles;
    for (HWND window : TopWindows()) titles += " \"" + WindowText(window) + "\"";
    return titles.empty() ? " no window" : titles;
}

HWND VantaroProcess::FindTopWindow(const std::string& title) const {
    for (HWND window : TopWindows())
        if (WindowText(window) == title) return window;
    return nullptr;
}

HWND VantaroProcess::WaitForSettingsDialog(DWORD timeoutMs) {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindTopWindow("Dial_Setting")) != nullptr; }, timeoutMs,
              [&] { return "the \"Dial_Setting\" window; the program shows" + WindowTitles(); });
    return dialog;
}

HWND VantaroProcess::WaitForMessageBox(DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindows()) {
                char className[64] = {};
                ::GetClassNameA(window, className, sizeof className);
                // A message box is a dialog whose text lives in static 0xFFFF.
                if (std::string(className) == "#32770" && WindowText(window) == "Vantaro" &&
                    ::GetDlgItem(window, 0xFFFF) != nullptr) {
                    box = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, [&] { return "a \"Vantaro\" message box; the program shows" + WindowTitles(); });
    return box;
}

std::string VantaroProcess::MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

void VantaroProcess::Acknowledge(HWND box) {
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

bool VantaroProcess::WaitForExit(DWORD timeoutMs) {
    if (!process_) return false;
    if (::WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0) return true;
    if (timeoutMs > 0)
        std::cout << "[ timed out] " << timeoutMs << " ms, still waiting for the program to end; it shows" << WindowTitles()
                  << std::endl;
    return false;
}

bool VantaroProcess::Running() const {
    return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD VantaroProcess::ExitCode() const {
    DWORD code = 0;
    if (process_) ::GetExitCodeProcess(process_, &code);
    return code;
}

} // namespace vantaro::e2e
