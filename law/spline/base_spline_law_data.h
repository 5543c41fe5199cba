#pragma once
// The law data through which a spline that lives outside the law library is used as a law: a
// caller derives from it and supplies the evaluation (see spline_law).
#include <law/core/law_data.h>

class base_spline_law_data : public law_data {
  public:
    base_spline_law_data() = default;
    base_spline_law_data(double min, double max) : min_(min), max_(max) {}
    double param_min() const { return min_; }
    double param_max() const { return max_; }

    char const *symbol(law_symbol_type) const override { return "SPLINE_LAW"; }
    int type() const override { return spline_law_data_type; }
    // The value and the derivatives up to nderiv at t, return_size values per order, into out
    // ((nderiv + 1) return_size doubles). The meaning of flag is the subclass's. The base has no
    // spline: it writes nothing.
    virtual void eval(double t, int nderiv, double *out, int flag) const;
    // Values per order (the base: 0).
    virtual int return_size() const { return 0; }
    // Singular parameters in [start, end] as new arrays (vorn_allocate); the base has none.
    virtual int singularities(double **where, int **type, double start, double end) const;

    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    // The same class over the same range.
    bool operator==(law_data const &other) const override;
    void print(T4_ostream &out) const override;

  protected:
    base_spline_law_data(base_spline_law_data const &o) : law_data(), min_(o.min_), max_(o.max_) {}

  private:
    double min_ = 0, max_ = 0;
};
