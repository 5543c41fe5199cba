#include <law/geom/domain_law.h>

#include <algorithm>

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

void bounded_law::evaluate(double const *x, double *answer) const {
    if (fsub_num() > 0) fsub()[0]->evaluate(x, answer);
}

int bounded_law::return_size() const { return fsub_num() > 0 ? fsub()[0]->return_dim() : 0; }

// Every bounded input counts, so that the bounds are checked on inputs the caller provides.
int bounded_law::take_size() const {
    return fsub_num() > 0 ? std::max(fsub()[0]->take_dim(), bounded_inputs()) : 0;
}

int bounded_law::term_domain(int which, ZEM::interval &out) const {
    if (which < 0 || which >= bounded_inputs()) return 0;
    ZEM::interval inner;
    int const answer = fsub()[0]->term_domain(which, inner);
    out = ZEM::interval(value_at(fsub()[2 * which + 1], 0.0), value_at(fsub()[2 * which + 2], 0.0));
    return answer;
}

int bounded_law::in_domain(double const *x) const {
    for (int i = 0; i < bounded_inputs(); ++i) {
        ZEM::interval range;
        term_domain(i, range);
        if (!range.contains(x[i])) return 0;
    }
    in_domain_scope const scope(this, x);
    return fsub_num() > 0 ? in_domain_scope::sub_in_domain(fsub()[0], x) : 1;
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
    law_ptr const inner = adopt(fsub()[0]->set_domain(domains, 1));
    return rebound(inner.get(), domains, std::max(take_dim(), 1));
}

law *bounded_law::deriv(int which) const {
    if (fsub_num() == 0) return nullptr;
    law_ptr const d = adopt(fsub()[0]->derivative(which));
    law_array subs(fsub_num());
    subs.push_shared(d.get());
    for (int i = 1; i < fsub_num(); ++i) subs.push_shared(fsub()[i]);
    return make_one(subs.data(), subs.size());
}

law *domain_law::sub_simplify(int, char const *&rule_name) const {
    if (fsub_num() == 0) return nullptr;
    note_rule(rule_name, "domain(A)=A");
    return share(fsub()[0]).release();
}

int permanent_domain_law::date() const { return std::max(60000, multiple_law::date()); }

law *permanent_domain_law::sub_inverse() const {
    return fsub_num() > 0 ? fsub()[0]->inverse() : nullptr;
}
