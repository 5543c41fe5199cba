#pragma once
// A transform held as transform law data: p -> p A s + t, with the rows of A the images of the
// axes X, Y and Z. Registered with the parser as TRANSFORM.
#include <law/data/transform_law_data.h>

class affine_law_data : public base_transform_law_data {
  public:
    // A singular matrix or a zero scale has no inverse: LAW_DIM. Null: the identity.
    explicit affine_law_data(ZEM::transf const *t = nullptr);

    char const *symbol(law_symbol_type) const override { return "TRANSFORM"; }
    void print(T4_ostream &out) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    base_transform_law_data *make_one(ZEM::transf const *t) const override {
        return new affine_law_data(t);
    }
};
