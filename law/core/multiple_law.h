#pragma once
// Family base of the laws of an array of sub-laws, printed as NAME(a,b,...).
#include <vector>

#include <law/core/law.h>
#include <law/core/singular_points.h>

class multiple_law : public law {
    LAW_FAMILY_IDENTITY(multiple_law, law)
  public:
    // Holds the n laws of subs, each non-null one with a reference. A null array with a positive
    // count raises LAW_NULL_LAW, a negative count LAW_DIM; null entries are kept (the classes
    // whose members are checked refuse them in their own constructors).
    multiple_law(law **subs, int n);
    law **fsub() const { return subs_; }
    int fsub_num() const { return n_; }
    // A new law of this class over the n sub-laws.
    virtual law *make_one(law **subs, int n) const;
    virtual int commutative() const { return 0; }

    LAW_FAMILY_OVERRIDES
    LAW_MEMBER_DOMAIN_OVERRIDES

    // Whether the law has at least one member and no null one.
    bool has_members() const { return complete_; }

  protected:
    ~multiple_law() override;
    // The singular points of the sub-laws on [start, end], unsorted.
    std::vector<singular_point> member_singular_points(double start, double end) const;
    int take_size() const override;
    int return_size() const override;
    // Raises LAW_NULL_LAW, naming the class, unless has_members(): a registry prototype (made
    // with no members), or a law whose constructor keeps what it is given without checks, fails
    // so where it would read a member.
    void require_members() const {
        if (!complete_) missing_members();
    }
    // The same for a class whose law may have no members: only a null member raises.
    void require_non_null() const {
        if (!complete_ && n_ > 0) missing_members();
    }

  private:
    [[noreturn]] void missing_members() const;

    law **subs_;
    int n_;
    bool complete_ = false;
};

// Raises LAW_NULL_LAW when an entry of the n laws of subs is null (a null array passes: the
// family refuses it with a positive count). For the constructors that check their members.
void check_non_null(law *const *subs, int n);
