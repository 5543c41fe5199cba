#pragma once
// A transform applied to a wrapped law: TRANS(F,T) moves the point F by the transform T,
// ROTATE(F,T) turns the direction F by its linear part (no translation).
#include <law/base/transf.h>
#include <law/data/data_operation_law.h>

class transform_data_law : public data_operation_law {
  public:
    // The transform of the second law data; null when it holds none. has is set to whether it
    // holds one.
    ZEM::transf const *get_trans(int &has) const;

  protected:
    using data_operation_law::data_operation_law;
};

using transform_law = data_operation_law_of<law_id::transform_law, transform_data_law>;
using rotate_law = data_operation_law_of<law_id::rotate_law, transform_data_law>;
