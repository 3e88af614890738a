// A DNS server address as the user typed it into the settings: any bytes. Each of the first four
// dot-separated pieces sets its byte to the low 8 bits of what atoi reads from it (the C
// library's strtol, clamped to int, is the reference here), bytes the text does not reach keep
// their value, and nothing reads or writes outside the four bytes.

#include "dialup/DialupEntry.h"
#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::uint8_t AtoiLowByte(const std::string& piece) {
    // strtoll stops at the NUL as the reader stops at any byte that is not a digit.
    errno = 0;
    long long value = std::strtoll(piece.c_str(), nullptr, 10);
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) & 0xFF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using vantaro::fuzz::Require;
    FuzzedDataProvider data(bytes, size);

    struct Guarded {
        std::uint8_t before[8];
        vantaro::ras::RASIPADDR address;
        std::uint8_t after[8];
    } guarded{};
    for (std::uint8_t& b : guarded.before) b = 0xA5;
    for (std::uint8_t& b : guarded.after) b = 0x5A;
    guarded.address = {data.ConsumeIntegral<std::uint8_t>(), data.ConsumeIntegral<std::uint8_t>(),
                       data.ConsumeIntegral<std::uint8_t>(), data.ConsumeIntegral<std::uint8_t>()};
    std::vector<std::uint8_t> expected = {guarded.address.a, guarded.address.b, guarded.address.c, guarded.address.d};
    const std::string text = data.ConsumeRemainingBytesAsString();

    std::size_t piece = 0;
    for (std::size_t start = 0; piece < 4; ++piece) {
        const std::size_t dot = text.find('.', start);
        expected[piece] = AtoiLowByte(text.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }

    vantaro::ParseDottedAddress(text, guarded.address);

    const std::vector<std::uint8_t> got = {guarded.address.a, guarded.address.b, guarded.address.c, guarded.address.d};
    Require(got == expected, "each of the first four pieces gives atoi's low byte; pieces not there leave theirs");
    for (std::uint8_t b : guarded.before) Require(b == 0xA5, "nothing before the address is written");
    for (std::uint8_t b : guarded.after) Require(b == 0x5A, "nothing after the address is written");
    return 0;
}
