#pragma once
// Law data over a transform of the kernel, with its inverse kept alongside.
#include <law/base/transf.h>
#include <law/core/law_data.h>

class base_transform_law_data : public law_data {
  public:
    // Copies t and keeps its inverse; a null t gives law data that holds no transform.
    explicit base_transform_law_data(ZEM::transf const *t);

    ZEM::transf const *get_trans() const { return trans_; }
    ZEM::transf const *get_inverse() const { return inverse_; }
    // The transform and its inverse applied to points and directions; they need a transform.
    ZEM::position transform(ZEM::position const &p) const { return p * *trans_; }
    ZEM::vector rotate(ZEM::vector const &v) const { return v * *trans_; }
    ZEM::position transform_inverse(ZEM::position const &p) const { return p * *inverse_; }
    ZEM::vector rotate_inverse(ZEM::vector const &v) const { return v * *inverse_; }

    int type() const override { return transform_law_data_type; }
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;

    // A new law data of the implementing class over t.
    virtual base_transform_law_data *make_one(ZEM::transf const *t) const = 0;

  protected:
    ~base_transform_law_data() override;

  private:
    ZEM::transf *trans_ = nullptr;
    ZEM::transf *inverse_ = nullptr;
};
