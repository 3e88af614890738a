#pragma once
// The program speaks the ANSI code page to the platform; texts that come as UTF-8 (the operator
// database, the English defaults) are converted here, at that edge.

#include <string>

namespace vantaro {

// The text in the ANSI code page; a character the code page lacks becomes '?'. Text that is not
// valid UTF-8 comes back unchanged.
std::string Utf8ToAnsi(const std::string& utf8);

} // namespace vantaro
