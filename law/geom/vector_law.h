#pragma once
// A vector built from scalar laws: component i is the first value of member i.
#include <law/base/par_pos.h>
#include <law/base/vector.h>
#include <law/core/multiple_law.h>

class vector_law : public multiple_law {
    LAW_CLASS_FACTS(vector_law, multiple_law)
  public:
    vector_law(law **subs, int n) : multiple_law(subs, n) {}
    explicit vector_law(ZEM::vector const &v);
    explicit vector_law(ZEM::position const &p);
    LAW_COMPILED_FORMS
    explicit vector_law(ZEM::unit_vector const &u);
    explicit vector_law(ZEM::par_pos const &uv);
    law *make_one(law **subs, int n) const override { return new vector_law(subs, n); }

    void evaluate(double const *x, double *answer) const override;
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;

  protected:
    law *deriv(int which) const override;
    int return_size() const override { return fsub_num(); }
};
