#include "app/OutcomeText.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

TEST(OutcomeText, IsWordedFromTheModalResultAndTheTwoFlags) {
    EXPECT_EQ(ComposeOutcomeText(1, 0, 1, "COM5", "GPRS Connection"), "Fail to install the modem on COM5.");
    EXPECT_EQ(ComposeOutcomeText(1, 1, 0, "COM5", "GPRS Connection"), "Fail to create the Internet Connection.");
    EXPECT_EQ(ComposeOutcomeText(1, 1, 1, "COM5", "GPRS Connection"),
              "The Internet Connection \"GPRS Connection\" is created successfully!");
    EXPECT_EQ(ComposeOutcomeText(2, 1, 1, "COM5", "x"), "The Installation is canceled.");
    EXPECT_EQ(ComposeOutcomeText(-1, 0, 0, "", ""), "The Installation is canceled.");
}

TEST(OutcomeText, APortNameWithFormatCharactersIsTakenLiterally) {
    EXPECT_EQ(ComposeOutcomeText(1, 0, 0, "%s%n", ""), "Fail to install the modem on %s%n.");
}

} // namespace
} // namespace vantaro
