// Saving the About button's shell link against Wine's real shell: what the link holds, and
// the refusal of a link path that does not fit the wide path buffer.

#include "app/ComOwners.h"
#include "app/Shortcut.h"
#include "e2e/UiDriver.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using e2e::FileExists;
using e2e::ReadFile;
using e2e::WorkFolder;

// The link path `folder\<name>.lnk` of exactly `length` characters, in a subfolder made for it.
std::string LinkPathOfLength(const std::string& folder, std::size_t length) {
    const std::string subfolder = folder + "\\" + std::string(100, 'd');
    ::CreateDirectoryA(subfolder.c_str(), nullptr);
    const std::size_t nameLength = length - subfolder.size() - 1 - 4;
    return subfolder + "\\" + std::string(nameLength, 'n') + ".lnk";
}

TEST(SaveShellLink, APathThatFillsThePathBufferIsSavedAndOneCharacterMoreIsRefused) {
    ComInitialization com;
    const std::string folder = WorkFolder("shortcut_path_limit");
    ASSERT_LT(folder.size() + 110, 259u) << "the work folder's path leaves no room for the test";

    const std::string longest = LinkPathOfLength(folder, MAX_PATH - 1);
    ASSERT_EQ(longest.size(), 259u);
    EXPECT_TRUE(SaveShellLink(longest, "C:\\KR_WSN.log"));
    EXPECT_TRUE(FileExists(longest));
    // A link file begins with its header size, 0x4C.
    EXPECT_EQ(ReadFile(longest).substr(0, 4), std::string("\x4C\0\0\0", 4));

    const std::string tooLong = LinkPathOfLength(folder, MAX_PATH);
    ASSERT_EQ(tooLong.size(), 260u);
    EXPECT_FALSE(SaveShellLink(tooLong, "C:\\KR_WSN.log"));
    EXPECT_FALSE(FileExists(tooLong)) << "a link path that does not fit must not be saved at all";
    // Nor under the name cut to fit.
    EXPECT_FALSE(FileExists(tooLong.substr(0, MAX_PATH - 1)));
}

} // namespace
} // namespace vantaro
