#pragma once
// Thread identity and a re-entrant mutex.
#include <atomic>
#include <cstdint>

// A mutex that the thread holding it may lock again. Eight bytes, since every law holds one: the
// holder's id and its depth of locking; waiters sleep on the id word.
class fast_mutex {
  public:
    void lock() {
        while (!try_lock()) {
            std::uint32_t const holder = owner_.load(std::memory_order_relaxed);
            if (holder != 0) owner_.wait(holder, std::memory_order_relaxed);
        }
    }
    void unlock() {
        if (--depth_ > 0) return;
        owner_.store(0, std::memory_order_release);
        owner_.notify_one();
    }
    bool try_lock() {
        std::uint32_t const me = holder_id();
        if (owner_.load(std::memory_order_relaxed) == me) {
            ++depth_;
            return true;
        }
        std::uint32_t expected = 0;
        if (!owner_.compare_exchange_strong(expected, me, std::memory_order_acquire,
                                            std::memory_order_relaxed))
            return false;
        depth_ = 1;
        return true;
    }

  private:
    // A number of the calling thread, never 0.
    static std::uint32_t holder_id();
    std::atomic<std::uint32_t> owner_{0};
    std::uint32_t depth_ = 0;
};

struct mt_thread_context {
    int thread_index;  // small, dense, 0 for the first thread that asks
};

struct mt_globals {
    static mt_thread_context *multi_threaded_context();
    // While set, every caller uses thread index 0 and laws take no locks.
    static std::atomic<bool> s_skip_thread_safety_measures;
    static bool skip_thread_safety() {
        return s_skip_thread_safety_measures.load(std::memory_order_relaxed);
    }
};

// Reports a use that threads forbid (the caller is not the main thread); returns true then.
bool mt_thread_not_permitted();
// The calling thread's small index (0 while thread safety is skipped).
int mt_thread_index();
