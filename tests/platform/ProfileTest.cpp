// The host's reading of a settings file against the platform's own profile functions on the
// same file: wherever the program's tests rely on IniFileProfile, it must agree with Windows.

#include "e2e/UiDriver.h"
#include "settings/win32/Win32Profile.h"
#include "fakes/IniFileProfile.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

struct Probe {
    const char* section;
    const char* key;
};

class ProfileAgreement : public ::testing::Test {
protected:
    void Check(const std::string& bytes, std::initializer_list<Probe> probes) {
        const std::string path = e2e::WorkFolder("profile_agreement") + "\\probe.ini";
        e2e::WriteFile(path, bytes);
        Win32Profile platform(path);
        IniFileProfile host(path);
        for (const Probe& probe : probes) {
            EXPECT_EQ(host.ReadString(probe.section, probe.key, "<default>"),
                      platform.ReadString(probe.section, probe.key, "<default>"))
                << "[" << probe.section << "] " << probe.key << " in:\n" << bytes;
            EXPECT_EQ(host.ReadInt(probe.section, probe.key, 77), platform.ReadInt(probe.section, probe.key, 77))
                << "integer [" << probe.section << "] " << probe.key << " in:\n" << bytes;
            // A key looked up in its section, read in one go, reads as the key read itself; the
            // section read leaves notes (keys beginning with ';') out.
            if (probe.key[0] == ';') continue;
            const auto platformLines = platform.ReadSection(probe.section);
            const auto hostLines = host.ReadSection(probe.section);
            ASSERT_TRUE(platformLines && hostLines) << "[" << probe.section << "] could not be read whole";
            EXPECT_EQ(FindSectionValue(*platformLines, probe.key).value_or("<default>"),
                      platform.ReadString(probe.section, probe.key, "<default>"))
                << "in the section read [" << probe.section << "] " << probe.key << " in:\n" << bytes;
            EXPECT_EQ(FindSectionValue(*hostLines, probe.key).value_or("<default>"),
                      platform.ReadString(probe.section, probe.key, "<default>"))
                << "in the host's section read [" << probe.section << "] " << probe.key << " in:\n" << bytes;
        }
    }
};

TEST_F(ProfileAgreement, QuotesBlanksAndCase) {
    Check("[Setting]\r\n  DNS1  =  1.2.3.4  \r\nq=\"quoted\"\r\ns='single'\r\nhalf=a\"\r\nmixed=\"x'\r\n"
          "init=at+eslp=0;+cgdcont=1,\"IP\",\"cmnet\"\r\nlone=\"\r\nempty=\r\n",
          {{"setting", "dns1"}, {"Setting ", "DNS1 "}, {"Setting", "q"}, {"Setting", "s"}, {"Setting", "half"},
           {"Setting", "mixed"}, {"Setting", "init"}, {"Setting", "lone"}, {"Setting", "empty"},
           {"Setting", "missing"}, {"Missing", "dns1"}});
}

TEST_F(ProfileAgreement, DuplicateKeysAndSections) {
    Check("[A]\r\nk=first\r\nk=second\r\n[a]\r\nk=third\r\nlater=x\r\n",
          {{"A", "k"}, {"A", "later"}});
}

TEST_F(ProfileAgreement, SectionNamesWithBlanksInsideTheBrackets) {
    Check("[ Spaced ]\r\nk=1\r\n[Plain]\r\nk=2\r\n", {{"Spaced", "k"}, {" Spaced ", "k"}, {"Plain", "k"}});
}

TEST_F(ProfileAgreement, LineEndingsAndAMissingFinalNewline) {
    Check("[S]\na=1\nb=2", {{"S", "a"}, {"S", "b"}});
    Check("[S]\ra=1\rb=2\r", {{"S", "a"}, {"S", "b"}});
    Check("[S]\r\na=1\r\nb=2", {{"S", "a"}, {"S", "b"}});
}

