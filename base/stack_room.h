#pragma once
// How much of the calling thread's stack is left below the current frame. Recursive walks over
// laws that are built as the walk goes (so that no walk ahead of it can settle them first) check
// it, to stop with an error where the stack would otherwise overflow.
#include <cstddef>

// Bytes left; the largest size_t when the thread's stack cannot be told.
std::size_t stack_room();
