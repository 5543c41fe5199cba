// The singular points of the operators: the points of their members and where they themselves
// break. A quotient has poles where its divisor is zero, a power an end of its domain or a pole
// where its base is, a comparison jumps where its sides cross, the largest and the smallest of
// several laws bend where two of them cross, a remainder jumps where the quotient crosses a whole
// number, and a logarithm ends where its argument is zero.
#include <cmath>

#include <law/core/constant_law.h>
#include <law/core/deep_tree.h>
#include <law/core/law_ids.h>
#include <law/ops/arithmetic_laws.h>
#include <law/ops/break_points.h>
#include <law/ops/comparison_laws.h>
#include <law/ops/extremum_laws.h>
#include <law/ops/law_builders.h>
#include <law/ops/log_law.h>

namespace {
using sp = singular_point;

int hand_out(std::vector<singular_point> points, double start, double end, double **where,
             int **type, double **period) {
    return hand_out_singular_points(std::move(points), start, end, where, type, period);
}

// A power with a constant whole exponent of at least 0 is a polynomial in its base.
bool smooth_power(law const *exponent) {
    if (!exponent || !exponent->constant()) return false;
    try {
        double const c = exponent->eval(0.0);
        return c >= 0 && c == std::floor(c);
    } catch (vorn_exception const &) {
        return false;
    }
}
}  // namespace

int division_law::singularities(double **where, int **type, double start, double end,
                                double **period) const {
    singularities_scope const scope(this, start, end);
    std::vector<singular_point> points = member_singular_points(start, end);
    add_zeros(fright(), start, end, sp::pole_or_edge, points);
    return hand_out(std::move(points), start, end, where, type, period);
}

int exponent_law::singularities(double **where, int **type, double start, double end,
                                double **period) const {
    singularities_scope const scope(this, start, end);
    std::vector<singular_point> points = member_singular_points(start, end);
    if (law_cast<constant_law>(fright())) {
        if (!smooth_power(fright())) add_zeros(fleft(), start, end, sp::pole_or_edge, points);
    } else {
        // Whether a law is constant costs an evaluation of its tree at several points (of each
        // exponent of a tower of powers, of its whole tree); it is asked only when the base has
        // zeros that it would keep out.
        std::vector<singular_point> zeros;
        add_zeros(fleft(), start, end, sp::pole_or_edge, zeros);
        if (!zeros.empty() && !smooth_power(fright()))
            points.insert(points.end(), zeros.begin(), zeros.end());
    }
    return hand_out(std::move(points), start, end, where, type, period);
}

int comparison_law::singularities(double **where, int **type, double start, double end,
                                  double **period) const {
    singularities_scope const scope(this, start, end);
    std::vector<singular_point> points = member_singular_points(start, end);
    // AND and OR change only where their members do.
    if (!isa(law_id::and_law) && !isa(law_id::or_law))
        add_crossings(fleft(), fright(), start, end, sp::jump, points);
    return hand_out(std::move(points), start, end, where, type, period);
}

int extremum_law::singularities(double **where, int **type, double start, double end,
                                double **period) const {
    singularities_scope const scope(this, start, end);
    std::vector<singular_point> points = member_singular_points(start, end);
    for (int i = 0; i < fsub_num(); ++i)
        for (int j = i + 1; j < fsub_num(); ++j)
            add_crossings(fsub()[i], fsub()[j], start, end, sp::kink, points);
    return hand_out(std::move(points), start, end, where, type, period);
}

int log_law::singularities(double **where, int **type, double start, double end,
                           double **period) const {
    singularities_scope const scope(this, start, end);
    std::vector<singular_point> points = member_singular_points(start, end);
    if (fsub_num() > 0) add_zeros(fsub()[0], start, end, sp::pole_or_edge, points);
    return hand_out(std::move(points), start, end, where, type, period);
}

int mod_law::singularities(double **where, int **type, double start, double end,
                           double **period) const {
    singularities_scope const scope(this, start, end);
    std::vector<singular_point> points = member_singular_points(start, end);
    if (fsub_num() == 2 && fsub()[0] && fsub()[1]) {
        law_ptr const quotient = build::divide(share(fsub()[0]), share(fsub()[1]));
        add_whole_crossings(quotient.get(), start, end, sp::jump, points);
        add_zeros(fsub()[1], start, end, sp::pole_or_edge, points);
    }
    return hand_out(std::move(points), start, end, where, type, period);
}
