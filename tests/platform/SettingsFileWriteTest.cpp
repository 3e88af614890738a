// The program's writer of Setting.ini against Wine's profile functions and file system: what
// it writes the platform reads, everything else in the file stays as it was, and a write that
// cannot be done leaves the file untouched and says so. Runs with the Chinese code page (936),
// as on the Chinese Windows the program is made for.

#include "fakes/Utf16Bytes.h"
#include "e2e/UiDriver.h"
#include "platform/win32/UniqueHandle.h"
#include "settings/win32/Win32Profile.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vantaro {
namespace {

using testing::Utf16Le;

class SettingsFileWrite : public ::testing::Test {
protected:
    SettingsFileWrite()
        : folder(e2e::WorkFolder(std::string("settings_write_") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name())),
          path(folder + "\\Setting.ini") {}

    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

    const std::string folder;
    const std::string path;
    Win32Profile profile{path};
};

TEST_F(SettingsFileWrite, KeepsEveryOtherByteAndThePlatformReadsTheValues) {
    // Notes, blank lines, blanks around names, a NUL, GBK that is not valid, lines ending in LF
    // and the DOS end-of-file mark: Wine's own writer drops or changes every one of them.
    const std::string head = "; note\r\n\r\n[Chinese]\r\nSAVESETTING=\xB1\xA3\xB4\xE6\r\nbad=\x81\x20\xFF\xB1\r\n";
    const std::string nul(1, '\0');
    e2e::WriteFile(path, head + "[Setting]\r\n  number = 1  \r\nz=a" + nul + "b\r\napn\r\n\r\n[Other]\nx=y\n\x1a");
    ASSERT_TRUE(profile.WriteStrings("Setting", {{"number", "*99#"}, {"apn", "3gnet"}, {"dns1", "8.8.8.8"}}));
    EXPECT_EQ(e2e::ReadFile(path),
              head + "[Setting]\r\n  number = *99#  \r\nz=a" + nul + "b\r\napn=3gnet\r\ndns1=8.8.8.8\r\n\r\n[Other]\nx=y\n\x1a");
    EXPECT_EQ(profile.ReadString("Setting", "number", "?"), "*99#");
    EXPECT_EQ(profile.ReadString("Setting", "apn", "?"), "3gnet");
    EXPECT_EQ(profile.ReadString("Setting", "dns1", "?"), "8.8.8.8");
    EXPECT_EQ(profile.ReadString("Chinese", "SAVESETTING", "?"), "\xB1\xA3\xB4\xE6");
    EXPECT_EQ(profile.ReadString("Other", "x", "?"), "y");
}

TEST_F(SettingsFileWrite, AFileWhoseLinesEndInABareCarriageReturnKeepsAllItsKeys) {
    e2e::WriteFile(path, "[Setting]\rnumber=1\rapn=cmnet\r[BaseSetting]\rlanguage=1");
    ASSERT_TRUE(profile.WriteStrings("Setting", {{"dns1", "1.1.1.1"}}));
    ASSERT_TRUE(profile.WriteString("BaseSetting", "language", "0"));
    EXPECT_EQ(e2e::ReadFile(path), "[Setting]\rnumber=1\rapn=cmnet\rdns1=1.1.1.1\r[BaseSetting]\rlanguage=0");
    EXPECT_EQ(profile.ReadString("Setting", "number", "?"), "1");
    EXPECT_EQ(profile.ReadString("Setting", "dns1", "?"), "1.1.1.1");
    EXPECT_EQ(profile.ReadString("BaseSetting", "language", "?"), "0");
}

TEST_F(SettingsFileWrite, AValueWithBlanksAtItsEndsOrInQuotesReadsBackAsTyped) {
    e2e::WriteFile(path, "[Setting]\r\nnumber=1\r\n");
    const std::string typed[] = {"abc ", "\"pw\"", " x", "'q'", "\tt", "\"\"", " ", "a\"", "\"x'", "plain"};
    for (const std::string& value : typed) {
        ASSERT_TRUE(profile.WriteStrings("Setting", {{"password", value}, {"number", "2"}})) << "[" << value << "]";
        EXPECT_EQ(profile.ReadString("Setting", "password", "?"), value) << "saved as typed, read otherwise";
    }
}

TEST_F(SettingsFileWrite, AUtf16FileStaysUtf16AndItsValuesComeBackInTheCodePage) {
    // "保存" in the section name and in a value, as a UTF-16 editor would save them.
    e2e::WriteFile(path, Utf16Le(u"[Chinese]\r\nSAVESETTING=\u4FDD\u5B58\r\n\r\n[Setting]\r\nnumber = 1\r\n"));
    ASSERT_TRUE(profile.WriteStrings("Setting", {{"number", "*99#"}, {"username", "\xB1\xA3\xB4\xE6"}}));
    EXPECT_EQ(e2e::ReadFile(path),
              Utf16Le(u"[Chinese]\r\nSAVESETTING=\u4FDD\u5B58\r\n\r\n[Setting]\r\nnumber = *99#\r\nusername=\u4FDD\u5B58\r\n"));
    EXPECT_EQ(profile.ReadString("Setting", "username", "?"), "\xB1\xA3\xB4\xE6");
    EXPECT_EQ(profile.ReadString("Chinese", "SAVESETTING", "?"), "\xB1\xA3\xB4\xE6");
}

TEST_F(SettingsFileWrite, AUtf8FileGetsItsValuesInUtf8) {
    e2e::WriteFile(path, "\xEF\xBB\xBF[Setting]\r\nnumber=1\r\n");
    ASSERT_TRUE(profile.WriteString("Setting", "username", "\xB1\xA3"));
    EXPECT_EQ(e2e::ReadFile(path), "\xEF\xBB\xBF[Setting]\r\nnumber=1\r\nusername=\xE4\xBF\x9D\r\n");
    EXPECT_EQ(profile.ReadString("Setting", "username", "?"), "\xB1\xA3");
}

TEST_F(SettingsFileWrite, AMissingFileIsMadeAndAHiddenOneStaysHidden) {
    ASSERT_TRUE(profile.WriteStrings("Setting", {{"number", "1"}}));
    EXPECT_EQ(e2e::ReadFile(path), "[Setting]\r\nnumber=1\r\n");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(profile.WriteStrings("Setting", {{"number", "2"}}));
    EXPECT_TRUE(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"Setting.ini"}) << "a file was left behind";
}

