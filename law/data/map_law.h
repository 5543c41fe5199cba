#pragma once
// A law reparametrised onto [0, 1]: MAP(f, range) is f at s + (e - s) t for the parameter range
// [s, e] of its second law data.
#include <law/core/multiple_data_law.h>

class map_law : public multiple_data_law {
    LAW_CLASS_FACTS(map_law, multiple_data_law)
  public:
    // Law data 0 wraps the mapped law (law_law_data); law data 1 supplies the range: a path's
    // parameter range, or the finite domain of a wrapped law. Anything else: LAW_DATA_UNKNOWN.
    map_law(law_data **data, int n);
    law *make_one(law_data **data, int n) const override { return new map_law(data, n); }

    law *mapped() const { return mapped_; }
    double range_start() const { return start_; }
    double range_end() const { return end_; }

    void evaluate(double const *x, double *answer) const override;

  protected:
    // (e - s) f'(s + (e - s) t).
    law *deriv(int which) const override;
    int take_size() const override { return 1; }
    int return_size() const override { return mapped_ ? mapped_->return_dim() : 1; }

  private:
    law *mapped_ = nullptr;  // held by law data 0
    double start_ = 0.0;
    double end_ = 1.0;
};
