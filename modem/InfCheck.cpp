#include "modem/InfCheck.h"

#include "modem/InfFile.h"
#include "modem/ModemRegistry.h"

#include <array>
#include <cstdlib>
#include <tuple>
#include <utility>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vantaro {

namespace {

constexpr std::array<const char*, 3> kSignatures = {"$windows nt$", "$chicago$", "$windows 95$"};

const char* ArchitectureName(InfPlatform platform) { return platform == InfPlatform::Amd64 ? "amd64" : "x86"; }

InfProblem Problem(InfProblemKind kind, std::string detail) { return InfProblem{kind, std::move(detail)}; }

// A TargetOSVersion of a [Manufacturer] line:
// NT[architecture][.major[.minor[.product type[.suite mask[.build]]]]], any part left empty.
struct Decoration {
    std::string text;  // as written, to name the models section
    bool forArchitecture = false;
    unsigned long major = 0;
    unsigned long minor = 0;
    unsigned long build = 0;
};

// The dot-separated parts after the architecture, as numbers; nothing for an empty part.
std::vector<std::optional<unsigned long>> VersionParts(const std::string& lower, std::size_t dot) {
    std::vector<std::optional<unsigned long>> parts;
    while (dot != std::string::npos) {
        const std::size_t next = lower.find('.', dot + 1);
        const std::string part = lower.substr(dot + 1, next == std::string::npos ? std::string::npos : next - dot - 1);
        parts.push_back(part.empty() ? std::nullopt : std::optional<unsigned long>(std::strtoul(part.c_str(), nullptr, 0)));
        dot = next;
    }
    return parts;
}

std::optional<Decoration> FittingDecoration(const std::string& text, InfPlatform platform,
                                            const std::optional<WindowsVersion>& running) {
    const std::string lower = InfNameKey(text);
    if (lower.compare(0, 2, "nt") != 0) return std::nullopt;
    const std::size_t dot = lower.find('.');
    const std::string architecture = lower.substr(2, dot == std::string::npos ? std::string::npos : dot - 2);
    if (!architecture.empty() && architecture != ArchitectureName(platform)) return std::nullopt;
    Decoration decoration{text, !architecture.empty()};
    const std::vector<std::optional<unsigned long>> parts = VersionParts(lower, dot);
    const auto part = [&parts](std::size_t i) { return i < parts.size() ? parts[i] : std::nullopt; };
    enum { kMajor, kMinor, kProductType, kSuiteMask, kBuild };
    decoration.major = part(kMajor).value_or(0);
    decoration.minor = part(kMinor).value_or(0);
    decoration.build = part(kBuild).value_or(0);
    if (!running) return decoration;

    // A section for a later Windows than this one is not for this one.
    if (std::make_pair(decoration.major, decoration.minor) > std::make_pair(running->major, running->minor))
        return std::nullopt;
    const bool sameVersion = decoration.major == running->major && decoration.minor == running->minor;
    if (part(kBuild) && sameVersion && decoration.build > running->build) return std::nullopt;
    if (part(kProductType) && *part(kProductType) != 0 && *part(kProductType) != running->productType)
        return std::nullopt;
    if (part(kSuiteMask) && (running->suiteMask & *part(kSuiteMask)) != *part(kSuiteMask)) return std::nullopt;
    return decoration;
}

bool Better(const Decoration& a, const Decoration& b) {
    if (a.forArchitecture != b.forArchitecture) return a.forArchitecture;
    return std::make_tuple(a.major, a.minor, a.build) > std::make_tuple(b.major, b.minor, b.build);
}

// The models section a [Manufacturer] line leads to on this Windows; empty when none.
std::string ModelsSection(const InfLine& manufacturer, InfPlatform platform, const std::optional<WindowsVersion>& running) {
    if (manufacturer.fields.empty() || manufacturer.fields[0].empty()) return {};
    std::optional<Decoration> best;
    for (std::size_t i = 1; i < manufacturer.fields.size(); ++i) {
        const std::optional<Decoration> decoration = FittingDecoration(manufacturer.fields[i], platform, running);
        if (decoration && (!best || Better(*decoration, *best))) best = decoration;
    }
    if (best) return manufacturer.fields[0] + "." + best->text;
    return platform == InfPlatform::X86 ? manufacturer.fields[0] : std::string();
}

struct Model {
    std::string installSection;
};

std::optional<Model> FindModel(const InfFile& inf, const std::string& hardwareId, InfPlatform platform,
                               const std::optional<WindowsVersion>& running) {
    const std::string wanted = InfNameKey(hardwareId);
    std::unordered_set<std::string> searched;  // each models section once, however often it is named
    for (const InfLine& manufacturer : inf.Lines("Manufacturer")) {
        const std::string section = ModelsSection(manufacturer, platform, running);
        if (section.empty() || !searched.insert(InfNameKey(section)).second) continue;
        for (const InfLine& model : inf.Lines(section)) {
            for (std::size_t i = 1; i < model.fields.size(); ++i)
                if (InfNameKey(model.fields[i]) == wanted) return Model{model.fields[0]};
        }
    }
    return std::nullopt;
}

std::optional<std::string> ActualInstallSection(const InfFile& inf, const std::string& name, InfPlatform platform) {
    for (const std::string& candidate : {name + ".NT" + ArchitectureName(platform), name + ".NT", name})
        if (inf.HasSection(candidate)) return candidate;
    return std::nullopt;
}

// The values of every line of the section with that key, in file order.
std::vector<std::string> ValuesOfKey(const std::vector<InfLine>& lines, const char* key) {
    std::vector<std::string> values;
    const std::string wanted = InfNameKey(key);
    for (const InfLine& line : lines) {
        if (!line.hasKey || InfNameKey(line.key) != wanted) continue;
        for (const std::string& field : line.fields)
            if (!field.empty()) values.push_back(field);
    }
    return values;
}

// Joins a part of a path, without the separators around it, with '\\'.
void AppendPathPart(std::string& path, const std::string& part) {
    const std::size_t first = part.find_first_not_of("\\/");
    if (first == std::string::npos) return;
    if (!path.empty()) path += '\\';
    path.append(part, first, part.find_last_not_of("\\/") + 1 - first);
}

// Where the source files are, relative to the INF's folder: each file's disk and sub-folder as
// SourceDisksFiles gives them, each disk's path as SourceDisksNames does; the platform's form of
// a section (".x86", ".amd64") before the plain one, the first line of a name within each.
class SourceLayout {
public:
    SourceLayout(const InfFile& inf, InfPlatform platform)
        : files_(Entries(inf, "SourceDisksFiles", platform)), disks_(Entries(inf, "SourceDisksNames", platform)) {}

