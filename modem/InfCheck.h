#pragma once
// Whether a driver setup file (INF) installs a modem for a hardware id on this Windows, checked
// before anything is installed, and what is wrong in plain words when it does not. The platform
// would otherwise create a device of another class, report success with nothing installed, or
// wait for a file that is not there.
//
// The check follows the platform's choice of sections:
// - [Version] needs a Windows signature ($Windows NT$, $Chicago$ or $Windows 95$) and the
//   modem class: Class, when given, is Modem; ClassGuid, when given, is the modem class's GUID;
//   at least one of them is given.
// - %name% stands for the value in the Strings section of the running Windows' language:
//   [Strings.<language id>] (as 0804), else that of its primary language (0004), else
//   [Strings], else the first language section of the file.
// - Each [Manufacturer] line names a models section and the TargetOSVersions it is decorated
//   for (NT[architecture][.major[.minor[.product type[.suite mask[.build]]]]], each part
//   optional). A decoration fits when its architecture is this Windows' or none, and its
//   version, product type, suite mask and build are none or those of this Windows (a version
//   or build no higher than this one's). The models section used is the one of the best
//   fitting decoration: one for the architecture (NTx86, NTamd64) before one for any (NT);
//   among those, the highest version. With none that fits, 32-bit Windows uses the undecorated
//   section and 64-bit Windows none.
// - The model is the first line of those sections that lists the hardware id (compared without
//   regard to ASCII letter case) among its hardware and compatible ids.
// - Its install section is the first of <name>.NT<architecture>, <name>.NT and <name> that the
//   file has.
// - Every file that the install section's CopyFiles entries copy ("@file", or the lines of a
//   file-list section: the source name, else the destination name) must be beside the INF, in
//   the folder that SourceDisksNames and SourceDisksFiles give it (their .x86 or .amd64 forms
//   first). A file-list section the INF does not have is taken from the INF files that the
//   install section includes (Include=), which are the system's; without an Include it is
//   missing.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vantaro {

enum class InfPlatform { X86, Amd64 };

// The running Windows as the platform compares an INF's decorations with it.
struct WindowsVersion {
    unsigned long major = 0;
    unsigned long minor = 0;
    unsigned long build = 0;
    unsigned long productType = 1;  // VER_NT_WORKSTATION
    unsigned long suiteMask = 0;
};

inline constexpr std::uint16_t kEnglishUnitedStates = 0x0409;

struct RunningWindows {
    // Nothing when it is not known: then every version fits, and the highest is taken.
    std::optional<WindowsVersion> version;
    std::uint16_t languageId = kEnglishUnitedStates;  // a LANGID: 0x0804 is Chinese (PRC)
};

enum class InfProblemKind {
    FileMissing,        // the file is not there or cannot be read; detail: the INF's name
    NotAnInf,           // the platform would not open it as an INF; detail: the INF's name
    NotModem,           // another device class; detail: the class the file names, or "(none)"
    NoModel,            // no model for the hardware id on this Windows; detail: the hardware id
    NoInstallSection,   // a section the model's install needs is missing; detail: its name
    CopiedFileMissing,  // a file that the install copies is not beside the INF; detail: its path
};

struct InfProblem {
    InfProblemKind kind = InfProblemKind::FileMissing;
    std::string detail;
};

// Everything the check needs: the file's bytes (read by the caller), the names it speaks of,
// and a way to ask whether a file is beside the INF.
struct InfCheckInput {
    std::string infName;                   // as the messages name the INF (its path)
    std::optional<std::string> bytes;      // nothing when the file is missing or cannot be read
    std::string hardwareId;
    InfPlatform platform = InfPlatform::X86;
    // True when the file exists at this path relative to the INF's folder ('\' between names).
    // Names come in the INF's own encoding: the system code page, or UTF-8 for a Unicode INF
    // (InfTextIsUnicode).
    std::function<bool(const std::string& relativePath)> fileExists;
    RunningWindows windows;
};

// The first problem found, in the order of InfProblemKind; nothing when the INF installs a
// modem for the hardware id on this Windows.
std::optional<InfProblem> CheckModemInf(const InfCheckInput& input);

// An INF larger than this is no driver anyone ships: it is refused as unreadable.
inline constexpr std::size_t kMaxInfBytes = 64u * 1024 * 1024;

// The interface-text keys of the problems (each language's section of Setting.ini), and their
// English texts, which are used where the section lacks the key. "%s" stands for the detail.
namespace infmessage {
inline constexpr char kMissing[] = "infmissing";
inline constexpr char kNotInf[] = "infnotinf";
inline constexpr char kNotModem[] = "infnotmodem";
inline constexpr char kNoModel[] = "infnomodel";
inline constexpr char kNoInstall[] = "infnoinstall";
inline constexpr char kNoFile[] = "infnofile";
} // namespace infmessage

const char* InfProblemKey(InfProblemKind kind);
const char* InfProblemEnglishText(InfProblemKind kind);

// Looks a key up in the chosen language's texts; returns the default when the key is missing.
using InfTextLookUp = std::function<std::string(const std::string& key, const std::string& defaultText)>;

// The problem in plain words: the language's text for it with the detail in place of its first
// "%s" (any other '%' is left as it stands).
std::string InfProblemText(const InfProblem& problem, const InfTextLookUp& lookUp);

} // namespace vantaro
