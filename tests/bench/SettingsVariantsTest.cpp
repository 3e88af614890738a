// The settings files the benchmark measures with say what the benchmark claims they say.

#include "bench/SettingsVariants.h"
#include "settings/IniDocument.h"
#include "fakes/IniFileProfile.h"

#include <gtest/gtest.h>

#include <set>

namespace vantaro::bench {
namespace {

const char kDelivered[] =
    "[Setting]\r\nnumber=*99#\r\nmax_operator_num=500\r\n\r\n"
    "[Operators]\r\noperator1=China Mobile\r\noperator2=China Unicom\r\n\r\n"
    "[China Mobile]\r\nnumber=*99***1#\r\n\r\n[China Unicom]\r\nnumber=*99#\r\n\r\n"
    "[English]\r\nmodemsetsu=Modem ready.\r\n";

TEST(BenchOperators, EveryOperatorNamesASectionOfItsOwnWithANumber) {
    const IniDocument document(WithOperators(kDelivered, 500));
    std::set<std::string> names;
    for (int i = 1; i <= 500; ++i) {
        const std::string name = ProfileString(document, "Operators", "operator" + std::to_string(i), "");
        ASSERT_FALSE(name.empty()) << "operator" << i;
        EXPECT_FALSE(ProfileString(document, name, "number", "").empty()) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 500u) << "each operator has its own section";
    EXPECT_EQ(ProfileString(document, "Operators", "operator501", ""), "");
}

TEST(BenchOperators, TheRestOfTheDeliveredFileStaysAsItWas) {
    const IniDocument document(WithOperators(kDelivered, 500));
    EXPECT_EQ(ProfileInt(document, "Setting", "max_operator_num", 0), 500);
    EXPECT_EQ(ProfileString(document, "Setting", "number", ""), "*99#");
    EXPECT_EQ(ProfileString(document, "English", "modemsetsu", ""), "Modem ready.");
}

TEST(BenchReaderFile, HasAtLeastTheAskedSizeAndEndsWithTheKeyLookedUp) {
    for (std::size_t size : {std::size_t{10 * 1024}, std::size_t{1024 * 1024}}) {
        const std::string text = ReaderFileOfSize(size);
        EXPECT_GE(text.size(), size);
        EXPECT_LT(text.size(), size + 128) << "close to the asked size";
        EXPECT_EQ(ProfileString(IniDocument(text), kLastSection, kLastKey, ""), kLastValue);
    }
}

} // namespace
} // namespace vantaro::bench
