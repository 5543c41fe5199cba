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

namespace {

// Objects up to this size come in classes of 16 bytes, each with a list of blocks given back on
// this thread. The lists are plain data that outlive the thread's destructors: when the thread
// ends, the blocks on them go back to the C library and later blocks go straight there. A thread
// keeps at most kept_most bytes: one large tree, a derivative of a derivative of a long chain say,
// would otherwise hold its peak for the rest of the thread's life.
constexpr std::size_t granule = 16, largest_kept = 512, kept_most = std::size_t{16} << 20;
struct free_block {
    free_block *next;
};
struct thread_blocks {
    free_block *lists[largest_kept / granule];
    std::size_t kept;
    bool closed;
};
constinit thread_local thread_blocks blocks{};

struct blocks_closer {
    ~blocks_closer() {
        for (free_block *&head : blocks.lists) {
            while (free_block *b = head) {
                head = b->next;
                std::free(b);
            }
        }
        blocks.closed = true;
    }
};
thread_local blocks_closer closer;

std::size_t size_class(std::size_t size) { return (size + granule - 1) / granule; }

}  // namespace

void *vorn_allocate_object(std::size_t size) {
    std::size_t const c = size_class(size ? size : 1);
    if (c * granule <= largest_kept) {
        if (free_block *b = blocks.lists[c - 1]) {
            blocks.lists[c - 1] = b->next;
            blocks.kept -= c * granule;
            live_blocks.fetch_add(1, std::memory_order_relaxed);
            return b;
        }
        void *block = vorn_allocate(c * granule, VORN_MEM_DEFAULT, VORN_CALL_NEW, "<new>", 0);
        // The thread's lists are given back when it ends.
        static_cast<void>(&closer);
        return block;
    }
    return vorn_allocate(size, VORN_MEM_DEFAULT, VORN_CALL_NEW, "<new>", 0);
}

void vorn_discard_object(void *block, std::size_t size) noexcept {
    if (!block) return;
    std::size_t const c = size_class(size ? size : 1);
    if (c * granule > largest_kept || blocks.closed || blocks.kept + c * granule > kept_most) {
        vorn_discard(block, VORN_CALL_NEW, size);
        return;
    }
    live_blocks.fetch_sub(1, std::memory_order_relaxed);
    auto *b = static_cast<free_block *>(block);
    b->next = blocks.lists[c - 1];
    blocks.lists[c - 1] = b;
    blocks.kept += c * granule;
}

long vorn_live_blocks() { return live_blocks.load(std::memory_order_relaxed); }