TEST_F(SettingsFileWrite, AFileThatCannotBeWrittenStaysAsItWas) {
    const std::string before = "[Setting]\r\nnumber=1\r\n";
    e2e::WriteFile(path, before);

    // Marked read-only: refused even where, as for an administrator, the platform would write.
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(profile.WriteString("Setting", "number", "2"));
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(e2e::ReadFile(path), before);

    // Held open by another program that shares it with no one.
    {
        UniqueKernelHandle held(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(profile.WriteString("Setting", "number", "2"));
    }
    EXPECT_EQ(e2e::ReadFile(path), before);

    // A value that would start a line of its own.
    EXPECT_FALSE(profile.WriteStrings("Setting", {{"number", "2"}, {"apn", "x\r\n[BaseSetting]"}}));
    EXPECT_EQ(e2e::ReadFile(path), before);
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"Setting.ini"}) << "a file was left behind";
}

TEST_F(SettingsFileWrite, AFileInAFolderThatIsGoneOrNamedByAFolderIsNotWritten) {
    Win32Profile gone(folder + "\\missing\\Setting.ini");
    EXPECT_FALSE(gone.WriteString("Setting", "number", "1"));
    EXPECT_FALSE(e2e::FileExists(folder + "\\missing"));

    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_FALSE(profile.WriteString("Setting", "number", "1"));
    EXPECT_EQ(profile.ReadString("Setting", "number", "default"), "default");
    ::RemoveDirectoryA(path.c_str());
}

