#include <law/geom/multiple_curveperp_law.h>

#include <cmath>
#include <limits>

#include <law/core/printing.h>
#include <law/geom/geom_util.h>
#include <law/geom/multiple_curve_law.h>
#include <law/lang/law_list.h>

namespace {
law_list reg(new multiple_curveperp_law());

constexpr int samples_per_segment = 16;
constexpr int newton_steps = 30;

struct foot_search {
    law const *curve, *tangent, *bend;
    ZEM::position p;

    ZEM::vector offset(double t) const { return curve->evaluateR_P(t) - p; }
    double distance_sq(double t) const { return offset(t).len_sq(); }

    // Newton on (C(t) - p) . C'(t) = 0 from t, kept inside [lo, hi].
    double polish(double t, double lo, double hi) const {
        for (int k = 0; k < newton_steps; ++k) {
            ZEM::vector const r = offset(t), d1 = tangent->evaluateR_V(t),
                              d2 = bend->evaluateR_V(t);
            double const g = r % d1, dg = d1 % d1 + r % d2;
            if (!(dg > 0)) break;
            double const next = std::clamp(t - g / dg, lo, hi);
            if (std::abs(next - t) <= 1e-15 * (1 + std::abs(t))) return next;
            t = next;
        }
        return t;
    }

    // The foot on [lo, hi] from the best of evenly spaced samples.
    double best_on(double lo, double hi) const {
        double best = lo, best_d = distance_sq(lo);
        for (int k = 1; k <= samples_per_segment; ++k) {
            double const t = lo + (hi - lo) * k / samples_per_segment;
            if (double const d = distance_sq(t); d < best_d) {
                best = t;
                best_d = d;
            }
        }
        return polish(best, lo, hi);
    }
};
}  // namespace

multiple_curveperp_law::multiple_curveperp_law() : multiple_law(nullptr, 0) {}

multiple_curveperp_law::multiple_curveperp_law(law **segments, int n)
    : multiple_curveperp_law(make_law<multiple_curve_law>(segments, n)) {}

// The members are the chain's own (its segments restricted to their domains), so that the law
// reads back as itself.
multiple_curveperp_law::multiple_curveperp_law(law_ptr chain)
    : multiple_law(static_cast<multiple_curve_law *>(chain.get())->fsub(),
                   static_cast<multiple_curve_law *>(chain.get())->fsub_num()),
      chain_(std::move(chain)),
      tangent_(adopt(chain_->derivative(0))),
      bend_(adopt(tangent_->derivative(0))) {}

multiple_curve_law const *multiple_curveperp_law::get_mc_law() const {
    return static_cast<multiple_curve_law const *>(chain_.get());
}

void multiple_curveperp_law::evaluate(double const *x, double *answer) const {
    multiple_curve_law const *chain = get_mc_law();
    if (!chain) law_error(LAW_EVAL);
    foot_search const search{chain, tangent_.get(), bend_.get(), ZEM::position(x[0], x[1], x[2])};
    double best = 0, best_d = std::numeric_limits<double>::infinity();
    for (int i = 0; i < chain->segment_count(); ++i) {
        ZEM::interval const g = chain->global_span(i);
        double const t = search.best_on(g.start_pt(), g.end_pt());
        if (double const d = search.distance_sq(t); d < best_d) {
            best = t;
            best_d = d;
        }
    }
    answer[0] = best;
}

char *multiple_curveperp_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    if (!chain_) return multiple_law::string(type, count, list);
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        return get_mc_law()->chain_text(symbol(law_symbol_default), type, n, l);
    });
}

int multiple_curveperp_law::term_domain(int, ZEM::interval &out) const {
    out = ZEM::interval();
    return 1;
}

law *multiple_curveperp_law::deriv(int which) const { return numerical_derivative(this, which); }

void multiple_curveperp_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(multiple_curveperp_law) - sizeof(multiple_law));
    multiple_law::full_size(acc, count_self);
    for (law_ptr const &l : {chain_, tangent_, bend_})
        if (l) l->full_size(acc, 1);
}
