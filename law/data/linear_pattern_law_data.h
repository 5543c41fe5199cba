#pragma once
// A pattern held as pattern law data: copies moved by whole or fractional steps along one or
// more vectors, input i counting the steps along vector i. Its transform is the translation by
// the sum of x_i step_i. Registered with the parser as LINEAR_PATTERN.
#include <vector>

#include <law/base/interval.h>
#include <law/base/vector.h>
#include <law/data/surface_law_data.h>

class linear_pattern_law_data : public base_pattern_law_data {
  public:
    // One step vector and range per input (1 to 3 of them, finite ranges): else LAW_DIM, or
    // LAW_BAD_DOMAN for a range.
    linear_pattern_law_data(ZEM::vector const *steps, ZEM::interval const *ranges, int n);
    // Steps of (1, 0, 0) over [0, 1]: the registry's prototype.
    linear_pattern_law_data();

    ZEM::vector const &step(int i) const { return steps_[i]; }

    char const *symbol(law_symbol_type) const override { return "LINEAR_PATTERN"; }
    void print(T4_ostream &out) const override;
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;
    void eval(double const *x, double *answer) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    int take_size() const override { return static_cast<int>(steps_.size()); }

  private:
    std::vector<ZEM::vector> steps_;
    std::vector<ZEM::interval> ranges_;
};
