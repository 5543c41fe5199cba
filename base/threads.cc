#include <law/base/threads.h>

#include <thread>

std::atomic<bool> mt_globals::s_skip_thread_safety_measures{false};

namespace {
std::atomic<int> next_index{0};
std::thread::id main_thread = std::this_thread::get_id();
}  // namespace

mt_thread_context *mt_globals::multi_threaded_context() {
    thread_local mt_thread_context ctx{next_index.fetch_add(1)};
    return &ctx;
}

namespace {
std::atomic<std::uint32_t> last_holder_id{0};
// Given on a thread's first lock.
constinit thread_local std::uint32_t holder = 0;
}  // namespace

std::uint32_t fast_mutex::holder_id() {
    if (holder == 0) holder = last_holder_id.fetch_add(1, std::memory_order_relaxed) + 1;
    return holder;
}

int mt_thread_index() {
    return mt_globals::skip_thread_safety() ? 0
                                            : mt_globals::multi_threaded_context()->thread_index;
}

bool mt_thread_not_permitted() { return std::this_thread::get_id() != main_thread; }
