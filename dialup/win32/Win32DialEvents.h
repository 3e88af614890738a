#pragma once
// Dial events as unnamed kernel events; the wait is WaitForMultipleObjects for any of them.

#include "dialup/DialEvents.h"

namespace vantaro {

class Win32DialEvents final : public DialEvents {
public:
    std::shared_ptr<DialEvent> Create(bool manualReset) override;
    int WaitForAny(const std::vector<DialEvent*>& events, std::uint32_t timeoutMs) override;
};

} // namespace vantaro
