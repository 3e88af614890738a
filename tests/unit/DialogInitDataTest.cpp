#include "app/DialogInitData.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantaro {
namespace {

std::vector<std::uint8_t> Entry(int id, const std::string& text) {
    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(id & 0xFF), static_cast<std::uint8_t>(id >> 8), 0x03, 0x04,
                                       static_cast<std::uint8_t>(text.size() + 1), 0, 0, 0};
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
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
