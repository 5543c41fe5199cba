#include <law/core/thread_context.h>

#include <atomic>
#include <ctime>
#include <mutex>

#include <law/base/memory.h>
#include <law/base/threads.h>
#include <law/base/version.h>

namespace {
constexpr int block_size = 64;
constexpr char const *component_name = "law";

// Contexts in blocks of 64, chained as thread indices grow. Lookups walk the chain without a
// lock; only growth takes the table's mutex.
struct context_block {
    lawutil_thread_ctx contexts[block_size];
    std::atomic<context_block *> next{nullptr};
};

std::mutex table_mutex;
std::atomic<context_block *> table{nullptr};
int init_count = 0;

context_block *new_block() {
    void *memory =
        vorn_allocate(sizeof(context_block), VORN_MEM_DEFAULT, VORN_CALL_NEW, __FILE__, __LINE__);
    return new (memory) context_block;
}

void destroy_table() {
    context_block *b = table.exchange(nullptr);
    while (b) {
        context_block *const next = b->next.load();
        b->~context_block();
        vorn_discard(b, VORN_CALL_NEW);
        b = next;
    }
}

// The block after b, chained on under the mutex when missing.
context_block *next_block(std::atomic<context_block *> &link) {
    context_block *b = link.load(std::memory_order_acquire);
    if (b) return b;
    std::lock_guard lock(table_mutex);
    b = link.load(std::memory_order_acquire);
    if (!b) {
        b = new_block();
        link.store(b, std::memory_order_release);
    }
    return b;
}

// Frees the table at unload when a caller never called terminate_law.
struct table_reaper {
    ~table_reaper() { destroy_table(); }
} reaper;
}  // namespace

lawutil_thread_ctx *lawutil_context() {
    int index = mt_thread_index();
    context_block *b = next_block(table);
    for (; index >= block_size; index -= block_size) b = next_block(b->next);
    return &b->contexts[index];
}

int initialize_law() {
    if (init_count++ == 0) {
        zem_component_info::addComponent(component_name);
        next_block(table);
    }
    return 1;
}

int terminate_law() {
    if (init_count == 0) return 0;
    if (--init_count == 0) {
        destroy_table();
        zem_component_info::removeComponent(component_name);
    }
    return 1;
}

void law_start_time() { lawutil_context()->start_clock = static_cast<double>(std::clock()); }
void law_end_time() { lawutil_context()->end_clock = static_cast<double>(std::clock()); }

double law_get_time() {
    lawutil_thread_ctx const *c = lawutil_context();
    return (c->end_clock - c->start_clock) / 1000.0;
}
