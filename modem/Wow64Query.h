#pragma once
// Whether this 32-bit program runs on 64-bit Windows (which chooses the INF file).

namespace vantaro {

class Wow64Query {
public:
    Wow64Query() = default;
    Wow64Query(const Wow64Query&) = delete;
    Wow64Query& operator=(const Wow64Query&) = delete;
    virtual ~Wow64Query() = default;

    // Non-zero under the 64-bit emulation layer; 0 otherwise or when that cannot be found out.
    virtual int IsRunningUnderWow64() = 0;
};

} // namespace vantaro
