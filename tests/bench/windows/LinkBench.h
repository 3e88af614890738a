#pragma once
// A kept connection under the benchmark, through the rasapi32.dll double: what the once-a-second
// statistics cost the program, how soon a dropped link reaches the status line (the service's
// signal, and the five-second status check where the service refuses to signal), and how long
// the dialog's thread keeps a message waiting while connected.
//
// Two runs of Vantaro.exe with the delivered Setting.ini and redial off (a drop then ends in the
// "linkdropped" text alone, and Connect is on again for the next round):
//   - the signalled one: 10 s idle, then connected with the statistics line ticking for 10 s
//     (the program's CPU time over each window), the link dropped after that; then more
//     connections that drop after 1 to 2 s;
//   - the polled one (the double refuses the signal): connections that drop at points spread
//     over the five-second check, each after a second of idle.
// Through every connected period a second thread sends WM_NULL to the dialog every 20 ms and
// keeps the longest round trip; the idle seconds before each polled round give its baseline.

#include <string>
#include <vector>

namespace vantaro::bench {

struct LinkFigures {
    std::vector<double> idleCpuPercent;        // of one core, per window
    std::vector<double> connectedCpuPercent;
    std::string cpuSource;                     // how the process's CPU time was read
    std::vector<double> signalledDropMs;       // the double's drop to the "linkdropped" text
    std::vector<double> polledDropMs;
    std::vector<double> connectedLongestMs;    // the longest WM_NULL round trip, per connected period
    std::vector<double> idleLongestMs;         // the same while idle
    std::string cpuFailure, signalledFailure, polledFailure;
    std::vector<std::string> notes;
};

// `runs` caps the rounds of each kind, so that a short benchmark stays short (4 signalled drops
// and 3 polled ones at most; the whole takes under a minute).
LinkFigures MeasureKeptLink(int runs);

} // namespace vantaro::bench
