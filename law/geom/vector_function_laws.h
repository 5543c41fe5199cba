#pragma once
// Functions of a vector law that hand their work to an internal law built from the sub-law:
// NORM(A) = A * (A . A)^-0.5, FRENET(A) the unit principal normal of a curve, SURFNORM(A) the
// normal dA/du x dA/dv of a surface, SIZE(A) = sqrt(A . A).
#include <law/core/unary_law.h>

class vector_function_law : public unary_law {
  public:
    // The internal law (no new reference); null when the sub-law is null.
    law *internal() const { return internal_; }

    void evaluate(double const *x, double *y) const override;
    int in_domain(double const *x) const override;
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;
    int date() const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    void hasa(int type, VOID_LIST &out) const override;

  protected:
    vector_function_law(law *sub, int id);
    ~vector_function_law() override;
    law *deriv(int which) const override;
    int take_size() const override;
    int return_size() const override;

  private:
    // use(x), or use of x padded with zeros to what reader takes.
    template <class Use>
    void at_point(law const *reader, double const *x, Use use) const;
    int id_;
    law *internal_;
};

template <int Id>
class vector_valued_law final : public table_law<Id, vector_function_law> {
  public:
    explicit vector_valued_law(law *sub) : table_law<Id, vector_function_law>(sub, Id) {}
    law *make_one(law *sub) const override { return new vector_valued_law(sub); }
};

using norm_law = vector_valued_law<law_id::norm_law>;
using frenet_law = vector_valued_law<law_id::frenet_law>;
using surfnorm_law = vector_valued_law<law_id::surfnorm_law>;
using size_law = vector_valued_law<law_id::size_law>;
