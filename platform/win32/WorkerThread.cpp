#include "platform/win32/WorkerThread.h"

#include <memory>

namespace vantaro {

namespace {

struct WorkerStart {
    std::function<void()> work;
    DWORD exitCode;
};

DWORD WINAPI WorkerMain(LPVOID parameter) {
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
    start->work();
    return start->exitCode;
}

} // namespace

UniqueKernelHandle StartWorkerThread(std::function<void()> work, DWORD exitCode) {
    auto start = std::make_unique<WorkerStart>(WorkerStart{std::move(work), exitCode});
    HANDLE thread = ::CreateThread(nullptr, 0, &WorkerMain, start.get(), 0, nullptr);
    if (thread) start.release();  // the thread owns it now
    return UniqueKernelHandle(thread);
}

} // namespace vantaro
