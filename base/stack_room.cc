#include <law/base/stack_room.h>

#include <pthread.h>

#include <algorithm>

namespace {
// This thread's stack: its low end (stacks grow down, towards it) and size, learnt on the first
// call; a null low end when it cannot be told. Plain thread-locals, read at every step of the
// simplifier's descent.
constinit thread_local char const *stack_low = nullptr;
constinit thread_local std::size_t stack_size = 0;
constinit thread_local bool stack_learnt = false;

[[gnu::noinline]] void learn_stack() {
    stack_learnt = true;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return;
    void *low = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attributes, &low, &size) == 0) {
        stack_low = static_cast<char const *>(low);
        stack_size = size;
    }
    pthread_attr_destroy(&attributes);
}
}  // namespace

bool stack_nearly_spent(std::size_t reserve) {
    if (!stack_learnt) learn_stack();
    auto const *const here = static_cast<char const *>(__builtin_frame_address(0));
    if (!stack_low || here <= stack_low) return false;
    return static_cast<std::size_t>(here - stack_low) < std::min(reserve, stack_size / 8);
}
