#include "log/Log.h"
#include "log/LogFile.h"

#include "fakes/FakeLog.h"

#include <gtest/gtest.h>

#include <new>
#include <type_traits>

namespace vantaro {
namespace {

using testing::FakeLogFolder;
using testing::RecordingLog;

// Nothing typed at run time can name a step.
static_assert(!std::is_convertible_v<std::string, LogStep>);
static_assert(!std::is_convertible_v<const char*, LogStep>);
static_assert(!std::is_convertible_v<std::string_view, LogStep>);

TEST(LogLine, HoldsTimeProcessStepResultCodeAndDetailSeparatedByTabs) {
    EXPECT_EQ(FormatLogLine(LogTime{2026, 1, 2, 3, 4, 5, 6}, 77, "modem.remove", LogResult::Done, 0, "ROOT\\MODEM\\0000"),
              "2026-01-02 03:04:05.006\t77\tmodem.remove\tdone\t0\tROOT\\MODEM\\0000\r\n");
}

TEST(LogLine, ErrorCodesAreWrittenAsThePlatformDocumentsThem) {
    const struct {
        std::uint32_t code;
        const char* text;
    } cases[] = {{0, "0"}, {5, "5"}, {623, "623"}, {0xFFFF, "65535"}, {0x10000, "0x00010000"},
                 {0xE0000235, "0xE0000235"}, {0xFFFFFFFF, "0xFFFFFFFF"}};
    for (const auto& c : cases) EXPECT_EQ(FormatErrorCode(c.code), c.text) << c.code;
}

TEST(LogLine, ControlCharactersInTheDetailCannotStartAnotherLine) {
    const struct {
        const char* detail;
        const char* written;
    } cases[] = {{"a\r\nb", "a\\r\\nb"},   {"a\tb", "a\\tb"},          {"\x01\x1F\x7F", "\\x01\\x1F\\x7F"},
                 {"C:\\x\\y", "C:\\x\\y"}, {"\xE4\xB8\xAD", "\xE4\xB8\xAD"}};
    for (const auto& c : cases) {
        const std::string line = FormatLogLine(LogTime{}, 1, "s", LogResult::Done, 0, c.detail);
        EXPECT_EQ(line.substr(line.rfind('\t') + 1), std::string(c.written) + "\r\n") << c.detail;
    }
}

TEST(LogLine, ALongDetailIsCutOnACharacterBoundaryAndSaysItsLength) {
    std::string detail;
    while (detail.size() < 5000) detail += "\xE4\xB8\xAD";  // three bytes each: 2048 falls inside one
    const std::string line = FormatLogLine(LogTime{}, 1, "s", LogResult::Done, 0, detail);
    const std::string written = line.substr(line.rfind('\t') + 1);
    EXPECT_EQ(written, detail.substr(0, 2046) + " ... (5001 bytes in all)\r\n");
}

TEST(Log, ASecretNeverAppearsWhereverItStandsInTheDetail) {
    const struct {
        const char* detail;
        const char* written;
    } cases[] = {
        {"pw1", "********"},
        {"user pw1 and pw1", "user ******** and ********"},
        {"pw1pw1", "****************"},
        {"xpw1pw123y", "x****************y"},  // the longer secret is concealed whole
        {"nothing", "nothing"},
    };
    for (const auto& c : cases) {
        RecordingLog recording;
        recording.log.Conceal(Secret("pw1"));
        recording.log.Conceal(Secret("pw123"));
        recording.log.Conceal(Secret(""));
        recording.log.Step("entry.create", LogResult::Failed, 0, c.detail);
        ASSERT_EQ(recording.Steps().size(), 1u);
        EXPECT_EQ(recording.Steps()[0], std::string("entry.create\tfailed\t0\t") + c.written) << c.detail;
    }
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// A secret has no text form: neither a detail nor anything that prints can take one.
static_assert(!std::is_convertible_v<Secret, std::string_view> && !std::is_convertible_v<Secret, std::string>);
static_assert(!std::is_invocable_v<void (Log::*)(LogStep, LogResult, std::uint32_t, std::string_view), Log&, LogStep,
                                   LogResult, std::uint32_t, const Secret&>);

TEST(Log, SecretsAreConcealedBeforeTheTextIsConverted) {
    testing::RecordingLogSink sink;
    testing::FixedLogClock clock;
    Log log(sink, clock, 1, &UpperCase);
    log.Conceal(Secret("secret"));
    log.Said("the secret is out");
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_NE(sink.lines[0].find("THE ******** IS OUT"), std::string::npos) << sink.lines[0];
}

std::string RunsOutOfMemory(std::string_view) { throw std::bad_alloc(); }

TEST(Log, AFailureWhileWritingNeverReachesTheCaller) {
    testing::RecordingLogSink sink;
    testing::FixedLogClock clock;
    Log log(sink, clock, 1, &RunsOutOfMemory);
    EXPECT_NO_THROW(log.Said("text"));
    EXPECT_TRUE(sink.lines.empty());
}

constexpr char kBom[] = "\xEF\xBB\xBF";

TEST(LogFile, ANewOrEmptyFileStartsWithTheByteOrderMarkAndNoOtherDoes) {
    const struct {
        std::optional<std::string> before;
        std::string after;
    } cases[] = {
        {std::nullopt, std::string(kBom) + "line\r\n"},
        {std::string(), std::string(kBom) + "line\r\n"},
        {std::string(kBom) + "old\r\n", std::string(kBom) + "old\r\nline\r\n"},
    };
    for (const auto& c : cases) {
        FakeLogFolder folder;
        folder.current = c.before;
        RotatingLogFile(folder).Append("line\r\n");
        EXPECT_EQ(folder.current, c.after);
        EXPECT_FALSE(folder.older.has_value());
    }
}

TEST(LogFile, ALineThatWouldPassOneMegabyteStartsANewFileAndTheFullOneReplacesTheOlder) {
    const struct {
        std::size_t sizeBefore;
        std::size_t lineSize;
        bool rotated;
    } cases[] = {{kMaxLogFileBytes - 10, 10, false}, {kMaxLogFileBytes - 10, 11, true}, {kMaxLogFileBytes, 1, true}};
    for (const auto& c : cases) {
        FakeLogFolder folder;
        folder.current = std::string(c.sizeBefore, 'x');
        folder.older = std::string("the older log");
        const std::string line(c.lineSize, 'n');
        RotatingLogFile(folder).Append(line);
        if (c.rotated) {
            EXPECT_EQ(folder.older, std::string(c.sizeBefore, 'x')) << c.sizeBefore << " + " << c.lineSize;
            EXPECT_EQ(folder.current, kBom + line);
        } else {
            EXPECT_EQ(folder.older, std::string("the older log"));
            EXPECT_EQ(folder.current->size(), c.sizeBefore + c.lineSize);
        }
    }
}

TEST(LogFile, WhatCannotBeOpenedRenamedOrMeasuredNeverStopsTheWriterNorLosesMoreThanItMust) {
    const std::string full(kMaxLogFileBytes, 'x');
    {  // a refused rename keeps the line in the full file
        FakeLogFolder folder;
        folder.current = full;
        folder.moveFails = true;
        RotatingLogFile(folder).Append("line");
        EXPECT_EQ(folder.current, full + "line");
    }
    {  // a file that cannot be opened (read-only, held elsewhere, folder gone): nothing happens
        FakeLogFolder folder;
        folder.openFails = true;
        EXPECT_NO_THROW(RotatingLogFile(folder).Append("line"));
        EXPECT_FALSE(folder.current.has_value());
    }
    {  // the new file cannot be opened after the rename: the full one is still kept as the older
        FakeLogFolder folder;
        folder.current = full;
        folder.openFailsFrom = 1;
        RotatingLogFile(folder).Append("line");
        EXPECT_EQ(folder.older, full);
        EXPECT_FALSE(folder.current.has_value());
    }
    {  // an unknown size: appended as it is, neither a mark nor a rename
        FakeLogFolder folder;
        folder.current = full;
        folder.sizeFails = true;
        RotatingLogFile(folder).Append("line");
        EXPECT_EQ(folder.current, full + "line");
    }
}

TEST(LogFile, TheLogLivesBesideTheSettingsFile) {
    const struct {
        const char* settings;
        const char* log;
    } cases[] = {{"C:\\Program Files (x86)\\Vantaro\\Setting.ini", "C:\\Program Files (x86)\\Vantaro\\Vantaro.log"},
                 {"Z:/tmp/Setting.ini", "Z:/tmp/Vantaro.log"},
                 {"C:\\Setting.ini", "C:\\Vantaro.log"},
                 {"Setting.ini", "Vantaro.log"}};
    for (const auto& c : cases) EXPECT_EQ(LogPathBeside(c.settings), c.log);
}

} // namespace
} // namespace vantaro
