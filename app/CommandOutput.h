#pragma once
// Where the command line's messages go. Every message goes to the log. When Vantaro was started
// from a console, or with its output led into a file or a pipe, it goes there too; otherwise a
// message box shows it, unless /quiet said that no window may open.

#include "log/Log.h"
#include "platform/win32/UniqueHandle.h"

#include <string>

namespace vantaro {

class CommandOutput {
public:
    CommandOutput(bool quiet, Log& log);
    CommandOutput(const CommandOutput&) = delete;
    CommandOutput& operator=(const CommandOutput&) = delete;

    // One message (lines separated by CR LF), logged line by line.
    void Say(const std::string& text);
    // Text that is not worth a log line (the usage text); shown the same way.
    void Show(const std::string& text);
    // Only where there is an output to write to: a list that makes no sense in a message box.
    void Print(const std::string& text);

    bool HasOutput() const { return output_ != nullptr; }

private:
    bool quiet_;
    Log& log_;
    UniqueKernelHandle console_;  // the parent's console, when there is no standard output
    HANDLE output_ = nullptr;   // standard output, or that console
};

} // namespace vantaro
