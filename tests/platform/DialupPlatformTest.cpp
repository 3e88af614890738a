// The dial-up layer against Wine's own rasapi32.dll and real kernel events and threads.

#include "dialup/DialNotify.h"
#include "dialup/DialupEntry.h"
#include "dialup/win32/SystemRasLibrary.h"
#include "dialup/win32/Win32DialEvents.h"
#include "fakes/FakeRasLibrary.h"
#include "fakes/SettingsFormFixture.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/WorkerThread.h"
#include "workflow/DialSession.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace vantaro {
namespace {

using testing::FakeControls;
using testing::FakeRasLibrary;
using testing::MemoryProfile;
using testing::RecordingMessages;

std::string Lower(std::string text) {
    ::CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

TEST(SystemRasLibrary, LoadsRasapi32FromTheSystemDirectory) {
    char folder[MAX_PATH] = {};
    ::GetSystemDirectoryA(folder, MAX_PATH);
    EXPECT_EQ(Lower(SystemRasLibrary::LibraryPath()), Lower(std::string(folder) + "\\rasapi32.dll"));

    SystemRasLibrary library;
    void* module = library.Load();
    ASSERT_NE(module, nullptr);
    char loaded[MAX_PATH] = {};
    ::GetModuleFileNameA(static_cast<HMODULE>(module), loaded, MAX_PATH);
    EXPECT_EQ(Lower(loaded), Lower(SystemRasLibrary::LibraryPath()));
    EXPECT_NE(library.FindEntryPoint(module, "RasEnumDevicesA"), nullptr);
    EXPECT_EQ(library.FindEntryPoint(module, "RasNoSuchEntryPointA"), nullptr);
    library.Free(module);
}

TEST(WineRasapi32, ListsItsVirtualModem) {
    SystemRasLibrary library;
    std::vector<ras::RASDEVINFOA> devices;
    ASSERT_TRUE(EnumModemDevices(library, devices));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_STREQ(devices[0].szDeviceType, "modem");
    EXPECT_STREQ(devices[0].szDeviceName, "WINE virtmodem");
}

TEST(WineRasapi32, AcceptsTheDialupEntry) {
    SystemRasLibrary library;
    // Wine's service knows no entry, so none is ever there to keep.
    EXPECT_EQ(CreateDialupEntry(library, "Vantaro Platform Test", "*99***1#", "card", Secret("secret"), "10.11.12.13",
                                "10.0.0.2", "modem", "WINE virtmodem", ExistingEntry::Keep),
              EntryWrite::Created);
}

// A dialog whose dial session runs on the platform's events, clock and threads.
class PlatformDialTest : public ::testing::Test, protected testing::SettingsFormFixture {
protected:
    PlatformDialTest() {
        profile.Reset("[Setting]\nnumber=*99#\n[BaseSetting]\nlanguage=1\n");
        form.LoadSettings();
    }
    Win32DialEvents events;
    Win32Clock clock;
};

TEST_F(PlatformDialTest, WinesRefusedDialSaysItsErrorAndGivesTheButtonsBack) {
    SystemRasLibrary ras;
    DialSession session(form, ras, events, clock);
    session.ConnectClicked([&](std::function<void()> work) {
        work();
        return true;
    });
    EXPECT_EQ(controls.GetText(IDC_STATUS).rfind("Error: ", 0), 0u) << controls.GetText(IDC_STATUS);
    EXPECT_FALSE(controls.IsEnabled(IDC_DISCONNECT));
    EXPECT_TRUE(controls.IsEnabled(IDC_DIAL));
}

TEST_F(PlatformDialTest, EndingTheDialogWakesAWaitingDialThreadWhichLeavesTheDialogAlone) {
    FakeRasLibrary ras;  // answers nothing: the dial thread waits
    UniqueKernelHandle dialling(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ras.duringDial = [&] { ::SetEvent(dialling.get()); };
    auto session = std::make_shared<DialSession>(form, ras, events, clock);

    UniqueKernelHandle thread;
    session->ConnectClicked([&](std::function<void()> work) {
        thread = StartWorkerThread([session, work = std::move(work)] { work(); });
        return static_cast<bool>(thread);
    });
    ASSERT_TRUE(thread);
    ASSERT_EQ(::WaitForSingleObject(dialling.get(), 30000), WAIT_OBJECT_0) << "the dial did not start within 30 s";
    ::Sleep(100);  // the thread is in its wait now

    const int statusWrites = controls.setTextCount[IDC_STATUS];
    const DWORD start = ::GetTickCount();
    session->CancelClicked([&] { controls.End(); });
    session.reset();  // the dialog lets go; the thread still holds the session
    // Half the dial's own wait: ample for a woken thread on a loaded machine (it takes a few ms),
    // and short of what a thread that went on waiting takes.
    const DWORD ended = ::WaitForSingleObject(thread.get(), DialSession::kDialWaitMs / 2);
    std::printf("[ figure   ] the dial thread ended %lu ms after Cancel\n", static_cast<unsigned long>(::GetTickCount() - start));
    EXPECT_EQ(ended, WAIT_OBJECT_0) << "the dial thread went on waiting (" << DialSession::kDialWaitMs / 2 << " ms)";
    // Whatever happened, the thread ends before the things it uses do.
    if (ended != WAIT_OBJECT_0) ::WaitForSingleObject(thread.get(), DialSession::kDialWaitMs + 5000);
    EXPECT_EQ(controls.setTextCount[IDC_STATUS], statusWrites);
    EXPECT_EQ(ras.Count("RasHangUpA 81"), 1);

    // The service may still call the notifier for that dial; nothing is left for it to reach.
    DialNotify(0, ras::kStateConnected, 0);
    DialNotify(0, 0, 678);
}

} // namespace
} // namespace vantaro
