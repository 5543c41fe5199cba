#pragma once
// A cache of the position and first three derivatives of a curve law (one parameter into
// 3-space) at chosen parameters, so that repeated evaluations at the same parameters (such as
// the fixed samples of a sweep) cost nothing.
#include <law/base/interval.h>
#include <law/base/memory.h>
#include <law/base/null_ref.h>
#include <law/base/vector.h>

class law;

// One record: a parameter and the law's position and derivatives there, the derivatives scaled
// to a parameter that runs over an interval of length 1.
class derivs_data : public ZEM_heap {
  public:
    derivs_data() = default;
    derivs_data(derivs_data const &) = default;
    derivs_data &operator=(derivs_data const &) = default;

    // Records t and writes the law's position and its derivatives times scale, scale squared and
    // scale cubed into each output that is given.
    void eval(law const *l, double t, double scale, ZEM::vector &p = NULL_REF,
              ZEM::vector &q1 = NULL_REF, ZEM::vector &q2 = NULL_REF, ZEM::vector &q3 = NULL_REF);
    // eval into the record's own vectors.
    void set(law const *l, double t, double scale);
    // 1 with the record's vectors copied into the given outputs when the record is at t; -1 when
    // it lies beyond t, 0 when before.
    int get(double t, ZEM::vector &p = NULL_REF, ZEM::vector &q1 = NULL_REF,
            ZEM::vector &q2 = NULL_REF, ZEM::vector &q3 = NULL_REF) const;

    double parameter() const { return param_; }
    ZEM::vector const &position() const { return p_; }
    ZEM::vector const &first() const { return d1_; }
    ZEM::vector const &second() const { return d2_; }
    ZEM::vector const &third() const { return d3_; }

  private:
    double param_ = 0;
    ZEM::vector p_, d1_, d2_, d3_;
};

// The records of one curve law over one parameter range, sorted by parameter.
class r3_law_cache : public ZEM_heap {
  public:
    r3_law_cache() = default;
    ~r3_law_cache();
    r3_law_cache(r3_law_cache const &) = delete;
    r3_law_cache &operator=(r3_law_cache const &other);

    // Caches l at the n parameters (sorted, those within resabs of a kept one dropped). Does
    // nothing for a null law or one that is neither a curve into 3-space nor of one input.
    void setup(law const *l, int n, double const *params, ZEM::interval const &range);
    // The cached vectors when t is a cached parameter; otherwise the law evaluated afresh (the
    // cache is not changed). Needs a cache that was set up with a law.
    void evaluate(double t, ZEM::vector &p = NULL_REF, ZEM::vector &q1 = NULL_REF,
                  ZEM::vector &q2 = NULL_REF, ZEM::vector &q3 = NULL_REF) const;
    ZEM::interval const &param_range() const { return range_; }
    int size() const { return count_; }
    derivs_data const *records() const { return records_; }

  private:
    void clear();

    law *law_ = nullptr;
    int count_ = 0;
    derivs_data *records_ = nullptr;
    double scale_ = 0;
    ZEM::interval range_;
};
