#pragma once
// Whether the calling thread's stack is nearly spent below the current frame. Recursive walks
// over laws that are built as the walk goes (so that no walk ahead of it can settle them first)
// ask it, to stop with an error where the stack would otherwise overflow.
#include <cstddef>

// True when less than `reserve` bytes are left, or less than an eighth of the stack on a thread
// whose stack is small; false when the stack cannot be told.
bool stack_nearly_spent(std::size_t reserve);
