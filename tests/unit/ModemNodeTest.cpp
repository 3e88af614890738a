// modemnode's command line and the steps that create or find the root modem node, against a
// device tree in memory.

#include "fakes/FakeDeviceNodes.h"
#include "modemnode/RootModemNode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace modemnode {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::FakeDeviceNodes;

// A string as the registry stores it.
std::string Stored(const std::string& text) { return text + '\0'; }

class ModemNodeTest : public ::testing::Test {
protected:
    int Run(std::vector<std::string> arguments) {
        output.clear();
        return RunModemNode(arguments, nodes, output);
    }

    FakeDeviceNodes nodes;
    std::string output;
};

TEST_F(ModemNodeTest, AnyArgumentCountButTwoIsAUsageErrorThatTouchesNoDevice) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {}, {"MODEM"}, {"MODEM", "COM4", "extra"}, {"a", "b", "c", "d"}}) {
        EXPECT_EQ(Run(arguments), kExitUsage) << arguments.size() << " arguments";
        EXPECT_EQ(output, "Wrong Argument!\r\n") << arguments.size() << " arguments";
    }
    EXPECT_THAT(nodes.calls, IsEmpty());
}

TEST_F(ModemNodeTest, CreatesRootModemCom4DescribedAndAttachedToTheSecondArgument) {
    EXPECT_EQ(BuildInstanceId("MODEM", "COM4"), "Root\\MODEM\\COM4");

    EXPECT_EQ(Run({"MODEM", "COM4"}), kExitSuccess);
    EXPECT_EQ(output, "") << "a run that works prints nothing";
    EXPECT_THAT(nodes.calls, ElementsAre("LocateRoot", "Create Root\\MODEM\\COM4 under 1",
                                         "SetDeviceDescription 100", "WriteHardwareKeyString 100 AttachedTo"));
}

TEST_F(ModemNodeTest, StringsAreStoredWithASizeThatCountsTheirTerminatingNul) {
    ASSERT_EQ(Run({"MODEM", "COM4"}), kExitSuccess);
    const auto& node = nodes.NodeOf("Root\\MODEM\\COM4");
    const struct {
        const char* what;
        std::string stored;
        std::string expected;
    } cases[] = {
        {"the device description", node.description, std::string("ZOR Modem\0", 10)},
        {"AttachedTo", node.hardwareKey.at("AttachedTo"), std::string("COM4\0", 5)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.stored, c.expected) << c.what;
}

TEST_F(ModemNodeTest, ASecondRunFindsTheNodeByItsIdAndWritesItsValuesAgain) {
    ASSERT_EQ(Run({"MODEM", "COM4"}), kExitSuccess);
    nodes.calls.clear();
    nodes.nodes.at(100).hardwareKey["AttachedTo"] = "stale";

    EXPECT_EQ(Run({"MODEM", "COM4"}), kExitSuccess);
    EXPECT_THAT(nodes.calls, ElementsAre("LocateRoot", "Create Root\\MODEM\\COM4 under 1", "Locate Root\\MODEM\\COM4",
                                         "SetDeviceDescription 100", "WriteHardwareKeyString 100 AttachedTo"));
    const auto& node = nodes.NodeOf("Root\\MODEM\\COM4");
    EXPECT_EQ(node.descriptionWrites, 2);
    EXPECT_EQ(node.hardwareKeyWrites, 2);
    EXPECT_EQ(node.hardwareKey.at("AttachedTo"), Stored("COM4"));
    EXPECT_EQ(nodes.nodes.size(), 1u) << "no second node";
}

TEST_F(ModemNodeTest, WithoutTheRootNothingIsCreatedAndTheRunFailsSilently) {
    nodes.rootFound = false;
    EXPECT_EQ(Run({"MODEM", "COM4"}), kExitFailure);
    EXPECT_EQ(output, "");
    EXPECT_THAT(nodes.calls, ElementsAre("LocateRoot"));
}

TEST_F(ModemNodeTest, ARefusedCreationWritesNothingAndFails) {
    nodes.refuseCreation = true;
    EXPECT_EQ(Run({"MODEM", "COM4"}), kExitFailure);
    EXPECT_EQ(output, "");
    EXPECT_THAT(nodes.calls, ElementsAre("LocateRoot", "Create Root\\MODEM\\COM4 under 1"));
}

TEST_F(ModemNodeTest, AnExistingNodeThatCannotBeFoundFailsWithoutWriting) {
    nodes.AddNode("Root\\MODEM\\COM4");
    nodes.locateFinds = false;
    EXPECT_EQ(Run({"MODEM", "COM4"}), kExitFailure);
    EXPECT_EQ(nodes.NodeOf("Root\\MODEM\\COM4").descriptionWrites, 0);
    EXPECT_EQ(nodes.NodeOf("Root\\MODEM\\COM4").hardwareKeyWrites, 0);
}

TEST_F(ModemNodeTest, AValueNotWrittenIsAFailureButTheOtherIsStillWritten) {
    nodes.failDescription = true;
    EXPECT_EQ(Run({"MODEM", "COM4"}), kExitFailure);
    EXPECT_EQ(nodes.NodeOf("Root\\MODEM\\COM4").hardwareKey.at("AttachedTo"), Stored("COM4"));

    nodes.failDescription = false;
    nodes.failHardwareKey = true;
    EXPECT_EQ(Run({"MODEM", "COM4"}), kExitFailure);
    EXPECT_EQ(nodes.NodeOf("Root\\MODEM\\COM4").description, Stored("ZOR Modem"));
    EXPECT_EQ(output, "");
}

TEST_F(ModemNodeTest, AnIdOfThirtyOneCharactersFitsAndALongerOneIsAUsageError) {
    const std::string classSegment(12, 'M');
    const std::string port13(13, 'P');
    ASSERT_EQ(BuildInstanceId(classSegment, port13).value_or("").size(), 31u);
    EXPECT_EQ(Run({classSegment, port13}), kExitSuccess);
    EXPECT_EQ(nodes.NodeOf("Root\\" + classSegment + "\\" + port13).hardwareKey.at("AttachedTo"), Stored(port13));

    nodes.calls.clear();
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {classSegment, port13 + "P"}, {classSegment + "M", port13}, {"MODEM", std::string(5000, 'C')}}) {
        EXPECT_EQ(BuildInstanceId(arguments[0], arguments[1]), std::nullopt);
        EXPECT_EQ(Run(arguments), kExitUsage);
        EXPECT_EQ(output, "Wrong Argument!\r\n");
    }
    EXPECT_THAT(nodes.calls, IsEmpty()) << "an id that does not fit creates nothing";
    EXPECT_FALSE(CreateRootModemNode(nodes, "MODEM", std::string(27, 'C')));
    EXPECT_THAT(nodes.calls, IsEmpty());
}

} // namespace
} // namespace modemnode
