// The APNs one dial series tries, in their order, and the dial errors that move on to the next.

#include "fakes/MemoryWholeFile.h"
#include "fakes/ProviderFixtures.h"
#include "workflow/ApnCandidates.h"
#include "workflow/ApnMemory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro {
namespace {

using Apns = std::vector<std::string>;

ApnProposal ProposalFor(const char* serviceProviderName) {
    SimOperator simOperator;
    simOperator.source = OperatorSource::SimHome;
    simOperator.network = {"903", "30"};
    return ProposeApns(testing::EdgeCasesDatabase(), simOperator, serviceProviderName);
}

TEST(ApnCandidates, TheUsersApnFirstThenTheRememberedThenTheSimsProviderThenTheDatabaseThenNone) {
    // 903 30 in the database's order: host.net, virtual.net, reseller.net, then the MMS APNs of Host
    // and Reseller, which are never tried.
    const struct {
        const char* what;
        const char* userApn;
        const char* remembered;
        const char* serviceProviderName;
        Apns tried;
    } cases[] = {
        {"the database's order", "", "", "", {"host.net", "virtual.net", "reseller.net", ""}},
        {"the user's own first", "my.apn", "", "", {"my.apn", "host.net", "virtual.net", "reseller.net", ""}},
        {"then the remembered one", "my.apn", "virtual.net", "",
         {"my.apn", "virtual.net", "host.net", "reseller.net", ""}},
        {"the SIM's provider before the others", "", "", "Reseller",
         {"reseller.net", "host.net", "virtual.net", ""}},
        {"each once, without regard to case", "HOST.NET", "Host.Net", "",
         {"HOST.NET", "virtual.net", "reseller.net", ""}},
        {"all of them", "my.apn", "reseller.net", "virtual one", {"my.apn", "reseller.net", "virtual.net", "host.net", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ApnsToTry(c.userApn, c.remembered, ProposalFor(c.serviceProviderName)), c.tried) << c.what;
    EXPECT_EQ(ApnsToTry("", "", ApnProposal{}), Apns{""}) << "no operator: the network's default alone";
    EXPECT_EQ(WithRemembered({"my.apn", "host.net", "virtual.net", ""}, "Virtual.Net"),
              (Apns{"my.apn", "Virtual.Net", "host.net", ""}))
        << "a series kept before the SIM's APN was known takes it second";
}

TEST(ApnCandidates, OnlyErrorsOfARefusedApnMoveOnToTheNext) {
    // A refused context: no carrier, the modem's error, the port or link closed, PPP timed out,
    // no control protocol agreed or ended by the far side, no address assigned.
    for (std::uint32_t error : {679u, 651u, 619u, 628u, 629u, 718u, 720u, 734u, 736u, 738u})
        EXPECT_TRUE(IsWrongApnError(error)) << error;
    // A missing, busy or failed port or phone, no answer, no dial tone, the user's hang-up, the
    // account refused, no error: another APN would meet the same.
    for (std::uint32_t error : {633u, 602u, 630u, 692u, 797u, 678u, 680u, 631u, 691u, 0u})
        EXPECT_FALSE(IsWrongApnError(error)) << error;
}

TEST(ApnMemory, KeepsOneApnPerSimAndSetsADamagedFileAside) {
    testing::MemoryWholeFile file;
    ApnMemory memory(file);
    const std::string sim = "8949020000123456789";
    const std::string other = "89860012345678901234";
    EXPECT_EQ(memory.Remembered(sim), "") << "a missing file remembers nothing";
    EXPECT_TRUE(memory.Remember(sim, "virtual.net"));
    EXPECT_TRUE(memory.Remember(other, "cmnet"));
    EXPECT_TRUE(memory.Remember(sim, "reseller.net"));
    EXPECT_EQ(memory.Remembered(sim), "reseller.net");
    EXPECT_EQ(memory.Remembered(other), "cmnet");
    EXPECT_EQ(*file.content, "[" + sim + "]\r\napn=reseller.net\r\n[" + other + "]\r\napn=cmnet\r\n")
        << "only the ICCID and the APN are kept";

    EXPECT_FALSE(memory.Remember("12345", "cmnet")) << "not an ICCID";
    EXPECT_FALSE(memory.Remember(sim, "a;+cfun=0")) << "not an APN";
    EXPECT_FALSE(memory.Remember(sim, "")) << "no APN is nothing to remember";

    using namespace std::string_literals;
    for (const std::string& damaged : {"[8949020000123456789]\r\napn=a\"b\r\n"s, "[usage]\r\nreceived=1\r\n"s,
                                       "apn=cmnet\r\n"s, "[8949020000123456789]\r\napn=cm\0net\r\n"s,
                                       "[8949020000123456789]\r\npassword=secret\r\n"s}) {
        file.content = damaged;
        file.setAside.reset();
        EXPECT_EQ(memory.Remembered(sim), "") << damaged.c_str();
        EXPECT_EQ(file.setAside, damaged);
    }
    file.failingReads = 1;
    EXPECT_FALSE(memory.Remember(sim, "cmnet")) << "an unreadable file is not overwritten";
}

} // namespace
} // namespace vantaro