    // Beside the INF when the sections do not list the file.
    std::string PathOf(const std::string& fileName) const {
        std::string path;
        if (const auto file = files_.find(InfNameKey(fileName)); file != files_.end()) {
            const std::vector<std::string>& fields = file->second;
            if (!fields.empty()) {
                if (const auto disk = disks_.find(InfNameKey(fields[0])); disk != disks_.end() && disk->second.size() > 3)
                    AppendPathPart(path, disk->second[3]);
            }
            if (fields.size() > 1) AppendPathPart(path, fields[1]);
        }
        AppendPathPart(path, fileName);
        return path;
    }

private:
    using Table = std::unordered_map<std::string, std::vector<std::string>>;
    static Table Entries(const InfFile& inf, const std::string& section, InfPlatform platform) {
        Table entries;
        for (const std::string& name : {section + "." + ArchitectureName(platform), section}) {
            Table ofSection;
            for (InfLine& line : inf.Lines(name))
                if (line.hasKey) ofSection.emplace(InfNameKey(line.key), std::move(line.fields));
            entries.merge(ofSection);  // keeps what the platform's form already has
        }
        return entries;
    }

    Table files_;
    Table disks_;
};

// The source names of the files that the install section copies; a file-list section that is
// neither in the INF nor possibly in an included one is returned in `missingSection`.
std::vector<std::string> CopiedFiles(const InfFile& inf, const std::vector<InfLine>& install,
                                     std::string& missingSection) {
    std::vector<std::string> files;
    const bool includesOthers = !ValuesOfKey(install, "Include").empty();
    std::unordered_set<std::string> listed;  // each file-list section once
    for (const std::string& entry : ValuesOfKey(install, "CopyFiles")) {
        if (entry[0] == '@') {
            if (entry.size() > 1) files.push_back(entry.substr(1));
            continue;
        }
        if (!listed.insert(InfNameKey(entry)).second) continue;
        if (!inf.HasSection(entry)) {
            if (!includesOthers && missingSection.empty()) missingSection = entry;
            continue;
        }
        for (const InfLine& line : inf.Lines(entry)) {
            const std::string& source = line.fields.size() > 1 && !line.fields[1].empty() ? line.fields[1]
                                        : !line.fields.empty()                              ? line.fields[0]
                                                                                            : std::string();
            if (!source.empty()) files.push_back(source);
        }
    }
    return files;
}

} // namespace

