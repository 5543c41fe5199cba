#include <law/base/stack_room.h>

#include <pthread.h>

#include <cstdint>

namespace {
// The low end of this thread's stack (stacks grow down here), or null when it cannot be told.
char const *stack_end() {
    thread_local char const *const end = [] {
        void *low = nullptr;
        std::size_t size = 0;
        pthread_attr_t attributes;
        if (pthread_getattr_np(pthread_self(), &attributes) != 0)
            return static_cast<char *>(nullptr);
        if (pthread_attr_getstack(&attributes, &low, &size) != 0) low = nullptr;
        pthread_attr_destroy(&attributes);
        return static_cast<char *>(low);
    }();
    return end;
}
}  // namespace

std::size_t stack_room() {
    char const *const end = stack_end();
    auto const *const here = static_cast<char const *>(__builtin_frame_address(0));
    if (!end || here <= end) return SIZE_MAX;
    return static_cast<std::size_t>(here - end);
}
