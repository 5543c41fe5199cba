// The singular points of the functions of one argument: each class that jumps, bends or has poles
// says where, in terms of its argument A.
#include <law/core/deep_tree.h>
#include <law/core/law_ids.h>
#include <law/ops/break_points.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/law_builders.h>

namespace {
enum class breaks {
    none,
    kink_at_zero,       // ABS
    jump_at_zero,       // SET, NOT
    jump_at_whole,      // FLOOR, CEIL
    pole_at_zero,       // COTH, CSCH, ARCCSCH
    edge_at_zero,       // LN, SQRT: an end of the domain
    pole_at_half_turn,  // TAN, SEC: where COS(A) is zero
    pole_at_turn,       // COT, CSC: where SIN(A) is zero
};

breaks breaks_of(int id) {
    switch (id) {
        case law_id::abs_law:
            return breaks::kink_at_zero;
        case law_id::set_law:
        case law_id::not_law:
            return breaks::jump_at_zero;
        case law_id::floor_law:
        case law_id::ceil_law:
            return breaks::jump_at_whole;
        case law_id::coth_law:
        case law_id::csch_law:
        case law_id::arccsch_law:
            return breaks::pole_at_zero;
        case law_id::natural_log_law:
        case law_id::sqrt_law:
            return breaks::edge_at_zero;
        case law_id::tan_law:
        case law_id::sec_law:
            return breaks::pole_at_half_turn;
        case law_id::cot_law:
        case law_id::csc_law:
            return breaks::pole_at_turn;
        default:
            return breaks::none;
    }
}

void add_breaks(breaks kind, law const *a, double start, double end,
                std::vector<singular_point> &out) {
    using sp = singular_point;
    switch (kind) {
        case breaks::none:
            return;
        case breaks::kink_at_zero:
            return add_zeros(a, start, end, sp::kink, out);
        case breaks::jump_at_zero:
            return add_zeros(a, start, end, sp::jump, out);
        case breaks::jump_at_whole:
            return add_whole_crossings(a, start, end, sp::jump, out);
        case breaks::pole_at_zero:
        case breaks::edge_at_zero:
            return add_zeros(a, start, end, sp::pole_or_edge, out);
        case breaks::pole_at_half_turn:
            return add_zeros(build::apply<cos_law>(share(a)).get(), start, end, sp::pole_or_edge,
                             out);
        case breaks::pole_at_turn:
            return add_zeros(build::apply<sin_law>(share(a)).get(), start, end, sp::pole_or_edge,
                             out);
    }
}
}  // namespace

int function_law::singularities(double **where, int **type, double start, double end,
                                double **period) const {
    singularities_scope const scope(this, start, end);
    std::vector<singular_point> points = member_singular_points(start, end);
    if (fsub()) add_breaks(breaks_of(this->type()), fsub(), start, end, points);
    return hand_out_singular_points(std::move(points), start, end, where, type, period);
}
