// The check of a modem INF before anything is installed: every fault named with its detail, and
// INF files that are fine in unusual ways let through; the plain-words texts of the faults.

#include "fakes/ModemInfText.h"
#include "modem/InfCheck.h"

#include <gtest/gtest.h>

#include <set>

namespace vantaro {
namespace {

using testing::kInfDriverPath;
using testing::ModemInf;
using testing::Replaced;

constexpr InfPlatform kX86 = InfPlatform::X86;
constexpr InfPlatform kAmd64 = InfPlatform::Amd64;

struct CheckCase {
    const char* name;
    std::optional<std::string> bytes;
    InfPlatform platform;
    std::optional<InfProblem> expected;
    std::set<std::string> besideInf = {kInfDriverPath};
    std::string hardwareId = testing::kInfHardwareId;
    RunningWindows windows = {};
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }

InfProblem Problem(InfProblemKind kind, std::string detail) { return InfProblem{kind, std::move(detail)}; }

class InfCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(InfCheckTest, NamesTheFaultOrLetsTheFileThrough) {
    const CheckCase& c = GetParam();
    const InfCheckInput input{"C:\\Vantaro\\phone.inf", c.bytes, c.hardwareId, c.platform,
                              [&](const std::string& path) { return c.besideInf.count(path) > 0; }, c.windows};
    const std::optional<InfProblem> problem = CheckModemInf(input);
    ASSERT_EQ(problem.has_value(), c.expected.has_value())
        << (problem ? InfProblemText(*problem, nullptr) : std::string("no problem found"));
    if (!problem) return;
    EXPECT_EQ(InfProblemKey(problem->kind), std::string(InfProblemKey(c.expected->kind)));
    EXPECT_EQ(problem->detail, c.expected->detail);
}

const std::string kNet = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
const std::string kPorts = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
const std::string kModemGuid = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";

INSTANTIATE_TEST_SUITE_P(
    BrokenFiles, InfCheckTest,
    ::testing::Values(
        CheckCase{"MissingOrUnreadable", std::nullopt, kX86, Problem(InfProblemKind::FileMissing, "C:\\Vantaro\\phone.inf")},
        CheckCase{"NoSignature", Replaced(ModemInf(), "Signature=\"$Windows NT$\"\r\n", ""), kX86,
                  Problem(InfProblemKind::NotAnInf, "C:\\Vantaro\\phone.inf")},
        CheckCase{"ALineBeforeTheFirstSection", "DriverVer=1\r\n" + ModemInf(), kX86,
                  Problem(InfProblemKind::NotAnInf, "C:\\Vantaro\\phone.inf")},
        CheckCase{"RandomBytes", std::string("\x00\x91\xFF[\x7F", 5), kAmd64,
                  Problem(InfProblemKind::NotAnInf, "C:\\Vantaro\\phone.inf")},
        CheckCase{"ANetworkAdapter", Replaced(Replaced(ModemInf(), "Class=Modem", "Class=Net"), kModemGuid, kNet),
                  kX86, Problem(InfProblemKind::NotModem, "Net")},
        CheckCase{"TheModemNameWithThePortsGuid", Replaced(ModemInf(), kModemGuid, kPorts), kX86,
                  Problem(InfProblemKind::NotModem, kPorts)},
        CheckCase{"NoClassAtAll",
                  Replaced(Replaced(ModemInf(), "Class=Modem\r\n", ""), "ClassGuid=" + kModemGuid + "\r\n", ""), kX86,
                  Problem(InfProblemKind::NotModem, "(none)")},
        CheckCase{"AnotherHardwareId", ModemInf(), kX86,
                  Problem(InfProblemKind::NoModel, "USB\\VID_1782&PID_FFFF&MI_01"), {kInfDriverPath},
                  "USB\\VID_1782&PID_FFFF&MI_01"},
        CheckCase{"OnlyFor64BitWindowsOn32Bit", Replaced(ModemInf(), "Phones,NTx86,NTamd64", "Phones,NTamd64"), kX86,
                  Problem(InfProblemKind::NoModel, testing::kInfHardwareId)},
        CheckCase{"OnlyFor32BitWindowsOn64Bit", Replaced(ModemInf(), "Phones,NTx86,NTamd64", "Phones,NTx86"), kAmd64,
                  Problem(InfProblemKind::NoModel, testing::kInfHardwareId)},
        CheckCase{"UndecoratedModelsOn64Bit",
                  Replaced(Replaced(ModemInf(), "Phones,NTx86,NTamd64", "Phones"), "[Phones.NTx86]", "[Phones]"),
                  kAmd64, Problem(InfProblemKind::NoModel, testing::kInfHardwareId)},
        CheckCase{"TheModelsSectionIsMissing", Replaced(ModemInf(), "[Phones.NTamd64]", "[Phones.NTia64]"), kAmd64,
                  Problem(InfProblemKind::NoModel, testing::kInfHardwareId)},
        CheckCase{"TheInstallSectionIsMissing", Replaced(ModemInf(), "[PhoneModem.NT]", "[PhoneModem.NTia64]"), kX86,
                  Problem(InfProblemKind::NoInstallSection, "PhoneModem")},
        CheckCase{"TheFileListIsMissing", Replaced(ModemInf(), "[PhoneFiles]", "[OtherFiles]"), kX86,
                  Problem(InfProblemKind::NoInstallSection, "PhoneFiles")},
        CheckCase{"TheCopiedFileIsNotBesideTheInf", ModemInf(), kAmd64,
                  Problem(InfProblemKind::CopiedFileMissing, kInfDriverPath), {}},
        CheckCase{"ASingleCopiedFileIsMissing", Replaced(ModemInf(), "CopyFiles=PhoneFiles", "CopyFiles=@zorser.sys,@zormdm.dll"),
                  kX86, Problem(InfProblemKind::CopiedFileMissing, "zormdm.dll")},
        CheckCase{"TheFileOfThe64BitDiskIsMissing",
                  Replaced(ModemInf(), "[SourceDisksFiles]", "[SourceDisksFiles.amd64]\r\nzorser.sys=1,x64\r\n[SourceDisksFiles]"),
                  kAmd64, Problem(InfProblemKind::CopiedFileMissing, "driver\\x64\\zorser.sys")},
        CheckCase{"TheSourceNameIsLookedFor", Replaced(ModemInf(), "\r\nzorser.sys\r\n", "\r\nzorser.sys,zorser64.sys\r\n"),
                  kAmd64, Problem(InfProblemKind::CopiedFileMissing, "zorser64.sys")}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

// The sample driver's way of using the system's USB serial driver: its file list comes from
// the system INF it includes, so there is nothing to look for beside it.
const std::string kIncludesSystemFiles = Replaced(ModemInf(), "CopyFiles=PhoneFiles", "Include=mdmcpq.inf\r\nCopyFiles=FakeModemCopyFileSection");

// Models for any Windows from XP on, and for 64-bit Windows from 7 and from 10 on: 64-bit
// Windows takes the newest of its own, 32-bit Windows the one for any.
const std::string kMixedDecorations =
    Replaced(Replaced(Replaced(ModemInf(), "Phones,NTx86,NTamd64", "Phones,NT.5.1,ntAMD64.6.1,NTamd64.10.0.1"),
                      "[Phones.NTx86]", "[Phones.nt.5.1]"),
             "[Phones.NTamd64]", "[Phones.NTamd64.10.0.1]");

INSTANTIATE_TEST_SUITE_P(
    FineFiles, InfCheckTest,
    ::testing::Values(
        CheckCase{"TheModelFor32BitWindows", ModemInf(), kX86, std::nullopt},
        CheckCase{"TheModelFor64BitWindows", ModemInf(), kAmd64, std::nullopt},
        CheckCase{"Utf16WithItsByteOrderMark", testing::Utf16LeFile(ModemInf()), kAmd64, std::nullopt},
        CheckCase{"Utf8WithItsByteOrderMark", "\xEF\xBB\xBF" + ModemInf(), kX86, std::nullopt},
        CheckCase{"TheHardwareIdInAnotherCase", ModemInf(), kX86, std::nullopt, {kInfDriverPath},
                  "usb\\vid_1782&pid_0003&mi_01"},
        CheckCase{"TheIdAsACompatibleId", Replaced(ModemInf(), "MI_01\r\n", "MI_01,USB\\Class_02&SubClass_02\r\n"),
                  kX86, std::nullopt, {kInfDriverPath}, "USB\\Class_02&SubClass_02"},
        CheckCase{"MixedDecorationsOn64Bit", kMixedDecorations, kAmd64, std::nullopt},
        CheckCase{"MixedDecorationsOn32Bit", kMixedDecorations, kX86, std::nullopt},
        CheckCase{"AnUndecoratedSectionFor32BitWindows",
                  Replaced(Replaced(ModemInf(), "Phones,NTx86,NTamd64", "Phones,NTamd64"), "[Phones.NTx86]", "[Phones]"),
                  kX86, std::nullopt},
        CheckCase{"AnUndecoratedInstallSection", Replaced(ModemInf(), "[PhoneModem.NT]", "[PhoneModem]"), kAmd64,
                  std::nullopt},
        CheckCase{"StringsNameTheSections",
                  Replaced(Replaced(ModemInf(), "%Phone%=PhoneModem,", "%Phone%=%Install%,"), "[Strings]\r\n",
                           "[Strings]\r\nInstall=\"PhoneModem\"\r\n"),
                  kAmd64, std::nullopt},
        CheckCase{"ContinuationLines", Replaced(ModemInf(), "%Vendor%=Phones,NTx86,NTamd64", "%Vendor% = \\\r\n  Phones, \\\r\n  NTx86, NTamd64"),
                  kAmd64, std::nullopt},
        CheckCase{"FilesFromTheIncludedSystemInf", kIncludesSystemFiles, kAmd64, std::nullopt, {}},
        CheckCase{"OneMegabyte", testing::ModemInfOfSize(1 << 20), kAmd64, std::nullopt}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

// Sections for later Windows that lack our id: Windows 10 (both kinds) from build 16299 on.
const std::string kLaterSectionsWithoutOurId =
    Replaced(Replaced(ModemInf(), "Phones,NTx86,NTamd64", "Phones,NTx86,NTx86.10.0,NTamd64,NTamd64.10.0...16299"),
             "[PhoneModem.NT]", "[Phones.NTx86.10.0]\r\n[Phones.NTamd64.10.0...16299]\r\n[PhoneModem.NT]");
// The device class named through the strings; only the sections that say "Modem" make it a modem.
const std::string kClassInLanguageSections =
    Replaced(Replaced(ModemInf(), "Class=Modem", "Class=%Class%"), "[Strings]\r\n",
             "[Strings.0804]\r\nClass=Modem\r\n[Strings.0409]\r\nClass=Net\r\n");
const std::string kClassInPrimaryAndPlainSections =
    Replaced(Replaced(ModemInf(), "Class=Modem", "Class=%Class%"), "[Strings]\r\n",
             "[Strings.0004]\r\nClass=Modem\r\n[Strings]\r\nClass=Net\r\n");
const RunningWindows kWindows7{WindowsVersion{6, 1, 7601}};
const RunningWindows kWindows10Build14393{WindowsVersion{10, 0, 14393}};
const RunningWindows kWindows10Build19045{WindowsVersion{10, 0, 19045}};
RunningWindows InLanguage(std::uint16_t languageId) { return RunningWindows{std::nullopt, languageId}; }

INSTANTIATE_TEST_SUITE_P(
    ForTheRunningWindows, InfCheckTest,
    ::testing::Values(
        CheckCase{"ASectionForALaterWindowsIsPassedOver", kLaterSectionsWithoutOurId, kX86, std::nullopt,
                  {kInfDriverPath}, testing::kInfHardwareId, kWindows7},
        CheckCase{"TheSectionForThisWindowsAndBuildIsTaken", kLaterSectionsWithoutOurId, kAmd64,
                  Problem(InfProblemKind::NoModel, testing::kInfHardwareId), {kInfDriverPath}, testing::kInfHardwareId,
                  kWindows10Build19045},
        CheckCase{"ASectionForALaterBuildIsPassedOver", kLaterSectionsWithoutOurId, kAmd64, std::nullopt,
                  {kInfDriverPath}, testing::kInfHardwareId, kWindows10Build14393},
        CheckCase{"TheStringsOfTheRunningLanguage", kClassInLanguageSections, kX86, Problem(InfProblemKind::NotModem, "Net"),
                  {kInfDriverPath}, testing::kInfHardwareId, InLanguage(0x0409)},
        CheckCase{"OnlyOtherLanguagesTheFirstOfThem", kClassInLanguageSections, kX86, std::nullopt, {kInfDriverPath},
                  testing::kInfHardwareId, InLanguage(0x0407)},
        CheckCase{"TheStringsOfThePrimaryLanguage", kClassInPrimaryAndPlainSections, kX86, std::nullopt,
                  {kInfDriverPath}, testing::kInfHardwareId, InLanguage(0x0804)},
        CheckCase{"ThePlainStringsBeforeAnotherLanguage", kClassInPrimaryAndPlainSections, kX86,
                  Problem(InfProblemKind::NotModem, "Net"), {kInfDriverPath}, testing::kInfHardwareId,
                  InLanguage(0x0409)}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(InfProblemText, TheLanguagesTextWithTheDetailInPlaceOfItsFirstPercentS) {
    const InfProblem problem{InfProblemKind::CopiedFileMissing, "driver\\zorser.sys"};
    std::string askedKey;
    std::string askedDefault;
    const std::string text = InfProblemText(problem, [&](const std::string& key, const std::string& defaultText) {
        askedKey = key;
        askedDefault = defaultText;
        return std::string("\xCE\xC4\xBC\xFE %s 100% %s");
    });
    EXPECT_EQ(askedKey, "infnofile");
    EXPECT_EQ(askedDefault, InfProblemEnglishText(InfProblemKind::CopiedFileMissing));
    EXPECT_EQ(text, "\xCE\xC4\xBC\xFE driver\\zorser.sys 100% %s") << "only the first %s is the detail";
}

TEST(InfProblemText, EveryProblemHasItsOwnKeyAndOneDetail) {
    std::set<std::string> keys;
    for (const InfProblemKind kind : {InfProblemKind::FileMissing, InfProblemKind::NotAnInf, InfProblemKind::NotModem,
                                      InfProblemKind::NoModel, InfProblemKind::NoInstallSection,
                                      InfProblemKind::CopiedFileMissing}) {
        keys.insert(InfProblemKey(kind));
        const std::string english = InfProblemEnglishText(kind);
        EXPECT_NE(english.find("%s"), std::string::npos) << english;
        EXPECT_EQ(english.find("%s"), english.rfind("%s")) << english;
    }
    EXPECT_EQ(keys.size(), 6u);
}

} // namespace
} // namespace vantaro
