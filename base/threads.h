#pragma once
// Thread identity and a re-entrant mutex.
#include <atomic>
#include <mutex>

// A mutex that the thread holding it may lock again.
class fast_mutex {
  public:
    void lock() { m_.lock(); }
    void unlock() { m_.unlock(); }
    bool try_lock() { return m_.try_lock(); }

  private:
    std::recursive_mutex m_;
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
