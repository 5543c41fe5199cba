#pragma once
// Memory accounting and collection of pointers.
#include <cstddef>
#include <vector>

class SizeAccumulator {
  public:
    void addSize(std::size_t bytes) { total_ += bytes; }
    std::size_t getSize() const { return total_; }

  private:
    std::size_t total_ = 0;
};

// An ordered list of distinct pointers.
class VOID_LIST {
  public:
    // Appends p unless it is already listed; returns its index.
    int add(void const *p);
    int lookup(void const *p) const;  // -1 when absent
    int count() const { return static_cast<int>(items_.size()); }
    void *operator[](int i) const { return const_cast<void *>(items_[i]); }
    void clear() { items_.clear(); }

  private:
    std::vector<void const *> items_;
};
