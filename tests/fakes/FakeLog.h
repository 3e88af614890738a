#pragma once
// A log whose lines stay in memory, at a fixed time, and a log folder in memory whose file can
// be refused, unreadable or impossible to rename.

#include "log/Log.h"
#include "log/LogFile.h"

#include <optional>
#include <string>
#include <vector>

namespace vantaro::testing {

class FixedLogClock final : public LogClock {
public:
    LogTime Now() const override { return time; }
    LogTime time{2026, 12, 8, 9, 5, 7, 42};
};

class RecordingLogSink final : public LogSink {
public:
    void Append(std::string_view line) noexcept override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// A Log to hand to the code under test, and what it wrote.
struct RecordingLog {
    RecordingLogSink sink;
    FixedLogClock clock;
    Log log{sink, clock, 1234};

    std::string Text() const {
        std::string text;
        for (const std::string& line : sink.lines) text += line;
        return text;
    }
    // The lines of one step, as "step<TAB>result<TAB>code<TAB>detail" without time, process and CR LF.
    std::vector<std::string> Steps() const {
        std::vector<std::string> steps;
        for (const std::string& line : sink.lines) {
            std::string::size_type start = line.find('\t', line.find('\t') + 1) + 1;
            steps.push_back(line.substr(start, line.size() - 2 - start));
        }
        return steps;
    }
};

class FakeLogFolder final : public LogFolder {
public:
    std::optional<std::string> current;  // Vantaro.log; nothing when it does not exist
    std::optional<std::string> older;    // Vantaro.log.1
    bool openFails = false;
    int openFailsFrom = -1;  // the open of this number (0 = first) and every later one fail
    bool sizeFails = false;
    bool moveFails = false;
    int opens = 0;

    std::unique_ptr<OpenLogFile> Open() override {
        const int number = opens++;
        if (openFails || (openFailsFrom >= 0 && number >= openFailsFrom)) return nullptr;
        if (!current) current = std::string();
        return std::make_unique<Handle>(*this);
    }

private:
    class Handle final : public OpenLogFile {
    public:
        explicit Handle(FakeLogFolder& folder) : folder_(folder), bytes_(&*folder.current) {}
        std::optional<std::uint64_t> Size() override {
            if (folder_.sizeFails) return std::nullopt;
            return bytes_->size();
        }
        bool Append(std::string_view bytes) override {
            bytes_->append(bytes);
            return true;
        }
        bool MoveToOlder() override {
            if (folder_.moveFails) return false;
            folder_.older = std::move(*folder_.current);
            folder_.current.reset();
            bytes_ = &*folder_.older;
            return true;
        }

    private:
        FakeLogFolder& folder_;
        std::string* bytes_;
    };
};

} // namespace vantaro::testing
