#pragma once
// Scripted serial ports for the phone tests. A port answers each command line it is sent with
// pieces of bytes, each arriving a given time after the command; reads wait on the test's
// clock (a FakeClock moves at once, a real clock really sleeps), so a deadline, a split
// answer or a silent port play out exactly. Every port records what was written to it.

#include "phone/SerialPort.h"
#include "platform/Clock.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vantaro::testing {

struct Piece {
    std::uint32_t afterMs = 0;  // after the command was written
    std::string bytes;
    bool lost = false;          // the port fails here (unplugged)
};
using Answers = std::vector<Piece>;
// The pieces that answer one command line (without its CR).
using PhoneScript = std::function<Answers(const std::string& command)>;

// The answers of a phone that is ready: SIM ready (of network 460-00: its EF_AD says the MNC
// has two digits), good signal, registered at home. Change one answer by assigning to the map;
// a command not in it is answered "ERROR".
inline std::map<std::string, std::string> ReadyPhoneAnswers() {
    return {
        {"AT", "\r\nOK\r\n"},
        {"ATE0V1+CMEE=1", "\r\nOK\r\n"},
        {"AT+CGMI", "\r\nZOR\r\n\r\nOK\r\n"},
        {"AT+CGMM", "\r\nZ100\r\n\r\nOK\r\n"},
        {"AT+CPIN?", "\r\n+CPIN: READY\r\n\r\nOK\r\n"},
        {"AT+CSQ", "\r\n+CSQ: 20,99\r\n\r\nOK\r\n"},
        {"AT+CREG?", "\r\n+CREG: 0,1\r\n\r\nOK\r\n"},
        {"AT+CGREG?", "\r\n+CGREG: 0,1\r\n\r\nOK\r\n"},
        {"AT+CIMI", "\r\n460001234567890\r\n\r\nOK\r\n"},
        {"AT+CRSM=176,28589,0,0,4", "\r\n+CRSM: 144,0,\"00000002\"\r\n\r\nOK\r\n"},
    };
}

// A phone that answers from a table, each answer in one piece after delayMs, the command
// echoed first when echo is on (unless the answer holds its echo itself, after other lines).
inline PhoneScript TablePhone(std::map<std::string, std::string> answers, bool echo = false, std::uint32_t delayMs = 0) {
    return [answers = std::move(answers), echo, delayMs](const std::string& command) {
        const auto found = answers.find(command);
        const bool echoed = found != answers.end() && found->second.find(command + "\r") != std::string::npos;
        std::string bytes = echo && !echoed ? command + "\r" : std::string();
        bytes += found == answers.end() ? "\r\nERROR\r\n" : found->second;
        return Answers{{delayMs, bytes}};
    };
}

inline PhoneScript ReadyPhone(bool echo = false) { return TablePhone(ReadyPhoneAnswers(), echo); }

// A SIM that wants its PIN and counts its tries as a SIM does: three; a right PIN gives them back,
// the third wrong one in a row blocks the SIM (then it wants its PUK). Right after each code the
// first `answersAfterCode` AT+CPIN? get `afterCode` ("SIM busy", as real SIMs answer right after
// a PIN). The test keeps the SIM to look at its count.
struct PinSim {
    std::string pin = "1234";
    int pinTries = 3;
    bool ready = false;
    int answersAfterCode = 0;
    std::string afterCode = "\r\n+CME ERROR: 14\r\n";
    bool triesUnread = false;     // AT+CPINR answers ERROR
    bool silentToCodes = false;   // a code is counted, but its answer never comes
    int codes = 0;                // codes received
    int leftAfterCode = 0;
};

inline PhoneScript PinSimPhone(std::shared_ptr<PinSim> sim) {
    return [sim, ready = ReadyPhone()](const std::string& command) {
        if (command.rfind("AT+CPIN=\"", 0) == 0) {
            ++sim->codes;
            sim->leftAfterCode = sim->answersAfterCode;
            std::string answer = "\r\nOK\r\n";
            if (sim->pinTries > 0 && !sim->ready && command == "AT+CPIN=\"" + sim->pin + "\"") {
                sim->pinTries = 3;
                sim->ready = true;
            } else if (!sim->ready && sim->pinTries > 0) {
                --sim->pinTries;
                answer = sim->pinTries == 0 ? "\r\n+CME ERROR: 12\r\n" : "\r\n+CME ERROR: 16\r\n";
            } else {
                answer = "\r\n+CME ERROR: 3\r\n";
            }
            return sim->silentToCodes ? Answers{} : Answers{{50, answer}};
        }
        if (command == "AT+CPIN?") {
            if (sim->leftAfterCode > 0) {
                --sim->leftAfterCode;
                return Answers{{5, sim->afterCode}};
            }
            const char* state = sim->ready ? "READY" : sim->pinTries > 0 ? "SIM PIN" : "SIM PUK";
            return Answers{{5, std::string("\r\n+CPIN: ") + state + "\r\n\r\nOK\r\n"}};
        }
        if (command == "AT+CPINR") {
            if (sim->triesUnread) return Answers{{5, "\r\nERROR\r\n"}};
            return Answers{{5, "\r\n+CPINR: SIM PIN," + std::to_string(sim->pinTries) + ",3\r\n+CPINR: SIM PUK,10,10\r\n\r\nOK\r\n"}};
        }
        return ready(command);
    };
}
inline PhoneScript SilentPhone() { return [](const std::string&) { return Answers{}; }; }

