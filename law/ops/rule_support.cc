#include <law/ops/rule_support.h>

namespace rules {

double value_at_one(law const *l) {
    if (auto const *c = as_constant(l)) return c->value();
    // Wide enough for the inputs of any law whose inputs do not matter here.
    double x[4] = {1.0, 1.0, 1.0, 1.0};
    if (l->take_dim() > 4) {
        std::vector<double> many(static_cast<std::size_t>(l->take_dim()), 1.0);
        return first_value(l, many.data());
    }
    return first_value(l, x);
}

chain_view view_chain(binary_law const *op) {
    chain_view view;  // not value-initialised: the list's storage needs no zeroing
    // One walk: the left side's operands, then the right side's.
    auto collect = [op, &view](law *side) {
        if (side && side->type() == op->type())
            binary_law::collect_chain(static_cast<binary_law const *>(side), view.operands);
        else
            view.operands.push_back(side);
    };
    collect(op->fleft());
    view.split = view.size();
    collect(op->fright());
    return view;
}

law_ptr chain(law *const *list, std::size_t n, binary_law const &op) {
    if (n == 0) return nullptr;
    law_ptr result = share(list[0]);
    for (std::size_t i = 1; i < n; ++i) result = adopt(op.make_one(result.get(), list[i]));
    return result;
}

law_ptr rebuild(std::vector<law_ptr> const &list, binary_law const &op) {
    std::vector<law *> raw;
    raw.reserve(list.size());
    for (auto const &l : list) raw.push_back(l.get());
    return chain(raw.data(), raw.size(), op);
}

power_form as_power(law *factor) {
    if (auto const *p = law_cast<exponent_law>(factor)) return {p->fleft(), p->fright()};
    return {factor, nullptr};
}

law_ptr power_form::exponent_law() const { return exponent ? share(exponent) : build::constant(1); }

bool power_form::constant_exponent() const { return !exponent || as_constant(exponent); }

double power_form::exponent_at_one() const { return exponent ? value_at_one(exponent) : 1.0; }

}  // namespace rules
