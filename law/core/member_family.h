#pragma once
// What the family bases whose members are laws or law data do alike over them: hold them, date
// the law by them, size them and search below them. Members is one_member<M> or member_array<M>;
// Self is the family base, whose size the law counts.
#include <law/core/law.h>
#include <law/core/member_array.h>

template <class Self, class Members>
class member_family : public law {
  public:
    // The latest date of the members (never before the base date).
    int date() const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    void hasa(int type, VOID_LIST &out) const override;

  protected:
    template <class... A>
    explicit member_family(A const &...members) : members_(members...) {}
    ~member_family() override = default;

    // Whether the law has at least one member and no null one.
    bool has_members() const { return members_.complete(); }
    // Raises LAW_NULL_LAW, naming the class, unless has_members(): a registry prototype (made
    // with no members), or a law whose constructor keeps what it is given without checks, fails
    // so where it would read a member.
    void require_members() const {
        if (!has_members()) missing_members();
    }
    // The same for a class whose law may have no members: only a null member raises.
    void require_non_null() const {
        if (!has_members() && members_.size() > 0) missing_members();
    }

    Members members_;

  private:
    [[noreturn]] void missing_members() const;
};

// What a family base over members declares of its own.
#define LAW_MEMBER_FAMILY_OVERRIDES                            \
    LAW_FAMILY_PRINTER;                                        \
    int same(law const *a, law const *b) const override;       \
    law *deep_copy(pointer_map *map = nullptr) const override; \
    law *set_domain(ZEM::interval const *domains, int flag = 0) const override;
