#include <law/core/unary_law.h>

#include <law/core/deep_tree.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>

unary_law::unary_law(law *sub) : sub_(sub) {
    if (sub_) sub_->add();
    hold_sub_law(sub_);
}

unary_law::~unary_law() {
    if (sub_) sub_->remove();
}

law *unary_law::make_one(law *) const { return nullptr; }

int unary_law::same(law const *a, law const *b) const {
    return same_law(static_cast<unary_law const *>(a)->sub_,
                    static_cast<unary_law const *>(b)->sub_);
}

// A chain of one-argument laws (SIN(SIN(...)), ---X) prints in one loop: the names from the
// outside in, the innermost law's text, then the closing brackets.
char *unary_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        std::string opening;
        std::size_t closing = 0;
        unary_law const *u = this;
        for (;;) {
            std::string const name = u->symbol(law_symbol_default);
            law const *sub = u->sub_;
            // A minus takes no brackets, except around a binary law, and around a law that
            // binds less tightly than the minus itself (NOT), which would otherwise read past
            // it.
            bool const bare =
                name == "-" &&
                !(sub && (sub->isa(law_id::binary_law) || sub->precedence() < u->precedence()));
            opening += bare ? name : name + "(";
            closing += bare ? 0 : 1;
            if (!sub || !sub->isa(law_id::unary_law)) break;
            u = static_cast<unary_law const *>(sub);
        }
        return opening + sub_text(u->sub_, type, n, l) + std::string(closing, ')');
    });
}

int unary_law::date() const { return std::max(law_base_date, sub_ ? sub_->date() : 0); }

law *unary_law::deep_copy(pointer_map *map) const {
    scoped_pointer_map const m(map);
    deep_copy_scope const scope(this, m.get());
    law_ptr const sub = sub_ ? adopt(pm_get_law(m.get(), sub_)) : law_ptr();
    return make_one(sub.get());
}

int unary_law::term_domain(int which, ZEM::interval &out) const {
    if (!sub_ || sub_->whole_line_domain(which)) return law::term_domain(which, out);
    term_domain_scope const scope(this, which);
    return term_domain_scope::sub_term_domain(sub_, which, out);
}

int unary_law::in_domain(double const *x) const {
    in_domain_scope const scope(this, x);
    return sub_ ? in_domain_scope::sub_in_domain(sub_, x) : 1;
}

law *unary_law::set_domain(ZEM::interval const *domains, int flag) const {
    domain_scope const scope(this, domains);
    law_ptr const sub = sub_ ? adopt(domain_scope::restricted_sub(sub_, domains)) : law_ptr();
    law_ptr const rebuilt = adopt(make_one(sub.get()));
    if (!rebuilt) return law::set_domain(domains, flag);
    return flag == 0 ? rebuilt->law::set_domain(domains, 0) : share(rebuilt.get()).release();
}

void unary_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(unary_law));
    full_size_caches(acc);
    if (sub_) sub_->full_size(acc, 1);
}

void unary_law::hasa(int type, VOID_LIST &out) const {
    if (sub_) sub_->hasa(type, out);
    law::hasa(type, out);
}

std::vector<singular_point> unary_law::member_singular_points(double start, double end) const {
    singularities_scope const scope(this, start, end);
    std::vector<singular_point> points;
    auto const add = [&](law const *sub) {
        if (!sub) return;
        std::vector<singular_point> const p = singularities_scope::sub_points(sub, start, end);
        points.insert(points.end(), p.begin(), p.end());
    };
    add(sub_);
    return points;
}

int unary_law::singularities(double **where, int **type, double start, double end,
                             double **period) const {
    return hand_out_singular_points(member_singular_points(start, end), start, end, where, type,
                                    period);
}
