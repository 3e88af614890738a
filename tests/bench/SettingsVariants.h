#pragma once
// The settings files the benchmark feeds the program and the settings reader.

#include <cstddef>
#include <string>

namespace vantaro::bench {

// The delivered Setting.ini with `count` operators instead of its own: "operator1" to
// "operator<count>" in [Operators], each naming a section of its own that holds its "number".
// Everything else, max_operator_num included, stays as delivered.
std::string WithOperators(const std::string& delivered, int count);

// The section and key that the reader benchmark looks up: the file's last, so that a lookup
// passes every section before it.
inline constexpr char kLastSection[] = "Last";
inline constexpr char kLastKey[] = "number";
inline constexpr char kLastValue[] = "*99#";

// A settings file of about `bytes` bytes (never less): operator sections of a few keys each,
// then the last section above.
std::string ReaderFileOfSize(std::size_t bytes);

} // namespace vantaro::bench
