#pragma once
// The members a family law holds, laws or law data, each with one more use while held (null
// members are allowed): one member, or an array of them.
#include <algorithm>
#include <cstddef>
#include <span>

#include <law/base/memory.h>

class law;
class law_data;

// How messages name a member of each kind, one and many.
struct member_words {
    char const *one;
    char const *many;
};
constexpr member_words words_of(law const *) { return {"member", "members"}; }
constexpr member_words words_of(law_data const *) { return {"law data", "law data"}; }

namespace member_checks {
// n, once checked: LAW_DIM for a negative count, LAW_NULL_LAW for a missing array of a positive
// count.
int checked_count(bool has_array, int n, member_words words);
// LAW_NULL_LAW naming the first null entry, "member 2 of 3 is null".
[[noreturn]] void null_entry(int i, int n, member_words words);
}  // namespace member_checks

// Raises LAW_NULL_LAW when an entry of the n members of `from` is null (a null array passes: the
// family refuses it with a positive count). For the constructors that check their members.
template <class Member>
void check_non_null(Member *const *from, int n) {
    for (int i = 0; from && i < n; ++i)
        if (!from[i]) member_checks::null_entry(i, n, words_of(from[i]));
}

template <class Member>
class one_member {
  public:
    using member_type = Member;
    explicit one_member(Member *m) : m_(m) {
        if (m_) m_->add();
    }
    ~one_member() {
        if (m_) m_->remove();
    }
    one_member(one_member const &) = delete;
    one_member &operator=(one_member const &) = delete;

    Member *get() const { return m_; }
    int size() const { return 1; }
    // Whether the member is there.
    bool complete() const { return m_ != nullptr; }
    std::span<Member *const> all() const { return {&m_, 1}; }
    // The bytes held outside the family law's object.
    std::size_t outside_bytes() const { return 0; }

  private:
    Member *m_;
};

template <class Member>
class member_array {
  public:
    using member_type = Member;
    // A copy of the n members of `from`. A negative count raises LAW_DIM, a null array with a
    // positive count LAW_NULL_LAW; null entries are kept (the classes whose members are checked
    // refuse them in their own constructors).
    member_array(Member *const *from, int n)
        : n_(member_checks::checked_count(from != nullptr, n,
                                          words_of(static_cast<Member const *>(nullptr)))) {
        if (n_ == 0) return;
        items_ = VORN_ARRAY(Member *, n_);
        complete_ = true;
        for (int i = 0; i < n_; ++i) {
            if ((items_[i] = from[i])) items_[i]->add();
            complete_ = complete_ && items_[i];
        }
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
    // Whether there is at least one member and no null one.
    bool complete() const { return complete_; }
    // The members held (none when there is no array).
    std::span<Member *const> all() const {
        return {items_, items_ ? static_cast<std::size_t>(n_) : 0};
    }
    std::size_t outside_bytes() const { return sizeof(Member *) * all().size(); }

  private:
    Member **items_ = nullptr;
    int n_;
    bool complete_ = false;
};
