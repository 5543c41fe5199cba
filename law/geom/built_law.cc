#include <law/geom/built_law.h>

#include <law/core/deep_tree.h>

void built_law::evaluate(double const *x, double *y) const {
    if (!internal_) require_members();
    internal_->evaluate(x, y);
}

int built_law::term_domain(int which, ZEM::interval &out) const {
    if (!internal_) return multiple_law::term_domain(which, out);
    term_domain_scope const scope(this, which);
    return term_domain_scope::sub_term_domain(internal_.get(), which, out);
}

int built_law::in_domain(double const *x) const {
    return internal_ ? internal_->in_domain(x) : multiple_law::in_domain(x);
}

law *built_law::deriv(int which) const {
    if (!internal_) require_members();
    return internal_->derivative(which);
}

int built_law::take_size() const { return internal_ ? internal_->take_dim() : 0; }

int built_law::return_size() const { return internal_ ? internal_->return_dim() : 0; }

void built_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(built_law) - sizeof(multiple_law));
    multiple_law::full_size(acc, count_self);
    if (internal_) internal_->full_size(acc, 1);
}

void built_law::hasa(int type, VOID_LIST &out) const {
    if (internal_) internal_->hasa(type, out);
    multiple_law::hasa(type, out);
}
