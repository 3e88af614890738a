// modemnode's command line: any number of arguments of any bytes, against a device tree in
// memory whose steps can fail. The tool never builds an instance id longer than its buffer,
// says "Wrong Argument!" exactly on a wrong command line, and its exit code tells success
// (0) from failure (1) and from a wrong command line (2).

#include "fakes/FakeDeviceNodes.h"
#include "fuzz/FuzzCheck.h"
#include "modemnode/RootModemNode.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using vantaro::fuzz::Require;
    FuzzedDataProvider data(bytes, size);

    modemnode::testing::FakeDeviceNodes nodes;
    nodes.rootFound = data.ConsumeProbability<float>() > 0.1f;
    nodes.refuseCreation = data.ConsumeProbability<float>() < 0.1f;
    nodes.locateFinds = data.ConsumeProbability<float>() > 0.1f;
    nodes.failDescription = data.ConsumeProbability<float>() < 0.1f;
    nodes.failHardwareKey = data.ConsumeProbability<float>() < 0.1f;
    // A node left by an earlier run: none, the very node asked for, or some other one.
    const int leftOver = data.ConsumeIntegralInRange(0, 2);

    std::vector<std::string> arguments(data.ConsumeIntegralInRange<std::size_t>(0, 4));
    for (std::string& argument : arguments) argument = data.ConsumeRandomLengthString(48);

    const std::string id = arguments.size() == 2 ? "Root\\" + arguments[0] + "\\" + arguments[1] : std::string();
    if (leftOver == 1 && !id.empty()) nodes.AddNode(id);
    if (leftOver == 2) nodes.AddNode(data.ConsumeRandomLengthString(40));
    const bool existedBefore = !id.empty() && nodes.ids.count(id) > 0;

    std::string output;
    const int exitCode = modemnode::RunModemNode(arguments, nodes, output);

    const bool usable = arguments.size() == 2 && id.size() <= modemnode::kMaxInstanceIdLength;
    Require(exitCode == modemnode::kExitSuccess || exitCode == modemnode::kExitFailure ||
                exitCode == modemnode::kExitUsage,
            "the exit code is one of the documented three");
    Require((exitCode == modemnode::kExitUsage) == !usable, "a wrong command line, and only that, is a usage error");
    Require(output == (usable ? std::string() : std::string(modemnode::kWrongArgument)),
            "only a usage error prints, and it prints exactly \"Wrong Argument!\"");
    if (!usable) {
        Require(nodes.calls.empty(), "a wrong command line touches no device node");
        return 0;
    }
    for (const std::string& call : nodes.calls) {
        if (call.rfind("Create ", 0) != 0) continue;
        const std::string created = call.substr(7, call.rfind(" under ") - 7);
        Require(created.size() <= modemnode::kMaxInstanceIdLength, "no instance id outgrows its buffer");
    }

    const bool nodeAtHand = existedBefore ? nodes.locateFinds : !nodes.refuseCreation;
    const bool everyStepHeld = nodes.rootFound && nodeAtHand && !nodes.failDescription && !nodes.failHardwareKey;
    Require((exitCode == modemnode::kExitSuccess) == everyStepHeld, "success is reported exactly when every step held");
    if (exitCode == modemnode::kExitSuccess) {
        const auto& node = nodes.NodeOf(id);
        Require(node.description == std::string(modemnode::kDeviceDescription) + '\0',
                "success means the node is described");
        const auto attached = node.hardwareKey.find(vantaro::registry_value::kAttachedTo);
        Require(attached != node.hardwareKey.end() && attached->second == arguments[1] + '\0',
                "success means AttachedTo names the port");
    }
    return 0;
}
