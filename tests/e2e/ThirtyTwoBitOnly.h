#pragma once
// A test that only means something in a 32-bit process (Vantaro under WOW64, where removals go
// through pnpagent64.exe) skips itself in the 64-bit build and says why. Before it skips it
// leaves an empty file named after itself in %VANTARO_WORK%\skipped-32bit\, so that the test
// script can count the tests that this machine could not run.
//
//   VANTARO_ONLY_IN_A_32BIT_PROCESS("a 32-bit Vantaro removes devices through pnpagent64.exe");

#include "e2e/UiDriver.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace vantaro::e2e {

inline void NoteSkippedFor32Bit() {
    const char* work = std::getenv("VANTARO_WORK");
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!work || !test) return;
    const std::string folder = WindowsPath(work) + "\\skipped-32bit";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string file = folder + "\\" + test->test_suite_name() + "." + test->name();
    const HANDLE created = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (created != INVALID_HANDLE_VALUE) ::CloseHandle(created);
}

} // namespace vantaro::e2e

#define VANTARO_ONLY_IN_A_32BIT_PROCESS(reason)                                           \
    if (sizeof(void*) == 8) {                                                            \
        ::vantaro::e2e::NoteSkippedFor32Bit();                                           \
        GTEST_SKIP() << "only means something in a 32-bit process: " << (reason);        \
    }
