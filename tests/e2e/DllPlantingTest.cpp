// A DLL planted beside each of the three programs under the name of a system DLL it uses is never
// loaded: the programs take those DLLs from the system folder only. The planted DLL
// (tests/planted) leaves a mark file when it is loaded. Under Wine a DLL beside the program is
// taken only when the load order puts native before builtin, so each case runs as a CTest test
// of its own with that override for the one DLL it plants (WINEDLLOVERRIDES; Wine hands it to
// the programs a test starts only from the Unix environment, which CMake sets).

#include "e2e/UiDriver.h"
#include "platform/ModemDevices.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vantaro::e2e {
namespace {

enum class Program { Vantaro, VantaroDialling, ModemNode, PnpAgent64 };

struct Planting {
    const char* name;  // the CTest case
    Program program;
    const char* dll;
};

std::ostream& operator<<(std::ostream& out, const Planting& planting) { return out << planting.name; }

// The planted DLL built for the program's architecture.
std::string PlantedDll(Program program) {
    const char* built = std::getenv(program == Program::PnpAgent64 ? "VANTARO_PLANTED_DLL64" : "VANTARO_PLANTED_DLL32");
    return WindowsPath(built ? built : "");
}

class DllPlantingTest : public ::testing::TestWithParam<Planting> {
protected:
    // Plants the DLL in `folder`; the path of the mark it leaves when loaded.
    std::string Plant(const std::string& folder) {
        const std::string planted = folder + "\\" + GetParam().dll;
        EXPECT_TRUE(::CopyFileA(PlantedDll(GetParam().program).c_str(), planted.c_str(), FALSE))
            << "cannot plant " << PlantedDll(GetParam().program) << " as " << planted;
        return planted + ".loaded";
    }

    // A copy of one program of the distribution folder in a folder of its own.
    std::string CopyProgram(const std::string& name) {
        const std::string folder = WorkFolder(std::string("dll_planting_") + GetParam().name);
        const std::string from = name == "pnpagent64.exe" ? PnpAgentFolder() : DistFolder();
        EXPECT_TRUE(::CopyFileA((from + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE)) << name;
        return folder + "\\" + name;
    }
};

TEST_P(DllPlantingTest, ThePlantedDllIsNeverLoaded) {
    const Planting& planting = GetParam();
    std::string mark;
    switch (planting.program) {
    case Program::Vantaro:
    case Program::VantaroDialling: {
        VantaroProcess vantaro(std::string("dll_planting_") + planting.name);
        vantaro.WriteSettings("[Setting]\r\nnumber=*99#\r\n[BaseSetting]\r\nlanguage=1\r\n");
        mark = Plant(vantaro.Folder());
        ASSERT_TRUE(vantaro.Start());
        HWND dialog = vantaro.WaitForSettingsDialog();
        ASSERT_NE(dialog, nullptr) << "the Settings dialog did not appear";
        if (planting.program == Program::VantaroDialling) {
            // The dial needs the remote-access library: Wine's own refuses the dial, and the
            // dialog then waits for it.
            Click(dialog, IDC_DIAL);
            EXPECT_TRUE(WaitUntil([&] { return ControlEnabled(dialog, IDC_DISCONNECT); }))
                << "the dial did not reach the remote-access service";
        }
        break;  // the program is ended as `vantaro` goes
    }
    case Program::ModemNode: {
        const std::string program = CopyProgram("modemnode.exe");
        mark = Plant(program.substr(0, program.rfind('\\')));
        // Wine's configuration manager finds no root: the run fails after its first call.
        const ProgramRun run = RunWithArguments(program, "MODEM COM4");
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 1u) << run.output;
        break;
    }
    case Program::PnpAgent64: {
        platformtest::RemoveAllModemDevices();
        ASSERT_TRUE(platformtest::CreateBareModemDevice(platformtest::kModemHardwareId));
        const std::string program = CopyProgram("pnpagent64.exe");
        mark = Plant(program.substr(0, program.rfind('\\')));
        const ProgramRun run = e2e::RunProgram(
            program, std::string("pnpagent64.exe UpdateDriverForPlugAndPlayDevices ") + platformtest::kModemHardwareId +
                         " \"" + DistFolder() + "\\modem_inf64.inf\"");
        platformtest::RemoveAllModemDevices();
        ASSERT_TRUE(run.finished);
        EXPECT_NE(run.exitCode, 0u) << "the system's driver update installs the sample driver: " << run.output;
        break;
    }
    }
    EXPECT_FALSE(FileExists(mark)) << planting.dll << " was loaded from beside the program";
}

INSTANTIATE_TEST_SUITE_P(, DllPlantingTest,
                         ::testing::Values(Planting{"vantaro_rasapi32", Program::VantaroDialling, "rasapi32.dll"},
                                           Planting{"vantaro_newdev", Program::Vantaro, "newdev.dll"},
                                           Planting{"modemnode_cfgmgr32", Program::ModemNode, "cfgmgr32.dll"},
                                           Planting{"pnpagent64_newdev", Program::PnpAgent64, "newdev.dll"}),
                         [](const ::testing::TestParamInfo<Planting>& info) { return info.param.name; });

} // namespace
} // namespace vantaro::e2e
