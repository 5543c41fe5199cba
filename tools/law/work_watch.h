#pragma once
// Long work seen and bounded: past about a second it shows its time on standard error when that
// is a terminal; Ctrl-C stops it with a message (exit status 130); a timeout stops it with one
// (exit status 1). Results not yet printed are dropped, not printed in part.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace law_tool {

class work_watch {
  public:
    // timeout_seconds 0 for none.
    work_watch(std::string what, double timeout_seconds);
    ~work_watch();
    work_watch(work_watch const &) = delete;
    work_watch &operator=(work_watch const &) = delete;

  private:
    void watch();

    std::string what_;
    std::chrono::duration<double> timeout_;
    bool shows_progress_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace law_tool
