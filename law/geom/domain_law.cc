#include "law/geom/domain_law.h"

#include <vector>

#include "law/core/constant_law.h"

law *make_domain_law(law **subs, int n) { return new domain_law(subs, n); }

void domain_law::evaluate(double const *x, double *answer) const { fsub()[0]->evaluate(x, answer); }

int domain_law::return_size() const { return fsub_num() > 0 ? fsub()[0]->return_dim() : 0; }

int domain_law::take_size() const { return fsub_num() > 0 ? fsub()[0]->take_dim() : 0; }

int domain_law::term_domain(int which, ZEM::interval &out) const {
    if (fsub_num() == 0) return law::term_domain(which, out);
    int const answer = fsub()[0]->term_domain(which, out);
    if (which < 0 || which >= bounded_inputs()) return answer;
    double const lo = fsub()[2 * which + 1]->eval(0.0), hi = fsub()[2 * which + 2]->eval(0.0);
    out = ZEM::interval(lo, hi);
    return answer;
}

int domain_law::in_domain(double const *x) const {
    if (fsub_num() == 0) return 1;
    for (int i = 0; i < bounded_inputs(); ++i) {
        ZEM::interval range;
        term_domain(i, range);
        if (!range.contains(x[i])) return 0;
    }
    return fsub()[0]->in_domain(x);
}

law *domain_law::set_domain(ZEM::interval const *domains, int flag) const {
    if (fsub_num() == 0) return multiple_law::set_domain(domains, flag);
    law_ptr const inner = adopt(fsub()[0]->set_domain(domains, 1));
    int const n = bounded_inputs();
    std::vector<law_ptr> held;
    std::vector<law *> subs{inner.get()};
    for (int i = 0; i < n; ++i) {
        held.push_back(adopt<law>(new constant_law(domains[i].start_pt())));
        held.push_back(adopt<law>(new constant_law(domains[i].end_pt())));
        subs.push_back(held[2 * i].get());
        subs.push_back(held[2 * i + 1].get());
    }
    return make_one(subs.data(), static_cast<int>(subs.size()));
}
