#pragma once
// A property a fuzz target holds: when it breaks, the input is a finding. libFuzzer keeps the
// input that aborted and names it on its output.

#include <cstdio>
#include <cstdlib>

namespace vantaro::fuzz {

inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "fuzz property broken: %s\n", property);
    std::abort();
}

} // namespace vantaro::fuzz
