#pragma once
// Scratch space for evaluation: up to 4 doubles on the stack, more from the allocator.
#include <law/base/memory.h>

class eval_buffer {
  public:
    explicit eval_buffer(int n) : p_(n <= small ? local_ : VORN_ARRAY(double, n)) {}
    ~eval_buffer() {
        if (p_ != local_) vorn_discard(p_);
    }
    eval_buffer(eval_buffer const &) = delete;
    eval_buffer &operator=(eval_buffer const &) = delete;
    double *data() { return p_; }
    double &operator[](int i) { return p_[i]; }
    operator double *() { return p_; }

  private:
    static constexpr int small = 4;
    double local_[small];
    double *p_;
};
