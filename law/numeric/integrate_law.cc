#include <law/numeric/integrate_law.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include <law/core/constant_law.h>
#include <law/core/eval_buffer.h>
#include <law/core/printing.h>
#include <law/numeric/nintegrate.h>
#include <law/numeric/search_checks.h>
#include <law/ops/arithmetic_laws.h>
#include <law/ops/composite_law.h>

namespace {
law *given(law *l, char const *what) {
    check_given(l, what);
    return l;
}

int checked_splits(int nsplit, law *const *splits) {
    if (nsplit < 0) law_error(LAW_DIM, std::to_string(nsplit) + " split laws");
    if (nsplit > 0) check_given(splits, "the array of split laws");
    for (int i = 0; i < nsplit; ++i) check_given(splits[i], "a split law");
    return nsplit;
}
}  // namespace

integrate_law::integrate_law(law *f, law *a, law *b, int nsplit, law **splits, double tol,
                             int min_level, int max_level)
    : f_(given(f, "the integrand")),
      a_(given(a, "the lower limit")),
      b_(given(b, "the upper limit")),
      nsplit_(checked_splits(nsplit, splits)),
      splits_(nullptr),
      tol_(tol),
      min_level_(min_level),
      max_level_(max_level) {
    check_tolerance(tol);
    for (law *l : {f_, a_, b_}) l->add();
    if (nsplit_ == 0) return;
    splits_ = VORN_ARRAY(law *, nsplit_);
    for (int i = 0; i < nsplit_; ++i) {
        splits_[i] = splits[i];
        if (splits_[i]) splits_[i]->add();
    }
}

integrate_law::~integrate_law() {
    for (law *l : {f_, a_, b_})
        if (l) l->remove();
    for (int i = 0; i < nsplit_; ++i)
        if (splits_[i]) splits_[i]->remove();
    vorn_discard(splits_);
}

int integrate_law::take_size() const {
    int n = 1;
    for (law *l : {a_, b_})
        if (l) n = std::max(n, l->take_dim());
    for (int i = 0; i < nsplit_; ++i) n = std::max(n, splits_[i]->take_dim());
    return n;
}

void integrate_law::evaluate(double const *x, double *answer) const {
    // The splits in ascending order of their values at x; the law itself is left untouched, so
    // that threads may share it.
    eval_buffer cuts(std::max(nsplit_, 1));
    for (int i = 0; i < nsplit_; ++i) cuts[i] = first_value(splits_[i], x);
    std::sort(cuts.data(), cuts.data() + nsplit_);
    double const lo = first_value(a_, x), hi = first_value(b_, x);
    int const n = std::max(f_->take_dim(), 2);
    eval_buffer point(n);
    std::fill(point.data(), point.data() + n, 0.0);
    point[0] = x[0];
    Nintegrate_wrt_and_split(f_, lo, hi, 1, point, answer, nsplit_, cuts, tol_, min_level_,
                             max_level_);
}

law *integrate_law::deriv(int which) const {
    if (which != 0) return new constant_law(0.0);
    law_ptr const df = adopt(f_->derivative(0));
    law_ptr const dfs = adopt(df->simplify(1, 0));
    law_ptr result =
        make_law<integrate_law>(dfs.get(), a_, b_, nsplit_, splits_, tol_, min_level_, 10);
    law_ptr const x = make_law<identity_law>(0, 'X');
    // f(x, limit(x)) limit'(x): the rate at which a moving limit adds to the integral.
    auto limit_term = [&](law *limit) {
        std::array<law *, 2> at{x.get(), limit};
        law_ptr const edge = make_law<composite_law>(f_, at.data(), 2);
        law_ptr const rate = adopt(limit->derivative(0));
        return make_law<times_law>(edge.get(), rate.get());
    };
    if (!law_isa<constant_law>(b_)) result = make_law<plus_law>(result.get(), limit_term(b_).get());
    if (!law_isa<constant_law>(a_))
        result = make_law<minus_law>(result.get(), limit_term(a_).get());
    return result.release();
}

char *integrate_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        return "Integrate(" + sub_text(f_, type, n, l) + "," + sub_text(a_, type, n, l) + "," +
               sub_text(b_, type, n, l) + ")";
    });
}

void integrate_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(integrate_law));
    full_size_caches(acc);
    for (law *l : {f_, a_, b_})
        if (l) l->full_size(acc, 1);
    if (splits_) acc.addSize(sizeof(law *) * static_cast<std::size_t>(nsplit_));
    for (int i = 0; i < nsplit_; ++i) splits_[i]->full_size(acc, 1);
}