TEST_F(SettingsFileWrite, WhereTheFileCannotBeReplacedWholeTheSaveIsRefusedAndTheFileKept) {
    const std::string before = "[Setting]\r\nnumber=1\r\n";
    // A folder whose path leaves no room for the name of a new file in it (the file's own fits).
    const std::string deepName(MAX_PATH - 14 - folder.size() - 1, 'd');
    const std::string deep = folder + "\\" + deepName;
    ASSERT_TRUE(::CreateDirectoryA(deep.c_str(), nullptr));
    const struct {
        const char* what;
        std::string path;
        bool heldWithoutDeleteSharing;
    } cases[] = {
        {"no new file can be made in the folder", deep + "\\Setting.ini", false},
        {"another program reads the file without delete sharing", path, true},
    };
    for (const auto& c : cases) {
        e2e::WriteFile(c.path, before);
        UniqueKernelHandle reader;
        if (c.heldWithoutDeleteSharing)
            reader.reset(::CreateFileA(c.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
        ASSERT_EQ(static_cast<bool>(reader), c.heldWithoutDeleteSharing) << c.what;
        EXPECT_FALSE(Win32Profile(c.path).WriteString("Setting", "number", "22")) << c.what;
        reader.reset();
        EXPECT_EQ(e2e::ReadFile(c.path), before) << c.what << ": the file is not written over in place";
    }
    EXPECT_EQ(FolderContents(), (std::vector<std::string>{"Setting.ini", deepName})) << "a file was left behind";
}

TEST_F(SettingsFileWrite, AWriteThePlatformReadsOtherwiseIsUndoneAndReported) {
    // In code page 936 a GBK lead byte at the end of a line swallows the LF after it: the
    // platform reads "number=1" as part of the line before, where the program's line-based
    // edit finds it as a key of its own.
    if (::GetACP() != 936) GTEST_SKIP() << "needs the Chinese code page (LANG=zh_CN.UTF-8)";
    const std::string before = "[Setting]\nx=\x81\nnumber=1\n";
    e2e::WriteFile(path, before);
    EXPECT_FALSE(profile.WriteString("Setting", "number", "2"));
    EXPECT_EQ(e2e::ReadFile(path), before);
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"Setting.ini"}) << "a file was left behind";
}

TEST_F(SettingsFileWrite, TheLinesOfASectionAreReadAsThePlatformSeesThem) {
    e2e::WriteFile(path, "[Operators]\r\n; note\r\noperator1=A\r\n  OPERATOR7 = B \r\nbare\r\n=x\r\n[operators]\r\noperator9=C\r\n");
    const auto lines = profile.ReadSection("Operators");
    ASSERT_TRUE(lines.has_value());
    std::vector<std::string> shown;
    for (const ProfileSectionEntry& line : *lines) shown.push_back(line.key + (line.value ? "=" + *line.value : ""));
    EXPECT_EQ(shown, (std::vector<std::string>{"operator1=A", "OPERATOR7=B", "bare", "=x"}))
        << "notes are left out, blanks around names and values dropped, only the first section of the name read";
    const auto missing = profile.ReadSection("Missing");
    ASSERT_TRUE(missing.has_value());
    EXPECT_TRUE(missing->empty());
    std::string many = "[Operators]\r\n";
    for (int i = 1; i <= 20000; ++i) many += "operator" + std::to_string(i) + "=x\r\n";
    e2e::WriteFile(path, many);
    const auto all = profile.ReadSection("Operators");
    ASSERT_TRUE(all.has_value());
    ASSERT_EQ(all->size(), 20000u) << "a section longer than the first buffer was cut";
    EXPECT_EQ(all->back().key, "operator20000");
}

} // namespace
} // namespace vantaro
