// The binding reads a connection's statistics, and hears of its end, from the rasapi32.dll
// double (loaded by its path: CTest sets WINEDLLOVERRIDES so that Wine takes the file, not its
// own library of that name).

#include "dialup/LinkWatch.h"
#include "e2e/UiDriver.h"
#include "platform/win32/UniqueHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace vantaro {
namespace {

class DoubleLibrary final : public RasLibrary {
public:
    void* Load() override {
        char path[MAX_PATH] = {};
        ::GetEnvironmentVariableA("VANTARO_RAS_DOUBLE_DLL", path, MAX_PATH);
        return ::LoadLibraryExA(e2e::WindowsPath(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    void* FindEntryPoint(void* module, const char* name) override {
        return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
    }
    void Free(void* module) override { ::FreeLibrary(static_cast<HMODULE>(module)); }
};

HANDLE connected = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
VOID WINAPI OnDialState(UINT, DWORD state, DWORD) {
    if (state == ras::kStateConnected) ::SetEvent(connected);
}

TEST(LinkStatisticsPlatform, TheBindingReadsGrowingStatisticsAndHearsTheDrop) {
    const std::string script = e2e::WorkFolder("link_statistics") + "\\script.ini";
    e2e::WriteFile(script, "[Link]\r\nreceive_bps=100000\r\nsend_bps=20000\r\ndrop_after_ms=2500\r\n");
    ::SetEnvironmentVariableA("VANTARO_RAS_DOUBLE", script.c_str());
    DoubleLibrary library;
    void* module = library.Load();
    ASSERT_NE(module, nullptr);
    using DialFunction = DWORD(WINAPI*)(void*, const char*, ras::RASDIALPARAMSA*, DWORD, void*, HANDLE*);
    auto dial = reinterpret_cast<DialFunction>(library.FindEntryPoint(module, "RasDialA"));
    ASSERT_NE(dial, nullptr);
    ras::RASDIALPARAMSA params{ras::kDialParamsSize};
    HANDLE handle = nullptr;
    ASSERT_EQ(dial(nullptr, nullptr, &params, 0, reinterpret_cast<void*>(&OnDialState), &handle), 0u);
    ASSERT_EQ(::WaitForSingleObject(connected, 30000), WAIT_OBJECT_0) << "the double's dial did not connect within 30 s";

    LinkWatch watch(library, reinterpret_cast<ras::ConnectionHandle>(handle));
    UniqueKernelHandle ended(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(watch.NotifyOnEnd(ended.get()));
    LinkMeter meter;
    const DWORD first = ::GetTickCount();
    watch.Sample(meter, first);
    const DWORD firstDone = ::GetTickCount();
    ::Sleep(LinkMeter::kSamplePeriodMs);
    const DWORD second = ::GetTickCount();
    watch.Sample(meter, second);
    const DWORD secondDone = ::GetTickCount();
    // The double's own clock times its bytes: it reads that clock during each call, somewhere
    // between the ticks taken around it. The figures lie within what those spans allow (a loaded
    // machine widens them), with 3 % more for the tick's steps and rounding.
    const double period = second - first;
    const auto expectRate = [&](std::uint64_t figure, double perSecond, const char* what) {
        const double low = perSecond * (second - firstDone) / period * 0.97;
        const double high = perSecond * (secondDone - first) / period * 1.03;
        std::printf("[ figure   ] %s %llu bytes/s (the double's %.0f; calls took %lu and %lu ms)\n", what,
                    static_cast<unsigned long long>(figure), perSecond, static_cast<unsigned long>(firstDone - first),
                    static_cast<unsigned long>(secondDone - second));
        EXPECT_GE(double(figure), low) << what;
        EXPECT_LE(double(figure), high) << what;
    };
    expectRate(meter.Figures().receivedPerSecond, 100000, "received");
    expectRate(meter.Figures().sentPerSecond, 20000, "sent");
    EXPECT_EQ(watch.Status(), LinkStatus::Up);

    EXPECT_EQ(::WaitForSingleObject(ended.get(), 30000), WAIT_OBJECT_0) << "the scripted drop was not signalled within 30 s";
    EXPECT_EQ(watch.Status(), LinkStatus::Gone);
    library.Free(module);
    ::SetEnvironmentVariableA("VANTARO_RAS_DOUBLE", nullptr);
}

} // namespace
} // namespace vantaro
