#include "work_watch.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "numbers.h"
#include "tool.h"

namespace law_tool {
namespace {

std::atomic<bool> progress_shown{false};

void write_error(char const *text) {
    for (std::size_t left = std::strlen(text); left > 0;) {
        ssize_t const n = ::write(STDERR_FILENO, text, left);
        if (n <= 0) return;
        text += n;
        left -= static_cast<std::size_t>(n);
    }
}

// Takes the progress line off the terminal.
void erase_progress() {
    if (progress_shown.exchange(false)) write_error("\r\033[K");
}

// Only what a signal handler may do: write and leave.
void on_interrupt(int) {
    erase_progress();
    write_error("law: interrupted\n");
    _exit(130);
}

}  // namespace

work_watch::work_watch(std::string what, double timeout_seconds)
    : what_(std::move(what)),
      timeout_(timeout_seconds),
      shows_progress_(isatty(STDERR_FILENO) != 0) {
    // A shell that starts the tool in the background has it ignore Ctrl-C: so it stays.
    struct sigaction current {};
    sigaction(SIGINT, nullptr, &current);
    if (current.sa_handler != SIG_IGN) {
        struct sigaction stop {};
        stop.sa_handler = on_interrupt;
        sigemptyset(&stop.sa_mask);
        sigaction(SIGINT, &stop, nullptr);
    }
    if (shows_progress_ || timeout_seconds > 0) thread_ = std::thread([this] { watch(); });
}

work_watch::~work_watch() {
    if (thread_.joinable()) {
        {
            std::lock_guard const lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    erase_progress();
}

void work_watch::watch() {
    using clock = std::chrono::steady_clock;
    auto const start = clock::now();
    std::unique_lock lock(mutex_);
    for (;;) {
        auto const elapsed = clock::now() - start;
        if (timeout_.count() > 0 && elapsed >= timeout_) {
            erase_progress();
            std::string const message = "law: " + what_ + " stopped after " +
                                        number_text(timeout_.count()) + " s (--timeout)\n";
            write_error(message.c_str());
            _exit(exit_failure);
        }
        if (shows_progress_ && elapsed >= std::chrono::seconds(1)) {
            std::string const line =
                "\r\033[Klaw: " + what_ + " working, " +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count()) +
                " s (Ctrl-C stops it)";
            write_error(line.c_str());
            progress_shown = true;
        }
        if (wake_.wait_for(lock, std::chrono::milliseconds(250), [this] { return done_; })) return;
    }
}

}  // namespace law_tool