TEST_F(ProfileAgreement, KeysWithoutEqualsAndBeforeAnySection) {
    Check("top=1\r\n[S]\r\nbare\r\n;comment=x\r\nk=v\r\n", {{"", "top"}, {"S", "bare"}, {"S", ";comment"}, {"S", "k"}});
}

TEST_F(ProfileAgreement, Integers) {
    Check("[S]\r\na=42abc\r\nb=  -7\r\nc=x\r\nd=\r\ne=00\r\nf=+5\r\ng=1 2\r\n",
          {{"S", "a"}, {"S", "b"}, {"S", "c"}, {"S", "d"}, {"S", "e"}, {"S", "f"}, {"S", "g"}});
}

TEST_F(ProfileAgreement, LongNumbersAreReadFromTheirFirstCharactersOnly) {
    Check("[S]\r\na=" + std::string(5000, '5') + "\r\nb=" + std::string(28, '1') + "9\r\nc=\"" + std::string(40, '7') +
              "\"\r\nd=99999999999\r\ne=-2147483649\r\n",
          {{"S", "a"}, {"S", "b"}, {"S", "c"}, {"S", "d"}, {"S", "e"}});
}

TEST_F(ProfileAgreement, LongLinesAreCutAt4095Bytes) {
    Check("[S]\r\nk=" + std::string(5000, 'v') + "\r\nj=" + std::string(4095, 'w') + "\r\n", {{"S", "k"}, {"S", "j"}});
}

TEST_F(ProfileAgreement, GbkBytes) {
    // "保存配置" and "语言:" in GBK, as the Chinese section holds them.
    Check("[Chinese]\r\nSAVESETTING=\xB1\xA3\xB4\xE6\xC5\xE4\xD6\xC3\r\nlan=\xD3\xEF\xD1\xD4:\r\n",
          {{"Chinese", "SAVESETTING"}, {"chinese", "lan"}});
}

TEST_F(ProfileAgreement, ASectionOfManyKeysIsReadWhole) {
    std::string bytes = "[Operators]\r\n";
    for (int i = 1; i <= 2000; ++i) bytes += "operator" + std::to_string(i) + "=Operator " + std::to_string(i) + "\r\n";
    Check(bytes, {{"Operators", "operator1"}, {"operators", "OPERATOR2000"}, {"Operators", "operator2001"}});
}

TEST_F(ProfileAgreement, ASectionReadOfAMissingFileOrSectionIsEmpty) {
    const std::string folder = e2e::WorkFolder("profile_sections");
    e2e::WriteFile(folder + "\\present.ini", "[S]\r\nk=v\r\n");
    EXPECT_EQ(Win32Profile(folder + "\\missing.ini").ReadSection("S").value_or(std::vector<ProfileSectionEntry>(1)).size(), 0u);
    EXPECT_EQ(Win32Profile(folder + "\\present.ini").ReadSection("Other").value_or(std::vector<ProfileSectionEntry>(1)).size(), 0u);
    EXPECT_EQ(Win32Profile(folder + "\\present.ini").ReadSection(" s ").value_or(std::vector<ProfileSectionEntry>()).size(), 1u);
}

TEST_F(ProfileAgreement, WritesThatTheHostMakesReadBackTheSameOnThePlatform) {
    const std::string path = e2e::WorkFolder("profile_writes") + "\\write.ini";
    e2e::WriteFile(path, "[Setting]\r\napn=cmnet\r\n");
    IniFileProfile host(path);
    ASSERT_TRUE(host.WriteString("Setting", "dns1", "1.1.1.1"));
    ASSERT_TRUE(host.WriteString("BaseSetting", "language", "1"));
    Win32Profile platform(path);
    EXPECT_EQ(platform.ReadString("Setting", "dns1", ""), "1.1.1.1");
    EXPECT_EQ(platform.ReadString("Setting", "apn", ""), "cmnet");
    EXPECT_EQ(platform.ReadString("BaseSetting", "language", ""), "1");
}

} // namespace
} // namespace vantaro
