#include <law/base/stack_room.h>

#include <pthread.h>

#include <algorithm>

namespace {
struct thread_stack {
    char const *low = nullptr;  // stacks grow down, towards here
    std::size_t size = 0;
};

// This thread's stack, or a null one when it cannot be told.
thread_stack const &this_stack() {
    thread_local thread_stack const stack = [] {
        thread_stack s;
        pthread_attr_t attributes;
        if (pthread_getattr_np(pthread_self(), &attributes) != 0) return s;
        void *low = nullptr;
        if (pthread_attr_getstack(&attributes, &low, &s.size) == 0)
            s.low = static_cast<char const *>(low);
        pthread_attr_destroy(&attributes);
        return s;
    }();
    return stack;
}
}  // namespace

bool stack_nearly_spent(std::size_t reserve) {
    thread_stack const &s = this_stack();
    auto const *const here = static_cast<char const *>(__builtin_frame_address(0));
    if (!s.low || here <= s.low) return false;
    return static_cast<std::size_t>(here - s.low) < std::min(reserve, s.size / 8);
}
