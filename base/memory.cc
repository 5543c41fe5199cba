#include <law/base/memory.h>

#include <atomic>
#include <cstdlib>

namespace {
std::atomic<long> live_blocks{0};
}

void *vorn_allocate(std::size_t size, VornMemType, VornMemCall, char const *, int, int) {
    void *block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    live_blocks.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void vorn_discard(void *block, VornMemCall, std::size_t) {
    if (!block) return;
    live_blocks.fetch_sub(1, std::memory_order_relaxed);
    std::free(block);
}

long vorn_live_blocks() { return live_blocks.load(std::memory_order_relaxed); }
