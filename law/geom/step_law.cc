#include <law/geom/step_law.h>

#include <algorithm>
#include <string>

#include <law/core/constant_law.h>
#include <law/core/deep_tree.h>
#include <law/geom/geom_util.h>
#include <law/lang/law_list.h>

namespace {
law_list reg(new step_law(nullptr, 0));

// Members at odd positions are the steps.
law **checked_steps(law **subs, int n) {
    if (!subs) return subs;
    if (n % 2 == 0) law_error(LAW_STEP_NUM, std::to_string(n) + " members");
    check_non_null(subs, n);
    for (int i = 1; i < n; i += 2) {
        if (!law_isa<constant_law>(subs[i])) law_error(LAW_STEP_ODD);
        if (i > 1 && subs[i]->eval(1.0) < subs[i - 2]->eval(1.0)) law_error(LAW_STEP_ORDER);
    }
    return subs;
}
}  // namespace

step_law::step_law(law **subs, int n) : multiple_law(checked_steps(subs, n), n) {}

void step_law::evaluate(double const *x, double *answer) const {
    require_members();
    law *const *subs = fsub();
    int const n = fsub_num();
    int chosen = n - 1;
    for (int i = 1; i < n; i += 2)
        if (subs[i]->eval(1.0) > x[0]) {
            chosen = i - 1;
            break;
        }
    evaluate_fitted(subs[chosen], x, answer, return_dim());
}

int step_law::take_size() const { return std::max(multiple_law::take_size(), 1); }

int step_law::return_size() const { return widest_return(fsub(), 0, 2, fsub_num()); }

int step_law::term_domain(int which, ZEM::interval &out) const {
    term_domain_scope const scope(this, which);
    for (int i = 0; i < fsub_num(); i += 2) {
        ZEM::interval piece;
        if (!term_domain_scope::sub_term_domain(fsub()[i], which, piece)) return 0;
        if (i == 0)
            out = piece;
        else
            out |= piece;
    }
    return fsub_num() > 0 ? 1 : law::term_domain(which, out);
}

int step_law::singularities(double **where, int **type, double start, double end,
                            double **period) const {
    std::vector<singular_point> points = member_singular_points(start, end);
    for (int i = 1; i < fsub_num(); i += 2)
        points.push_back({fsub()[i]->eval(1.0), singular_point::jump});
    return hand_out_singular_points(std::move(points), start, end, where, type, period);
}

law *step_law::deriv(int which) const {
    require_members();
    law_array subs(fsub_num());
    for (int i = 0; i < fsub_num(); ++i) {
        if (i % 2)
            subs.push_shared(fsub()[i]);
        else
            subs.push(adopt(fsub()[i]->derivative(which)));
    }
    return subs.make<step_law>().release();
}