std::optional<InfProblem> CheckModemInf(const InfCheckInput& input) {
    if (!input.bytes) return Problem(InfProblemKind::FileMissing, input.infName);
    const InfFile inf(*input.bytes, input.windows.languageId);

    const std::string signature = InfNameKey(inf.Value("Version", "Signature").value_or(""));
    bool signed_ = false;
    for (const char* known : kSignatures) signed_ = signed_ || signature == known;
    if (!inf.Valid() || !signed_) return Problem(InfProblemKind::NotAnInf, input.infName);

    const std::optional<std::string> className = inf.Value("Version", "Class");
    const std::optional<std::string> classGuid = inf.Value("Version", "ClassGuid");
    const bool nameFits = !className || InfNameKey(*className) == "modem";
    const bool guidFits = !classGuid || InfNameKey(*classGuid) == InfNameKey(kModemClassGuid);
    if (!nameFits || !guidFits || (!className && !classGuid)) {
        const std::string named = !nameFits ? *className : !guidFits ? *classGuid : std::string("(none)");
        return Problem(InfProblemKind::NotModem, named);
    }

    const std::optional<Model> model = FindModel(inf, input.hardwareId, input.platform, input.windows.version);
    if (!model) return Problem(InfProblemKind::NoModel, input.hardwareId);
    const std::optional<std::string> installName = ActualInstallSection(inf, model->installSection, input.platform);
    if (!installName) return Problem(InfProblemKind::NoInstallSection, model->installSection);

    std::string missingSection;
    const std::vector<std::string> files = CopiedFiles(inf, inf.Lines(*installName), missingSection);
    if (!missingSection.empty()) return Problem(InfProblemKind::NoInstallSection, missingSection);
    const SourceLayout layout(inf, input.platform);
    for (const std::string& file : files) {
        const std::string path = layout.PathOf(file);
        if (!input.fileExists || !input.fileExists(path)) return Problem(InfProblemKind::CopiedFileMissing, path);
    }
    return std::nullopt;
}

const char* InfProblemKey(InfProblemKind kind) {
    switch (kind) {
    case InfProblemKind::FileMissing: return infmessage::kMissing;
    case InfProblemKind::NotAnInf: return infmessage::kNotInf;
    case InfProblemKind::NotModem: return infmessage::kNotModem;
    case InfProblemKind::NoModel: return infmessage::kNoModel;
    case InfProblemKind::NoInstallSection: return infmessage::kNoInstall;
    case InfProblemKind::CopiedFileMissing: return infmessage::kNoFile;
    }
    return infmessage::kMissing;
}

const char* InfProblemEnglishText(InfProblemKind kind) {
    switch (kind) {
    case InfProblemKind::FileMissing: return "The modem driver file %s is missing or cannot be read.";
    case InfProblemKind::NotAnInf: return "The modem driver file %s is not a valid INF file.";
    case InfProblemKind::NotModem: return "The driver file is not a modem driver: its device class is %s.";
    case InfProblemKind::NoModel:
        return "The modem driver file has no driver for the hardware id %s on this version of Windows.";
    case InfProblemKind::NoInstallSection: return "The modem driver file is incomplete: its section [%s] is missing.";
    case InfProblemKind::CopiedFileMissing:
        return "The file %s, which the modem driver installs, is not in the folder of the driver file.";
    }
    return "%s";
}

std::string InfProblemText(const InfProblem& problem, const InfTextLookUp& lookUp) {
    const std::string english = InfProblemEnglishText(problem.kind);
    std::string text = lookUp ? lookUp(InfProblemKey(problem.kind), english) : english;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, problem.detail);
    return text;
}

} // namespace vantaro
