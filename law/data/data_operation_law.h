#pragma once
// The laws of a few law data, some of them wrapped laws evaluated at the input, that apply one
// operation of the other law data to their values: transforms of a point or a direction, the
// foot of a perpendicular, an arc length and the parameter an arc length reaches. The source's
// row table gives each class its kinds of law data, its count, its size and its operation.
#include <law/core/multiple_data_law.h>

class data_operation_law : public multiple_data_law {
  public:
    void evaluate(double const *x, double *answer) const override;
    // Where every wrapped law is defined: the intersection of their domains.
    int term_domain(int which, ZEM::interval &out) const override;

  protected:
    // Raises LAW_DATA_UNKNOWN for a count or a kind of law data the class does not take, and
    // LAW_DIM for a wrapped law of the wrong size; null data make the registry's prototype.
    data_operation_law(law_data **data, int n, int id);
    // Transforms differentiate exactly (the derivative of a transformed point is the rotated
    // derivative); the rest numerically, over a fresh law.
    law *deriv(int which) const override;
    // As many inputs as the wrapped law that takes the most (none when they are constants).
    int take_size() const override;
    int return_size() const override;

  private:
    int id_;
};

template <int Id, class Base = data_operation_law>
class data_operation_law_of final : public table_law<Id, Base> {
  public:
    data_operation_law_of(law_data **data, int n) : table_law<Id, Base>(data, n, Id) {}
    law *make_one(law_data **data, int n) const override {
        return new data_operation_law_of(data, n);
    }
};
