#include <law/base/stack_room.h>

#include <pthread.h>

constinit thread_local thread_stack this_thread_stack{nullptr, 0, false};

void learn_thread_stack() {
    this_thread_stack.learnt = true;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return;
    void *low = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attributes, &low, &size) == 0) {
        this_thread_stack.low = static_cast<char const *>(low);
        this_thread_stack.size = size;
    }
    pthread_attr_destroy(&attributes);
}
