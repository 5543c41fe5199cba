#pragma once
// A curve law (one input, three outputs) sampled at many parameters in one batch, for the checks
// that compare it with a fitted curve.
#include <vector>

#include <law/base/vector.h>

class law;

class curve_samples {
  public:
    // The law at every parameter of ts, through evaluate_many when it takes one input to three
    // outputs.
    curve_samples(law const *f, std::vector<double> ts);

    int size() const { return static_cast<int>(ts_.size()); }
    double parameter(int i) const { return ts_[static_cast<std::size_t>(i)]; }
    // The position evaluateR_P gives at parameter i. A point the batch could not evaluate is
    // evaluated alone here, which raises its error: errors come in the order they are asked for.
    ZEM::position at(int i) const;

  private:
    law const *f_;
    std::vector<double> ts_, values_;
    std::vector<int> errors_;
};
