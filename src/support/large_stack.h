// Deep trees are walked recursively on a thread of their own whose stack is
// large enough for the deepest nesting the walk accepts. Only one thread
// runs at a time: the caller waits for it.
#pragma once

#include <cstddef>
#include <functional>

namespace support {

inline constexpr std::size_t kLargeStackBytes = std::size_t{2} << 30;

/// Runs the work on a thread with a stack of that size, with every binding
/// of the calling thread in force (see thread_binding.h), and waits for it;
/// a thread that cannot be created is the fatal "No memory left". An
/// exception thrown by the work is thrown again in the caller.
void RunOnLargeStack(const std::function<void()>& work, std::size_t stackBytes = kLargeStackBytes);

}  // namespace support
