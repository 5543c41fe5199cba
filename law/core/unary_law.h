#pragma once
// Family base of the laws of one sub-law, printed as NAME(sub).
#include <vector>

#include <law/core/member_family.h>
#include <law/core/singular_points.h>

class unary_law : public member_family<unary_law, one_member<law>> {
    LAW_FAMILY_IDENTITY(unary_law, law)
  public:
    explicit unary_law(law *sub);
    law *fsub() const { return members_.get(); }
    // A new law of this class over sub.
    virtual law *make_one(law *sub) const;

    LAW_MEMBER_FAMILY_OVERRIDES
    LAW_MEMBER_DOMAIN_OVERRIDES

  protected:
    ~unary_law() override;
    // The singular points of the sub-laws on [start, end], unsorted.
    std::vector<singular_point> member_singular_points(double start, double end) const;
    int take_size() const override { return fsub() ? fsub()->take_dim() : 0; }
    int return_size() const override { return fsub() ? fsub()->return_dim() : 1; }
    // The first value of the sub-law at x.
    double sub_value(double const *x) const { return first_value(fsub(), x); }
};
