#pragma once
// Ranges that hold every value a law takes over a box of inputs, by interval arithmetic over the
// law's tree: the searches in the plane drop the cells where a law cannot vanish and prove where
// it has exactly one zero. A part of the tree of a class without an interval rule is bounded from
// samples instead, widened by half their spread; such a range is an estimate, not a proof.
#include <span>
#include <vector>

#include <law/numeric/value_range.h>

class law;

class law_enclosure {
  public:
    // One range per output of l over the box, which gives one range per input of l.
    std::vector<value_range> operator()(law const *l, std::span<value_range const> box);
    // Whether some range given so far came from samples.
    bool estimated() const { return estimated_; }

  private:
    std::vector<value_range> enclose(law const *l, std::span<value_range const> box, int depth);
    std::vector<value_range> sampled(law const *l, std::span<value_range const> box);
    std::vector<value_range> by_rule(law const *l, std::span<value_range const> box, int depth,
                                     bool &known);

    bool estimated_ = false;
};
