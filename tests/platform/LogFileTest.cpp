// Vantaro.log on Wine's file system: the byte-order mark, the rename at 1 MB, writers in the way,
// and the ANSI texts of a Chinese Windows written as UTF-8.

#include "log/win32/Win32LogFile.h"

#include "e2e/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

namespace vantaro {
namespace {

using e2e::FileExists;
using e2e::ReadFile;
using e2e::WriteFile;

constexpr char kBom[] = "\xEF\xBB\xBF";

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = e2e::WorkFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        settings = folder + "\\Setting.ini";
        logPath = folder + "\\Vantaro.log";
    }

    // The detail column of every line of the file, the mark left out.
    static std::vector<std::string> Details(const std::string& bytes) {
        std::vector<std::string> details;
        std::string::size_type start = bytes.rfind(kBom, 0) == 0 ? 3 : 0;
        while (start < bytes.size()) {
            std::string::size_type end = bytes.find("\r\n", start);
            if (end == std::string::npos) end = bytes.size();
            const std::string line = bytes.substr(start, end - start);
            details.push_back(line.substr(line.rfind('\t') + 1));
            start = end + 2;
        }
        return details;
    }

    std::string folder, settings, logPath;
};

TEST_F(LogFileTest, ANewLogStartsWithTheMarkAndLaterLinesAreAppended) {
    {
        FileLog log(settings);
        EXPECT_EQ(log.Path(), logPath);
        log.Get().Said("one");
    }
    FileLog(settings).Get().Said("two");
    const std::string bytes = ReadFile(logPath);
    EXPECT_EQ(bytes.rfind(kBom, 0), 0u);
    EXPECT_EQ(bytes.find(kBom, 1), std::string::npos);
    EXPECT_EQ(Details(bytes), (std::vector<std::string>{"one", "two"}));
}

// Compared without printing a megabyte when they differ.
bool Same(const std::string& a, const std::string& b) { return a == b; }

TEST_F(LogFileTest, AtOneMegabyteTheLogBecomesTheOlderOneReplacingIt) {
    const std::string full = kBom + std::string(kMaxLogFileBytes - 3, 'x');
    WriteFile(logPath, full);
    WriteFile(logPath + ".1", "the older log");
    FileLog(settings).Get().Said("next");
    EXPECT_TRUE(Same(ReadFile(logPath + ".1"), full));
    EXPECT_EQ(Details(ReadFile(logPath)), std::vector<std::string>{"next"});
    EXPECT_EQ(ReadFile(logPath).rfind(kBom, 0), 0u);
}

TEST_F(LogFileTest, AnOlderLogThatCannotBeReplacedKeepsTheLineInTheFullOne) {
    const std::string full = kBom + std::string(kMaxLogFileBytes - 3, 'x');
    WriteFile(logPath, full);
    // A folder of that name cannot be replaced by a file, on Windows or Wine.
    ASSERT_TRUE(::CreateDirectoryA((logPath + ".1").c_str(), nullptr));
    FileLog(settings).Get().Said("next");
    ::RemoveDirectoryA((logPath + ".1").c_str());
    EXPECT_TRUE(Same(ReadFile(logPath).substr(0, full.size()), full));
    EXPECT_EQ(Details(ReadFile(logPath)).back(), "next");
}

TEST_F(LogFileTest, ALogThatCannotBeWrittenNeitherStopsNorSlowsTheWork) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::function<void()> release;
    };
    HANDLE held = INVALID_HANDLE_VALUE;
    const Case cases[] = {
        {"read-only",
         [&] {
             WriteFile(logPath, "kept");
             ::SetFileAttributesA(logPath.c_str(), FILE_ATTRIBUTE_READONLY);
         },
         [&] { ::SetFileAttributesA(logPath.c_str(), FILE_ATTRIBUTE_NORMAL); }},
        {"held by another program",
         [&] {
             WriteFile(logPath, "kept");
             held = ::CreateFileA(logPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(held, INVALID_HANDLE_VALUE);
         },
         [&] { ::CloseHandle(held); }},
    };
    for (const Case& c : cases) {
        ::SetFileAttributesA(logPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(logPath.c_str());
        c.prepare();
        FileLog log(settings);
        const DWORD start = ::GetTickCount();
        EXPECT_NO_THROW(log.Get().Step("step", LogResult::Done, 0, "line"));
        const DWORD first = ::GetTickCount() - start;
        for (int i = 1; i < 50; ++i) EXPECT_NO_THROW(log.Get().Step("step", LogResult::Done, 0, "line"));
        const DWORD rest = ::GetTickCount() - start - first;
        c.release();
        EXPECT_EQ(ReadFile(logPath), "kept") << c.what;
        // One short wait for a file held elsewhere, then a single try per line: the 49 lines after
        // the first take less than ten of its waits, where waiting again on each would take 49.
        // Measured against the first line, this holds on a machine of any speed.
        std::printf("[ figure   ] %s: the first line took %lu ms, the 49 after it %lu ms\n", c.what,
                    static_cast<unsigned long>(first), static_cast<unsigned long>(rest));
        EXPECT_LT(rest, 10 * std::max<DWORD>(first, 100)) << c.what << ": the lines after the first waited too";
        log.Get().Said("after");
        if (std::string(c.what) == "held by another program")
            EXPECT_EQ(Details(ReadFile(logPath)).back(), "after") << "the log resumes once the file is free";
    }
    FileLog gone(folder + "\\no such folder\\Setting.ini");
    EXPECT_NO_THROW(gone.Get().Said("nowhere"));
}

TEST_F(LogFileTest, TwoWritersAcrossTheRenameLoseNoLineAndMarkEachFileOnce) {
    WriteFile(logPath, kBom + std::string(kMaxLogFileBytes - 3 - 2000, 'x') + "\r\n");
    constexpr int kLines = 200;
    // Two logs on one file are two processes as far as the file is concerned.
    auto write = [&](const char* who) {
        FileLog log(settings);
        for (int i = 0; i < kLines; ++i) log.Get().Said(who);
    };
    std::thread other(write, "first");
    write("second");
    other.join();
    const std::string older = ReadFile(logPath + ".1");
    const std::string current = ReadFile(logPath);
    EXPECT_LE(older.size(), kMaxLogFileBytes);
    EXPECT_EQ(current.rfind(kBom, 0), 0u);
    EXPECT_EQ(current.find(kBom, 1), std::string::npos);
    int first = 0, second = 0;
    for (const std::string* bytes : {&older, &current}) {
        for (const std::string& detail : Details(*bytes)) {
            first += detail == "first";
            second += detail == "second";
        }
    }
    EXPECT_EQ(first, kLines);
    EXPECT_EQ(second, kLines);
}

// Under code page 936, as on a Chinese Windows: the GBK texts of Setting.ini become UTF-8.
TEST_F(LogFileTest, AnsiTextIsWrittenAsUtf8) {
    ASSERT_EQ(::GetACP(), 936u) << "the test runs in the zh_CN locale";
    FileLog(settings).Get().Said("\xD6\xD0\xCE\xC4 COM5");
    EXPECT_EQ(Details(ReadFile(logPath)), std::vector<std::string>{"\xE4\xB8\xAD\xE6\x96\x87 COM5"});
}

} // namespace
} // namespace vantaro
