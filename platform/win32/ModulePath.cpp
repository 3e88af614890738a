#include "platform/win32/ModulePath.h"

#include <windows.h>

#include <vector>

namespace vantaro {

std::string ExecutablePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableFolder() {
    std::string path = ExecutablePath();
    std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string ApplicationTitle() {
    std::string path = ExecutablePath();
    std::string::size_type slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

FileBesideExecutable FindBesideExecutable(const std::string& fileName) {
    FileBesideExecutable found{ExecutableFolder() + "\\" + fileName};
    const DWORD attributes = ::GetFileAttributesA(found.path.c_str());
    found.exists = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return found;
}

std::string SearchExecutablePath(const std::string& fileName) {
    // The program's working buffer is 1024 characters; a longer path counts as not found.
    constexpr DWORD kPathBuffer = 1024;
    char path[kPathBuffer] = {};
    char* filePart = nullptr;
    DWORD length = ::SearchPathA(nullptr, fileName.c_str(), nullptr, kPathBuffer, path, &filePart);
    if (length == 0 || length >= kPathBuffer) return {};
    return std::string(path, length);
}

} // namespace vantaro
