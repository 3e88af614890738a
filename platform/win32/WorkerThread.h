#pragma once
// Starts a worker thread on a callable. The callable owns what the worker uses (shared
// pointers), so nothing it touches can end before it does.

#include "platform/win32/UniqueHandle.h"

#include <functional>

namespace vantaro {

// The thread's handle (closing it does not stop the thread), or an empty handle when the
// thread could not be started.
UniqueKernelHandle StartWorkerThread(std::function<void()> work, DWORD exitCode = 1);

} // namespace vantaro
