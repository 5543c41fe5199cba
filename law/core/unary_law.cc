#include <law/core/unary_law.h>

#include <law/core/deep_tree.h>
#include <law/core/family_members.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>

unary_law::unary_law(law *sub) : member_family(sub) { hold_sub_law(sub); }

unary_law::~unary_law() = default;

law *unary_law::make_one(law *) const { return nullptr; }

int unary_law::same(law const *a, law const *b) const {
    return same_law(static_cast<unary_law const *>(a)->fsub(),
                    static_cast<unary_law const *>(b)->fsub());
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
            law const *sub = u->fsub();
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
        return opening + sub_text(u->fsub(), type, n, l) + std::string(closing, ')');
    });
}

law *unary_law::deep_copy(pointer_map *map) const {
    scoped_pointer_map const m(map);
    deep_copy_scope const scope(this, m.get());
    return make_one(family::copies(m.get(), members_.all())[0]);
}

int unary_law::term_domain(int which, ZEM::interval &out) const {
    // Only a known whole line is taken here: working it out would descend a deep tree before
    // the scope, which settles it from the bottom up, is there.
    if (!fsub() || fsub()->whole_line_domain(which, false)) return law::term_domain(which, out);
    term_domain_scope const scope(this, which);
    return term_domain_scope::sub_term_domain(fsub(), which, out);
}

int unary_law::in_domain(double const *x) const {
    in_domain_scope const scope(this, x);
    return fsub() ? in_domain_scope::sub_in_domain(fsub(), x) : 1;
}

law *unary_law::set_domain(ZEM::interval const *domains, int flag) const {
    domain_scope const scope(this, domains);
    law_ptr const sub = fsub() ? adopt(domain_scope::restricted_sub(fsub(), domains)) : law_ptr();
    return family::restricted(this, adopt(make_one(sub.get())), domains, flag);
}

std::vector<singular_point> unary_law::member_singular_points(double start, double end) const {
    return singularities_scope::member_points(this, members_.all(), start, end);
}

int unary_law::singularities(double **where, int **type, double start, double end,
                             double **period) const {
    return hand_out_singular_points(member_singular_points(start, end), start, end, where, type,
                                    period);
}
