#include "platform/win32/WholeFile.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace vantaro {

namespace {

constexpr char kTemporaryPrefix[] = "vnt";

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);  // "C:\"
    return path.substr(0, slash);
}

// The new content in a file of its own beside the old one, flushed; its path, or empty when no
// such file can be made or written in full (it is then removed again).
std::string WriteBeside(const std::string& path, const std::string& bytes) {
    const std::string folder = FolderOf(path);
    char temporary[MAX_PATH] = {};
    // GetTempFileNameA needs room for the folder, a backslash and 13 characters of name.
    if (folder.size() >= MAX_PATH - 14) return {};
    if (::GetTempFileNameA(folder.c_str(), kTemporaryPrefix, 0, temporary) == 0) return {};
    bool written = false;
    {
        UniqueKernelHandle file(::CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
        written = file && WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    }
    if (!written) {
        ::DeleteFileA(temporary);
        return {};
    }
    return temporary;
}

} // namespace

WholeFileRead ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    UniqueKernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? WholeFileRead::Missing
                                                                               : WholeFileRead::Failed;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > std::numeric_limits<std::size_t>::max() / 2)
        return WholeFileRead::Failed;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!::ReadFile(file.get(), &bytes[done], chunk, &read, nullptr)) return WholeFileRead::Failed;
        if (read == 0) break;  // shorter than it said: what is there is the file
        done += read;
    }
    bytes.resize(done);
    return WholeFileRead::Read;
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // The user marked the file read-only (administrators can write such a file, but it was not
    // meant to change), or the name is a folder.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;
    if (exists) {
        // Another program holding the file without sharing it refuses us here, before anything
        // has been made.
        UniqueKernelHandle probe(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) return false;
    }

    // The file is never written over in place: a write that failed half-way could not be
    // undone for certain. Where no new file can be made beside it, or it cannot take the old
    // one's place, the save is refused and the file stays as it was.
    const std::string beside = WriteBeside(path, bytes);
    if (beside.empty()) return false;
    if (!::MoveFileExA(beside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(beside.c_str());
        return false;
    }
    if (exists) ::SetFileAttributesA(path.c_str(), attributes);
    return true;
}

} // namespace vantaro
