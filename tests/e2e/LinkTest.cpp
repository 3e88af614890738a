// Keeping the connection, with the real Vantaro.exe dialling through the rasapi32.dll double: the
// statistics line while connected, a drop, redials after their doubling waits, and what the
// user's Disconnect, Connect and Exit do while a redial waits.

#include "e2e/DialFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace vantaro::e2e {
namespace {

// How long the program waited between the log line that starts with `from` and the next line
// of step `to` (ms, by the program's own clock, so a slow test does not change it); -1 when the
// log lacks either line.
long LoggedGap(const std::string& log, const std::string& from, const std::string& to) {
    auto at = [](const std::string& line) {  // "yyyy-mm-dd hh:mm:ss.mmm\t..."
        return line.size() < 23 ? -1L
                                : ((std::stol(line.substr(11, 2)) * 60 + std::stol(line.substr(14, 2))) * 60 +
                                   std::stol(line.substr(17, 2))) * 1000L + std::stol(line.substr(20, 3));
    };
    long start = -1;
    std::size_t begin = 0;
    while (begin < log.size()) {
        const std::size_t end = std::min(log.find("\r\n", begin), log.size());
        const std::string line = log.substr(begin, end - begin);
        begin = end + 2;
        const std::size_t step = line.find('\t', line.find('\t') + 1);
        if (step == std::string::npos) continue;
        const std::string rest = line.substr(step + 1);
        if (start < 0 && rest.rfind(from, 0) == 0) start = at(line);
        else if (start >= 0 && rest.rfind(to + "\t", 0) == 0) {
            const long gap = at(line) - start;
            return gap < 0 ? gap + 24L * 3600 * 1000 : gap;  // over midnight
        }
    }
    return -1;
}

class LinkTest : public DialFixture {
protected:
    LinkTest() {
        // The month's bytes of earlier tests in this prefix do not count here.
        char appData[MAX_PATH] = {};
        ::GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
        ::DeleteFileA((std::string(appData) + "\\Vantaro\\usage.ini").c_str());
    }

    // Until the statistics line shows both speeds, and then it.
    std::string StatisticsShown(HWND dialog) {
        WaitUntil([&] { return ControlText(dialog, IDC_LINK_STATS).find("/s") != ControlText(dialog, IDC_LINK_STATS).rfind("/s"); }, kDefaultWait);
        return ControlText(dialog, IDC_LINK_STATS);
    }
};

TEST_F(LinkTest, ADropIsRedialledAfterDoublingWaitsUntilConnectedAndDisconnectEndsAWaitingRedial) {
    ras.Set("Link", "receive_bps", "40000");
    ras.Set("Link", "drop_after_ms", "3000");
    // The dropped connection keeps the port until it is hung up: a redial without the hang-up
    // is refused with 602.
    ras.Set("Link", "keep_dropped", "1");
    HWND dialog = StartDialog("redial_first_wait=1\r\n");
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(WaitForStatus(dialog, "Connected.")) << ControlText(dialog, IDC_STATUS);
    // The redials that follow the drop fail once, then connect.
    ras.Set("Dial", "outcome", "error");
    ras.Set("Dial", "error", "678");
    ras.Set("Errors", "678", "No answer.");
    const std::string line = StatisticsShown(dialog);
    EXPECT_EQ(line.rfind("Connected 0:00:0", 0), 0u) << line;
    for (const char* figure : {"Received ", " KB", "Down ", "Up ", "Since "})
        EXPECT_NE(line.find(figure), std::string::npos) << figure << " in " << line;
    SaveWindowImage(dialog, ArtifactsFolder() + "\\link-statistics-en.bmp");
    // While connected, minimising hides the dialog to the icon; a double click on it brings it back.
    ::SendMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(::IsWindowVisible(dialog));
    ::SendMessageA(dialog, WM_APP + 60, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(dialog));

    ASSERT_TRUE(WaitForStatus(dialog, "link dropped Redialling in 1 s (attempt 1 of 5)."))
        << ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(Buttons(dialog), kDiallingButtons);
    // The program writes the status line, then blanks the statistics line: the test may look in between.
    EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, IDC_LINK_STATS).empty(); }, kDefaultWait))
        << "the statistics line still says " << ControlText(dialog, IDC_LINK_STATS);
    SaveWindowImage(dialog, ArtifactsFolder() + "\\redial-wait-en.bmp");
    ASSERT_TRUE(WaitForStatus(dialog, "Error: 678 - No answer. Redialling in 2 s (attempt 2 of 5)."))
        << ControlText(dialog, IDC_STATUS);
    ras.Set("Dial", "outcome", "connect");
    ras.Set("Link", "drop_after_ms", "1500");
    ASSERT_TRUE(WaitForStatus(dialog, "Connected.")) << ControlText(dialog, IDC_STATUS);
    EXPECT_EQ(Dials(), 3u);

    // The connection lasted less than 45 s: the count goes on, and Disconnect ends the wait.
    ASSERT_TRUE(WaitForStatus(dialog, "link dropped Redialling in 4 s (attempt 3 of 5)."))
        << ControlText(dialog, IDC_STATUS);
    Click(dialog, IDC_DISCONNECT);
    ASSERT_TRUE(WaitForStatus(dialog, "dissucess")) << ControlText(dialog, IDC_STATUS);
    EXPECT_TRUE(WaitUntil([&] { return Buttons(dialog) == kIdleButtons; }, kDefaultWait, "the idle buttons")) << Buttons(dialog);
    ::Sleep(5000);
    EXPECT_EQ(Dials(), 3u) << "a redial came after Disconnect";
    Click(dialog, IDC_EXIT);
    ASSERT_TRUE(vantaro.WaitForExit());

    // Every connection the service gave, dropped, failed or connected, was hung up once.
    EXPECT_TRUE(ras.LogLinesStartingWith("RasDialA refused").empty());
    for (const std::string& started : ras.LogLinesStartingWith("RasDialA started handle=")) {
        const std::string handle = started.substr(started.find('=') + 1);
        EXPECT_EQ(ras.LogLinesStartingWith("RasHangUpA handle=" + handle + " ").size(), 1u) << handle;
    }

    const std::string log = ReadFile(vantaro.Folder() + "\\Vantaro.log");
    for (const char* line : {"dial.dropped\tdone\t0\tafter ", "dial.redial\tstarted\t0\tattempt 1 of 5, in 1 s",
                             "dial.redial\tstarted\t0\tattempt 2 of 5, in 2 s", "dial.redial\tstarted\t0\tattempt 3 of 5, in 4 s"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    // Each redial dials after it was planned; how long after is the timer's, counted in its ticks
    // (the host's LinkKeeperTest holds the count), and a busy machine stretches or bunches the
    // ticks: the time is printed, not judged.
    for (const char* attempt : {"attempt 1 of 5, in 1 s", "attempt 2 of 5, in 2 s"}) {
        const long gap = LoggedGap(log, std::string("dial.redial\tstarted\t0\t") + attempt, "dial");
        std::printf("[ figure   ] %s: the dial came %ld ms after the redial was planned\n", attempt, gap);
        EXPECT_GE(gap, 0) << attempt << ": the redial's dial is not in the log after it";
    }
}

TEST_F(LinkTest, DisconnectThenConnectWhileARedialWaitsStartsOneDialAndExitDuringTheNextWaitEndsTheProgram) {
    ras.Set("Link", "drop_after_ms", "1000");
    HWND dialog = StartDialog("redial_first_wait=3\r\n");
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_DIAL);
    ASSERT_TRUE(WaitForStatus(dialog, "link dropped Redialling in 3 s (attempt 1 of 5)."))
        << ControlText(dialog, IDC_STATUS);
    Click(dialog, IDC_DISCONNECT);
    const DWORD disconnected = ::GetTickCount();
    Click(dialog, IDC_DIAL);
    // The user's Connect starts a new series; the cancelled redial never dials.
    ASSERT_TRUE(WaitForStatus(dialog, "link dropped Redialling in 3 s (attempt 1 of 5)."))
        << ControlText(dialog, IDC_STATUS);
    const DWORD elapsed = ::GetTickCount() - disconnected;
    if (elapsed < 3500) ::Sleep(3500 - elapsed);
    EXPECT_EQ(Dials(), 2u);
    Click(dialog, IDC_EXIT);
    ASSERT_TRUE(vantaro.WaitForExit()) << "Exit during a waiting redial did not end the program";
    EXPECT_EQ(vantaro.ExitCode(), 0u);
    EXPECT_EQ(Dials(), 2u);
}

