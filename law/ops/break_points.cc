#include <law/ops/break_points.h>

#include <cmath>
#include <numbers>

#include <law/core/binary_law.h>
#include <law/core/deep_tree.h>
#include <law/core/law.h>
#include <law/core/law_ids.h>
#include <law/core/unary_law.h>
#include <law/core/upper_layers.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/extremum_laws.h>
#include <law/ops/law_builders.h>

namespace {
bool scalar(law const *a) { return a && a->take_dim() <= 1 && a->return_dim() == 1; }

bool searchable(law const *a) { return scalar(a) && !a->constant(); }

// A search for zeros over more than this would resolve a law over a span no sample can cover.
constexpr double searchable_span = 1e9;

bool bounded(double start, double end) {
    return std::isfinite(start) && std::isfinite(end) && std::fabs(end - start) <= searchable_span;
}

// The law whose zeros are a's, or null when a has none. A square root, an absolute value and a
// negation are zero exactly where their argument is (a square root never rounds a positive value
// to 0), and a quotient where its numerator is (a point where its divisor is zero too is kept,
// though a limit may stand there: a break more costs a search little). An exponential is zero
// nowhere: where it underflows, its argument heads for a singular point of its own. Searching
// the inner law spares the search the levels above it, which a tower of such laws would
// otherwise pay at each of its levels.
law const *zero_carrier(law const *a) {
    for (;;) {
        law const *inner = nullptr;
        switch (a ? a->type() : -1) {
            case law_id::exp_law:
                return nullptr;
            case law_id::sqrt_law:
            case law_id::abs_law:
            case law_id::negate_law:
                inner = static_cast<unary_law const *>(a)->fsub();
                break;
            case law_id::division_law:
                inner = static_cast<binary_law const *>(a)->fleft();
                break;
            default:
                return a;
        }
        if (!inner || inner->return_dim() != 1) return a;
        a = inner;
    }
}

held_bounds enclosure(law const *a, ZEM::interval const &domain);

// A MAX or MIN bounds no values of its own: its members' bounds give its own.
held_bounds extremum_enclosure(extremum_law const *m, ZEM::interval const &domain) {
    auto const pick = [larger = law_isa<max_law>(m)](double a, double b) {
        return larger ? std::max(a, b) : std::min(a, b);
    };
    held_bounds out{{}, 1};
    for (int i = 0; i < m->fsub_num(); ++i) {
        held_bounds const b = enclosure(m->fsub()[i], domain);
        if (b.failed) return b;
        out.bounds = i == 0 ? b.bounds
                            : ZEM::interval(pick(out.bounds.low(), b.bounds.low()),
                                            pick(out.bounds.high(), b.bounds.high()));
        out.failed = 0;
    }
    return out;
}

// Bounds that hold every value of a over the domain, or failed; a singularities call asks each
// law of its tree once.
held_bounds enclosure(law const *a, ZEM::interval const &domain) {
    if (!scalar(a)) return {{}, 1};
    if (held_bounds const *known = singular_range_guard::remembered_bounds(a, domain))
        return *known;
    held_bounds b{{}, 1};
    try {
        if (auto const *m = dynamic_cast<extremum_law const *>(a)) {
            b = extremum_enclosure(m, domain);
        } else {
            b.bounds = a->estimate_bounds(domain, b.failed);
        }
    } catch (vorn_exception const &) {
        b.failed = 1;
    }
    singular_range_guard::remember_bounds(a, domain, b);
    return b;
}

// Whether a's bounds over [start, end] leave out value: a has no zero there, and a less value
// does not cross it. The search for zeros of a tower's level is spared where the level below
// keeps to one side (1 + SQRT(...) is never 0; MAX(MAX(...), 1) never falls below 1).
bool keeps_clear_of(law const *a, double value, double start, double end) {
    held_bounds const b = enclosure(a, ZEM::interval(std::min(start, end), std::max(start, end)));
    return !b.failed && (b.bounds.low() > value || b.bounds.high() < value);
}

// Whether a and b keep to one order over [start, end], by their bounds: where they meet, if
// they do, neither passes the other.
bool kept_apart(law const *a, law const *b, double start, double end) {
    ZEM::interval const domain(std::min(start, end), std::max(start, end));
    held_bounds const x = enclosure(a, domain), y = enclosure(b, domain);
    return !x.failed && !y.failed &&
           (x.bounds.low() >= y.bounds.high() || y.bounds.low() >= x.bounds.high());
}

// Whether the scalar law a may be zero on [start, end]. Bounds come first: whether a deep law
// is constant is a walk of its tree.
bool may_be_zero(law const *a, double start, double end) {
    return scalar(a) && !keeps_clear_of(a, 0, start, end) && !a->constant();
}

void add_zeros_on(law const *a, double start, double end, int order,
                  std::vector<singular_point> &out) {
    if (!upper_layers().zeros) return;
    for (double x : upper_layers().zeros(a, std::min(start, end), std::max(start, end)))
        out.push_back({x, order});
}

// The zero of a on the whole line where it can be told without a search: from its value and
// slope when a is linear, else through its inverse when it has one.
void add_zero_in_closed_form(law const *a, double start, double end, int order,
                             std::vector<singular_point> &out) {
    try {
        double x = NAN;
        if (a->linear()) {
            law_ptr const slope = adopt(a->derivative(0));
            x = -a->eval(0.0) / slope->eval(0.0);
        } else if (law_ptr const undo = adopt(a->inverse());
                   undo && undo->take_dim() <= 1 && undo->return_dim() == 1) {
            x = undo->eval(0.0);
        }
        if (x >= std::min(start, end) && x <= std::max(start, end)) out.push_back({x, order});
    } catch (vorn_exception const &) {
    }
}
}  // namespace

void add_zeros(law const *a, double start, double end, int order,
               std::vector<singular_point> &out) {
    // Over the whole line only a kink's zero is told, in closed form: nothing else needs the
    // test of a.
    a = zero_carrier(a);
    if (bounded(start, end)) {
        if (may_be_zero(a, start, end)) add_zeros_on(a, start, end, order, out);
    } else if (order == singular_point::kink && may_be_zero(a, start, end)) {
        add_zero_in_closed_form(a, start, end, order, out);
    }
}

void add_crossings(law const *a, law const *b, double start, double end, int order,
                   std::vector<singular_point> &out) {
    if (!a || !b) return;
    if (kept_apart(a, b, start, end)) return;
    law_ptr const difference = build::minus(share(a), share(b));
    add_zeros(difference.get(), start, end, order, out);
}

void add_whole_crossings(law const *a, double start, double end, int order,
                         std::vector<singular_point> &out) {
    if (!searchable(a) || !bounded(start, end)) return;
    law_ptr const wave =
        build::apply<sin_law>(build::times(build::constant(std::numbers::pi), share(a)));
    add_zeros_on(wave.get(), start, end, order, out);
}
