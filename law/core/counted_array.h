#pragma once
// Laws (or law data) held while a new object is built over them: the array hands out the plain
// pointers that the family constructors take and releases its references when it goes.
#include <vector>

#include <law/core/law.h>
#include <law/core/law_data.h>

template <class T>
class counted_array {
  public:
    counted_array() = default;
    explicit counted_array(int reserve) {
        held_.reserve(reserve);
        raw_.reserve(reserve);
    }
    // Takes over a reference (a builder's result); a null entry stays null.
    void push(ref_ptr<T> p) {
        raw_.push_back(p.get());
        held_.push_back(std::move(p));
    }
    // Adds a reference of its own.
    void push_shared(T const *p) { push(p ? share(p) : ref_ptr<T>()); }
    T **data() { return raw_.data(); }
    int size() const { return static_cast<int>(raw_.size()); }
    bool empty() const { return raw_.empty(); }
    T *operator[](int i) const { return raw_[i]; }
    ref_ptr<T> const &held(int i) const { return held_[i]; }
    // A new law of class L over the held laws: subs.make<vector_law>().
    template <class L>
    ref_ptr<law> make() {
        return make_law<L>(data(), size());
    }

  private:
    std::vector<ref_ptr<T>> held_;
    std::vector<T *> raw_;
};

using law_array = counted_array<law>;
using law_data_array = counted_array<law_data>;
