#include "app/DialogInitData.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantaro {
namespace {

// One entry as the resource compiler lays it out: id, CB_ADDSTRING's 16-bit number, length, text.
std::vector<std::uint8_t> Entry(int id, const std::string& text) {
    const std::string header{static_cast<char>(id & 0xFF), static_cast<char>(id >> 8), 0x03, 0x04,
                             static_cast<char>(text.size() + 1), 0, 0, 0};
    const std::string bytes = header + text + std::string(1, '\0');
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

TEST(DialogInitData, ReadsEntriesUpToTheEndMark) {
    std::vector<std::uint8_t> data = Entry(1012, "GPRS");
    for (auto part : {Entry(1012, "CSD"), Entry(1020, "Chinese")}) data.insert(data.end(), part.begin(), part.end());
    data.insert(data.end(), {0, 0});
    const auto entries = ParseDialogInitData(data.data(), data.size());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].controlId, 1012);
    EXPECT_EQ(entries[0].message, 0x0403u);
    EXPECT_EQ(entries[0].text, "GPRS");
    EXPECT_EQ(entries[1].text, "CSD");  // unaligned after a 5-byte text
    EXPECT_EQ(entries[2].controlId, 1020);
    EXPECT_EQ(entries[2].text, "Chinese");
}

TEST(DialogInitData, ATruncatedResourceStopsWithoutReadingPastItsEnd) {
    std::vector<std::uint8_t> data = Entry(1012, "GPRS");
    std::vector<std::uint8_t> second = Entry(1012, "CSD");
    data.insert(data.end(), second.begin(), second.begin() + 10);
    const auto entries = ParseDialogInitData(data.data(), data.size());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "GPRS");
}

} // namespace
} // namespace vantaro
