#pragma once
// Family base of the laws of an array of sub-laws, printed as NAME(a,b,...).
#include <vector>

#include <law/core/member_family.h>
#include <law/core/singular_points.h>

class multiple_law : public member_family<multiple_law, member_array<law>> {
    LAW_FAMILY_IDENTITY(multiple_law, law)
  public:
    // Holds the n laws of subs, each non-null one with a reference. A null array with a positive
    // count raises LAW_NULL_LAW, a negative count LAW_DIM; null entries are kept (the classes
    // whose members are checked refuse them in their own constructors).
    multiple_law(law **subs, int n);
    law **fsub() const { return members_.data(); }
    int fsub_num() const { return members_.size(); }
    // A new law of this class over the n sub-laws.
    virtual law *make_one(law **subs, int n) const;
    virtual int commutative() const { return 0; }

    LAW_MEMBER_FAMILY_OVERRIDES
    LAW_MEMBER_DOMAIN_OVERRIDES

    using member_family::has_members;

  protected:
    ~multiple_law() override;
    // The singular points of the sub-laws on [start, end], unsorted.
    std::vector<singular_point> member_singular_points(double start, double end) const;
    int take_size() const override;
    int return_size() const override;
};