TEST_F(LinkTest, AtTheMonthlyLimitVantaroSaysSoHangsUpAndDoesNotRedial) {
    ras.Set("Link", "receive_bps", "600000");
    HWND dialog = StartDialog("redial_first_wait=1\r\nmonthly_limit_mb=1\r\nlimit_action=disconnect\r\n");
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_DIAL);
    HWND box = vantaro.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << ControlText(dialog, IDC_STATUS);
    const std::string said = VantaroProcess::MessageBoxText(box);
    EXPECT_EQ(said.rfind("This month's limit is reached: 1.", 0), 0u) << said;
    EXPECT_NE(said.find(" of 1.0 MB. Vantaro hangs up and does not redial."), std::string::npos) << said;
    EXPECT_EQ(ControlText(dialog, IDC_STATUS), said);
    EXPECT_EQ(ras.LogLinesStartingWith("RasHangUpA").size(), 1u);
    VantaroProcess::Acknowledge(box);
    ::Sleep(2000);
    EXPECT_EQ(Dials(), 1u) << "a redial came after the limit";
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit());
}

// The statistics line and a redial's wait with the delivered Chinese texts, as a Chinese
// Windows shows them.
TEST_F(LinkTest, ChineseScreenshot) {
    if (::GetACP() != 936) GTEST_SKIP() << "run with LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8";
    ras.Set("Link", "drop_after_ms", "2500");
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_DIAL);
    EXPECT_NE(StatisticsShown(dialog), "");
    SaveWindowImage(dialog, ArtifactsFolder() + "\\link-statistics-zh.bmp");
    // The drop, and the wait for its redial.
    EXPECT_TRUE(WaitUntil([&] { return Buttons(dialog) == kDiallingButtons && ControlText(dialog, IDC_LINK_STATS).empty(); },
                          kDefaultWait, "the redial's wait"));
    SaveWindowImage(dialog, ArtifactsFolder() + "\\redial-wait-zh.bmp");
    Click(dialog, IDC_EXIT);
    EXPECT_TRUE(vantaro.WaitForExit());
}

} // namespace
} // namespace vantaro::e2e
