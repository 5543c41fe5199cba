#pragma once
// The members a family law holds in an array: laws or law data, each with one more use while
// held (null members are allowed).
#include <algorithm>
#include <cstddef>
#include <span>

#include <law/base/memory.h>

template <class Member>
class member_array {
  public:
    // A copy of the n members of `from`; no array at all when from is null (n is kept).
    member_array(Member *const *from, int n) : n_(std::max(n, 0)) {
        if (!from || n_ == 0) return;
        items_ = VORN_ARRAY(Member *, n_);
        for (int i = 0; i < n_; ++i)
            if ((items_[i] = from[i])) items_[i]->add();
    }
    ~member_array() {
        for (Member *m : all())
            if (m) m->remove();
        vorn_discard(items_);
    }
    member_array(member_array const &) = delete;
    member_array &operator=(member_array const &) = delete;

    Member **data() const { return items_; }
    int size() const { return n_; }
    // The members held (none when there is no array).
    std::span<Member *const> all() const {
        return {items_, items_ ? static_cast<std::size_t>(n_) : 0};
    }

  private:
    Member **items_ = nullptr;
    int n_;
};
