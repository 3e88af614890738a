#include "installer/win32/SetupSteps.h"

#include "installer/InstallFolder.h"
#include "platform/win32/CodePage.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <vector>

namespace vantaro::installer {
namespace {

std::string ShellFolderUtf8(int folder) {
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)) ? Utf8FromWide(path) : "";
}

// Program Files' own rules for what is inside: SYSTEM and Administrators full, Users read and
// run, every file and folder below inheriting it, nothing inherited from above; owned by
// Administrators, so that no user who made the folder keeps the right to change its access.
constexpr wchar_t kInstallFolderAccess[] = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

} // namespace

FolderAccess SecureInstallFolder(const std::wstring& folder, DWORD& error) {
    error = 0;
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = ::GetFullPathNameW(folder.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = ::GetFullPathNameW(folder.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    }
    if (length == 0 || length >= full.size()) {
        error = length == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE;
        return FolderAccess::Failed;
    }
    full.resize(length);
    const std::vector<std::string> programs = {ShellFolderUtf8(CSIDL_PROGRAM_FILES), ShellFolderUtf8(CSIDL_PROGRAM_FILESX86)};
    if (InheritsProgramFilesAccess(Utf8FromWide(full), programs)) return FolderAccess::Inherited;

    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kInstallFolderAccess, SDDL_REVISION_1, &descriptor,
                                                                nullptr)) {
        error = ::GetLastError();
        return FolderAccess::Failed;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    // A folder made here gets its access as it is made, and once more after; one that was there (perhaps made by a user, perhaps holding files) has it
    // replaced, its files and folders inheriting it.
    int made = ::SHCreateDirectoryExW(nullptr, full.c_str(), &attributes);
    if (made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS || made == ERROR_FILE_EXISTS) {
        BOOL present = FALSE, defaulted = FALSE;
        PACL access = nullptr;
        PSID owner = nullptr;
        ::GetSecurityDescriptorDacl(descriptor, &present, &access, &defaulted);
        ::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
        made = static_cast<int>(::SetNamedSecurityInfoW(
            &full[0], SE_FILE_OBJECT,
            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, owner, nullptr,
            access, nullptr));
    }
    ::LocalFree(descriptor);
    if (made != ERROR_SUCCESS) {
        error = static_cast<DWORD>(made);
        return FolderAccess::Failed;
    }
    const DWORD kind = ::GetFileAttributesW(full.c_str());
    if (kind == INVALID_FILE_ATTRIBUTES || (kind & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error = ERROR_DIRECTORY;
        return FolderAccess::Failed;
    }
    return FolderAccess::Set;
}

} // namespace vantaro::installer
