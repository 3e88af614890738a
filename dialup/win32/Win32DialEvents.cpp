#include "dialup/win32/Win32DialEvents.h"

#include "platform/win32/UniqueHandle.h"

namespace vantaro {

namespace {

class Win32DialEvent final : public DialEvent {
public:
    explicit Win32DialEvent(HANDLE event) : event_(event) {}
    void Signal() override { ::SetEvent(event_.get()); }
    HANDLE Handle() const { return event_.get(); }

private:
    UniqueKernelHandle event_;
};

} // namespace

std::shared_ptr<DialEvent> Win32DialEvents::Create(bool manualReset) {
    HANDLE event = ::CreateEventA(nullptr, manualReset ? TRUE : FALSE, FALSE, nullptr);
    if (!event) return nullptr;
    return std::make_shared<Win32DialEvent>(event);
}

int Win32DialEvents::WaitForAny(const std::vector<DialEvent*>& events, std::uint32_t timeoutMs) {
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    if (events.empty() || events.size() > MAXIMUM_WAIT_OBJECTS) return kFailed;
    for (std::size_t i = 0; i < events.size(); ++i) handles[i] = static_cast<Win32DialEvent*>(events[i])->Handle();
    const DWORD result = ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), handles, FALSE, timeoutMs);
    if (result == WAIT_TIMEOUT) return kTimedOut;
    if (result < WAIT_OBJECT_0 + events.size()) return static_cast<int>(result - WAIT_OBJECT_0);
    return kFailed;
}

} // namespace vantaro
