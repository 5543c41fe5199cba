#include <law/geom/domain_law.h>

#include <algorithm>
#include <string>

#include <law/core/constant_law.h>
#include <law/core/deep_tree.h>
#include <law/core/law_sample.h>
#include <law/core/upper_layers.h>
#include <law/geom/geom_util.h>
#include <law/lang/law_list.h>

namespace {
law_list reg_domain(new domain_law(nullptr, 0));
law_list reg_permanent(new permanent_domain_law(nullptr, 0));

law *make_domain_law(law **subs, int n) { return new domain_law(subs, n); }
// law::set_domain builds its domain law through this hook.
[[maybe_unused]] bool const domain_installed = (upper_layers().make_domain = make_domain_law, true);
}  // namespace

double bounded_law::bound(int i) const { return value_at(fsub()[i], 0.0); }

void bounded_law::check_bounds() const {
    std::uint8_t state = bounds_state_.load(std::memory_order_relaxed);
    if (state == bounds_unknown) {
        state = bounds_ordered;
        for (int i = 0; i < bounded_inputs() && state == bounds_ordered; ++i)
            if (!(bound(2 * i + 1) <= bound(2 * i + 2))) state = bounds_inverted;
        bounds_state_.store(state, std::memory_order_relaxed);
    }
    if (state == bounds_ordered) return;
    for (int i = 0; i < bounded_inputs(); ++i) {
        double const lo = bound(2 * i + 1), hi = bound(2 * i + 2);
        if (!(lo <= hi))
            law_error(LAW_BAD_DOMAN, "the domain of input " + std::to_string(i) + " runs from " +
                                         number_string(lo) + " down to " + number_string(hi));
    }
}

void bounded_law::evaluate(double const *x, double *answer) const {
    require_members();
    check_bounds();
    fsub()[0]->evaluate(x, answer);
}

int bounded_law::return_size() const { return has_members() ? fsub()[0]->return_dim() : 0; }

// Every bounded input counts, so that the bounds are checked on inputs the caller provides.
int bounded_law::take_size() const {
    return has_members() ? std::max(fsub()[0]->take_dim(), bounded_inputs()) : 0;
}

int bounded_law::term_domain(int which, ZEM::interval &out) const {
    if (which < 0 || which >= bounded_inputs()) return 0;
    require_members();
    term_domain_scope const scope(this, which);
    ZEM::interval inner;
    int const answer = term_domain_scope::sub_term_domain(fsub()[0], which, inner);
    out = ZEM::interval(bound(2 * which + 1), bound(2 * which + 2));
    return answer;
}

int bounded_law::in_domain(double const *x) const {
    if (!has_members()) return fsub_num() == 0;
    for (int i = 0; i < bounded_inputs(); ++i) {
        ZEM::interval range;
        term_domain(i, range);
        if (!range.contains(x[i])) return 0;
    }
    in_domain_scope const scope(this, x);
    return in_domain_scope::sub_in_domain(fsub()[0], x);
}

law *bounded_law::rebound(law *inner, ZEM::interval const *domains, int n) const {
    law_array subs(2 * n + 1);
    subs.push_shared(inner);
    for (int i = 0; i < n; ++i) {
        subs.push(make_law<constant_law>(domains[i].start_pt()));
        subs.push(make_law<constant_law>(domains[i].end_pt()));
    }
    return make_one(subs.data(), subs.size());
}

law *bounded_law::set_domain(ZEM::interval const *domains, int flag) const {
    if (fsub_num() == 0) return multiple_law::set_domain(domains, flag);
    require_members();
    if (!domains) law_error(LAW_NULL_LAW, "no intervals to restrict the law to");
    law_ptr const inner = adopt(fsub()[0]->set_domain(domains, 1));
    return rebound(inner.get(), domains, std::max(take_dim(), 1));
}

law *bounded_law::deriv(int which) const {
    if (fsub_num() == 0) return nullptr;
    require_members();
    law_ptr const d = adopt(fsub()[0]->derivative(which));
    law_array subs(fsub_num());
    subs.push_shared(d.get());
    for (int i = 1; i < fsub_num(); ++i) subs.push_shared(fsub()[i]);
    return make_one(subs.data(), subs.size());
}

law *domain_law::sub_simplify(int, char const *&rule_name) const {
    if (!has_members()) return nullptr;
    note_rule(rule_name, "domain(A)=A");
    return share(fsub()[0]).release();
}

int permanent_domain_law::date() const { return std::max(60000, multiple_law::date()); }

law *permanent_domain_law::sub_inverse() const {
    return has_members() ? fsub()[0]->inverse() : nullptr;
}
