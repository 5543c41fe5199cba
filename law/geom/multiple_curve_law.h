#pragma once
// MULTI_CUR(C1, ..., Cn[, s0]): a chain of curve segments as one curve of a global parameter
// that starts at s0 (0 when not given). Segment i runs over its own domain, and the chain spends
// the length of that domain on it, so that segment i ends at s0 plus the lengths of the domains
// of segments 1 to i. Each segment is held restricted to its domain (PDOMAIN).
#include <vector>

#include <law/core/multiple_law.h>

class multiple_curve_law : public multiple_law {
    LAW_CLASS_FACTS(multiple_curve_law, multiple_law)
  public:
    enum closure_state { open = 0, closed = 1, closed_smooth = 2 };

    multiple_curve_law();  // the prototype
    // Every segment needs a finite domain of positive length (else LAW_MULTI_CURVE_DOM) and a
    // last member of one output is the start parameter, a law of no input (else LAW_BASE_C).
    multiple_curve_law(law **segments, int n);
    law *make_one(law **subs, int n) const override { return new multiple_curve_law(subs, n); }

    int segment_count() const { return static_cast<int>(spans_.size()); }
    // Segment i (no new reference) and its own domain.
    law const *law_segment(int i, ZEM::interval &domain) const;
    // The global interval of segment i.
    ZEM::interval global_span(int i) const;
    // The segment that holds the global parameter t, and t in its own domain. A t at a joint
    // (within resmch) belongs to the later segment for side 1 (LAW_BAD_DOMAN past the last) and
    // to the earlier one otherwise; on a smooth closed chain, the start with side -1 is the end
    // and the end with side 1 the start.
    int which_segment(double t, double &local_t, int side) const;
    closure_state closure() const { return state_; }
    double start_parameter() const;
    double total_length() const { return total_; }

    void evaluate(double const *x, double *answer) const override;
    void evaluate_with_side(double const *x, double *answer, int const *side) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    int in_domain(double const *x) const override;
    // The segments and, when it is not 0, the start parameter.
    char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF,
                 law_data_node *&list = NULL_REF) const override;
    // The printed members under another name (the chain's perpendicular prints so).
    std::string chain_text(char const *name, law_symbol_type type, int &count,
                           law_data_node *&list) const;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    // "multi_cur(C)=C": one segment whose domain starts at s0 is the chain.
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;

  protected:
    // The chain of the segments' derivatives over the same global parameters.
    law *deriv(int which) const override;
    int take_size() const override { return 1; }

  private:
    struct span {
        double start, end;  // the segment's own domain
        double global_end;
    };
    explicit multiple_curve_law(std::vector<law_ptr> const &members);
    void measure();
    void classify();
    int search(double t) const;

    std::vector<span> spans_;
    double total_ = 0;
    closure_state state_ = open;
    mutable std::atomic<int> last_found_{0};
};