// What happened on one port, kept by the opener after the port is gone. A test may look while
// a worker still runs: the counts are atomic, the commands under the mutex.
struct PortLog {
    std::mutex mutex;
    std::vector<std::string> commands;  // the command lines written, without CR
    std::atomic<int> opens{0};
    std::atomic<int> purges{0};
    std::atomic<bool> closed{false};
};

class FakePhonePort final : public SerialPort {
public:
    FakePhonePort(Clock& clock, PhoneScript script, std::shared_ptr<PortLog> log)
        : clock_(clock), script_(std::move(script)), log_(std::move(log)) {}
    ~FakePhonePort() override { Close(); }

    bool Write(std::string_view bytes) override {
        if (lost_) return false;
        for (char c : bytes) {
            if (c != '\r') { line_ += c; continue; }
            {
                std::lock_guard<std::mutex> lock(log_->mutex);
                log_->commands.push_back(line_);
            }
            const std::uint32_t now = clock_.TickCount();
            for (const Piece& piece : script_(line_)) pending_.push_back({now + piece.afterMs, piece});
            line_.clear();
        }
        std::stable_sort(pending_.begin(), pending_.end(), [](const Timed& a, const Timed& b) {
            return static_cast<std::int32_t>(a.at - b.at) < 0;
        });
        return true;
    }

    std::optional<std::string> Read(std::uint32_t timeoutMs) override {
        if (lost_) return std::nullopt;
        const std::uint32_t now = clock_.TickCount();
        if (pending_.empty() || static_cast<std::int32_t>(pending_.front().at - now) > static_cast<std::int32_t>(timeoutMs)) {
            clock_.Sleep(timeoutMs);
            return std::string();
        }
        const std::int32_t wait = static_cast<std::int32_t>(pending_.front().at - now);
        if (wait > 0) clock_.Sleep(static_cast<std::uint32_t>(wait));
        Piece piece = pending_.front().piece;
        pending_.pop_front();
        if (piece.lost) {
            lost_ = true;
            return std::nullopt;
        }
        return piece.bytes;
    }

    void Purge() override {
        ++log_->purges;
        const std::uint32_t now = clock_.TickCount();
        while (!pending_.empty() && static_cast<std::int32_t>(pending_.front().at - now) <= 0 && !pending_.front().piece.lost)
            pending_.pop_front();
    }

    void Close() override { log_->closed = true; }

private:
    struct Timed {
        std::uint32_t at;
        Piece piece;
    };
    Clock& clock_;
    PhoneScript script_;
    std::shared_ptr<PortLog> log_;
    std::deque<Timed> pending_;
    std::string line_;
    bool lost_ = false;
};

// Ports by name: each a script, or a reason it does not open. Set up before a check starts;
// opening is then safe from several workers at once.
class FakePhonePorts final : public SerialPorts {
public:
    explicit FakePhonePorts(Clock& clock) : clock_(clock) {}

    void Add(const std::string& name, PhoneScript script) { scripts_[name] = std::move(script); Log(name); }
    void Refuse(const std::string& name, PortOpenError error, std::uint32_t platformError) {
        refusals_[name] = {error, platformError};
        Log(name);
    }

    PortOpenResult Open(const std::string& name) override {
        std::shared_ptr<PortLog> log = Log(name);
        ++log->opens;
        PortOpenResult result;
        const auto refused = refusals_.find(name);
        if (refused != refusals_.end()) {
            result.error = refused->second.first;
            result.platformError = refused->second.second;
            return result;
        }
        const auto script = scripts_.find(name);
        if (script == scripts_.end()) {
            result.error = PortOpenError::Missing;
            result.platformError = 2;
            return result;
        }
        result.error = PortOpenError::None;
        result.port = std::make_unique<FakePhonePort>(clock_, script->second, log);
        return result;
    }

    std::shared_ptr<PortLog> Log(const std::string& name) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::shared_ptr<PortLog>& log = logs_[name];
        if (!log) log = std::make_shared<PortLog>();
        return log;
    }

private:
    Clock& clock_;
    std::map<std::string, PhoneScript> scripts_;
    std::map<std::string, std::pair<PortOpenError, std::uint32_t>> refusals_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<PortLog>> logs_;
};

} // namespace vantaro::testing
