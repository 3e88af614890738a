#pragma once
// What one step of an uninstall found and did, for the step that words the outcome.

#include <cstddef>
#include <cstdint>

namespace vantaro {

enum class RemovalState {
    NothingFound,  // nothing of ours there: a second uninstall
    Removed,
    Failed,
};

struct Removal {
    RemovalState state = RemovalState::NothingFound;
    std::uint32_t error = 0;  // the platform's error code of the first failure
    std::size_t removed = 0;  // how many were removed
};

// The platform's code for a refusal for want of rights.
inline constexpr std::uint32_t kRemovalAccessDenied = 5;

} // namespace vantaro
