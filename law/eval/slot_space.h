#pragma once
// The values of a run of a tape (one point of a large tape, or a block of points): a buffer kept
// by the thread, since allocating and touching fresh pages on every run would cost more than the
// run itself. A run inside another, through a called law, takes a buffer of its own.
#include <cstddef>
#include <memory>

class slot_space {
  public:
    explicit slot_space(std::size_t n) {
        spare &s = thread_spare();
        if (s.busy) {
            owned_.reset(new double[n]);
            p_ = owned_.get();
            return;
        }
        if (s.size < n) {
            s.data.reset(new double[n]);
            s.size = n;
        }
        s.busy = true;
        held_ = &s;
        p_ = s.data.get();
    }
    ~slot_space() {
        if (held_) held_->busy = false;
    }
    slot_space(slot_space const &) = delete;
    slot_space &operator=(slot_space const &) = delete;
    double *data() { return p_; }

  private:
    struct spare {
        std::unique_ptr<double[]> data;
        std::size_t size = 0;
        bool busy = false;
    };
    static spare &thread_spare() {
        thread_local spare s;
        return s;
    }
    double *p_ = nullptr;
    spare *held_ = nullptr;
    std::unique_ptr<double[]> owned_;
};
