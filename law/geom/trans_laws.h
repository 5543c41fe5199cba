#pragma once
// A transform applied to a law. The second member is a law of a transform (13 values: the three
// axes, the origin and the scaling, as evaluateM_T reads them):
//   SCALETRANS(A, T)  A times the scaling of T, component by component for three components
//   VECTRANS(V, T)    the vector V transformed (no translation)
//   POSTRANS(P, T)    the position P transformed
// Exactly two members, else LAW_SCALE_NUM, LAW_VEC_NUM or LAW_POS_NUM; SCALETRANS takes a law
// of one or three outputs and the others of three, else LAW_DIM.
#include <array>

#include <law/core/multiple_law.h>

class transforming_law : public multiple_law {
  public:
    void evaluate(double const *x, double *answer) const override;
    // "trans(A,I)=A": a constant identity transform leaves the law.
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;

  protected:
    transforming_law(law **subs, int n, int id);
    // Exact for a transform of no input (the map is then linear in the first member, up to the
    // translation); numerical (derivative_law) otherwise.
    law *deriv(int which) const override;
    int return_size() const override;

  private:
    int id_;
};

template <int Id>
class trans_law final : public table_law<Id, transforming_law> {
    using base = table_law<Id, transforming_law>;

  public:
    trans_law() : base(nullptr, 0, Id) {}  // the prototype
    trans_law(law *a, law *t) : trans_law(std::array<law *, 2>{a, t}.data(), 2) {}
    trans_law(law **subs, int n) : base(subs, n, Id) {}
    law *make_one(law **subs, int n) const override { return new trans_law(subs, n); }
};

using scaletrans_law = trans_law<law_id::scaletrans_law>;
using vectrans_law = trans_law<law_id::vectrans_law>;
using postrans_law = trans_law<law_id::postrans_law>;
