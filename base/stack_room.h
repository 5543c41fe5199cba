#pragma once
// Whether the calling thread's stack is nearly spent below the current frame. Recursive walks
// over laws that are built as the walk goes (so that no walk ahead of it can settle them first)
// ask it, to stop with an error where the stack would otherwise overflow.
#include <algorithm>
#include <cstddef>

// This thread's stack: its low end (stacks grow down, towards it) and size, learnt at the first
// question; a null low end when it cannot be told. The simplifier asks at every step of its
// descent, so the answer is read inline.
struct thread_stack {
    char const *low;
    std::size_t size;
    bool learnt;
};
extern constinit thread_local thread_stack this_thread_stack;
void learn_thread_stack();

// True when less than `reserve` bytes are left, or less than an eighth of the stack on a thread
// whose stack is small; false when the stack cannot be told.
inline bool stack_nearly_spent(std::size_t reserve) {
    if (!this_thread_stack.learnt) learn_thread_stack();
    thread_stack const &s = this_thread_stack;
    auto const *const here = static_cast<char const *>(__builtin_frame_address(0));
    if (!s.low || here <= s.low) return false;
    return static_cast<std::size_t>(here - s.low) < std::min(reserve, s.size / 8);
}
