#pragma once
// Helpers shared by the structural laws.
#include <vector>

#include "law/core/law.h"

// Laws held while a new law is built over them: the array hands out plain pointers for the
// family constructors and releases its references when it goes.
class law_array {
  public:
    law_array() = default;
    explicit law_array(int reserve) {
        held_.reserve(reserve);
        raw_.reserve(reserve);
    }
    // Takes over a reference (a builder's result).
    void push(law_ptr l) {
        raw_.push_back(l.get());
        held_.push_back(std::move(l));
    }
    // Adds a reference of its own.
    void push_shared(law const *l) { push(share(l)); }
    law **data() { return raw_.data(); }
    int size() const { return static_cast<int>(raw_.size()); }
    law *operator[](int i) const { return raw_[i]; }
    // A new law of class T over the held laws: subs.make<vector_law>().
    template <class T>
    law_ptr make() {
        return make_law<T>(data(), size());
    }

  private:
    std::vector<law_ptr> held_;
    std::vector<law *> raw_;
};

// Reports the rule a sub_simplify applied, when the caller asked for it.
inline void note_rule(char const *&rule_name, char const *rule) {
    if (!is_null_ref(rule_name)) rule_name = rule;
}

// True for a law of no input whose every output is 0.
bool zero_constant(law const *l);

// Evaluates l at x into n values, cutting or padding l's own outputs with zeros.
void evaluate_fitted(law const *l, double const *x, double *answer, int n);

// The largest return_dim of subs[first], subs[first + stride], ... below n (0 for none).
int widest_return(law *const *subs, int first, int stride, int n);
