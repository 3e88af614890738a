#include "settings/win32/Win32UsageFile.h"

#include "platform/win32/WholeFile.h"

#include <windows.h>
#include <shlobj.h>

namespace vantaro {

namespace {

constexpr char kFolderName[] = "\\Vantaro";
constexpr char kFileName[] = "\\usage.ini";
constexpr char kApnFileName[] = "\\apn.ini";
constexpr char kSetAsideSuffix[] = ".bad";

std::string InUserFolder(const char* fileName) {
    char appData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return {};
    return std::string(appData) + kFolderName + fileName;
}

} // namespace

std::string Win32UsageFile::Path() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!resolved_) {
        path_ = InUserFolder(file_ == OfUser::Apn ? kApnFileName : kFileName);
        resolved_ = true;
    }
    return path_;
}

UsageFile::ReadResult Win32UsageFile::Read(std::string& bytes) {
    switch (ReadWholeFile(Path(), bytes)) {
    case WholeFileRead::Read: return ReadResult::Read;
    case WholeFileRead::Missing: return ReadResult::Missing;
    case WholeFileRead::Failed: break;
    }
    return ReadResult::Failed;
}

bool Win32UsageFile::Replace(const std::string& bytes) {
    // The first write of a user makes the folder; one that is there already is no failure.
    const std::string path = Path();
    const std::size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos) ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    return ReplaceWholeFile(path, bytes);
}

bool Win32UsageFile::SetAside() {
    const std::string path = Path();
    const std::string aside = path + kSetAsideSuffix;
    // An earlier file set aside gives way, even when it was marked read-only.
    ::SetFileAttributesA(aside.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

} // namespace vantaro
