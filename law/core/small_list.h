#pragma once
// A list that lives on the stack up to N entries and moves to the heap beyond: for the short
// operand lists that comparisons and rules walk on every call.
#include <initializer_list>
#include <vector>

template <class T, int N = 16>
class small_list {
  public:
    small_list() = default;
    small_list(std::initializer_list<T> values) {
        for (T const &v : values) push_back(v);
    }
    void push_back(T v) {
        if (!spilled_ && n_ == N) {
            heap_.assign(local_, local_ + N);
            spilled_ = true;
        }
        if (spilled_)
            heap_.push_back(v);
        else
            local_[n_] = v;
        ++n_;
    }
    void pop_back() {
        if (spilled_) heap_.pop_back();
        --n_;
    }
    T &back() { return data()[n_ - 1]; }
    T &operator[](int i) { return data()[i]; }
    T *data() { return spilled_ ? heap_.data() : local_; }
    T const *data() const { return spilled_ ? heap_.data() : local_; }
    T const &operator[](int i) const { return data()[i]; }
    T *begin() { return data(); }
    T *end() { return data() + n_; }
    T const *begin() const { return data(); }
    T const *end() const { return data() + n_; }
    int size() const { return n_; }
    bool empty() const { return n_ == 0; }

  private:
    T local_[N];
    std::vector<T> heap_;
    int n_ = 0;
    bool spilled_ = false;
};
