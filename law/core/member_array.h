#pragma once
// The members a family law holds, laws or law data, each with one more use while held (null
// members are allowed): one member, or an array of them.
#include <algorithm>
#include <cstddef>
#include <span>

#include <law/base/memory.h>

template <class Member>
class one_member {
  public:
    explicit one_member(Member *m) : m_(m) {
        if (m_) m_->add();
    }
    ~one_member() {
        if (m_) m_->remove();
    }
    one_member(one_member const &) = delete;
    one_member &operator=(one_member const &) = delete;

    Member *get() const { return m_; }
    std::span<Member *const> all() const { return {&m_, 1}; }
    // The bytes held outside the family law's object.
    std::size_t outside_bytes() const { return 0; }

  private:
    Member *m_;
};

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
    std::size_t outside_bytes() const { return sizeof(Member *) * all().size(); }

  private:
    Member **items_ = nullptr;
    int n_;
};
