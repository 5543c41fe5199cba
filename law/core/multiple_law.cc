#include <law/core/multiple_law.h>

#include <string>
#include <vector>

#include <law/core/counted_array.h>
#include <law/core/deep_tree.h>
#include <law/core/family_members.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>

multiple_law::multiple_law(law **subs, int n) : member_family(subs, n) {
    for (law const *s : members_.all()) hold_sub_law(s);
}

multiple_law::~multiple_law() = default;

law *multiple_law::make_one(law **, int) const { return nullptr; }

int multiple_law::take_size() const {
    int n = 0;
    for (law const *s : members_.all())
        if (s) n = std::max(n, s->take_dim());
    return n;
}

int multiple_law::return_size() const {
    return !members_.all().empty() && members_.all()[0] ? members_.all()[0]->return_dim() : 0;
}

int multiple_law::same(law const *a, law const *b) const {
    auto const *x = static_cast<multiple_law const *>(a);
    auto const *y = static_cast<multiple_law const *>(b);
    if (x->fsub_num() != y->fsub_num()) return 0;
    if (commutative()) return same_law_list(x->fsub(), y->fsub(), x->fsub_num());
    auto const xs = x->members_.all(), ys = y->members_.all();
    return std::equal(xs.begin(), xs.end(), ys.begin(), ys.end(), same_law) ? 1 : 0;
}

char *multiple_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        return family::call_text(symbol(law_symbol_default), members_.all(), type, n, l);
    });
}

law *multiple_law::deep_copy(pointer_map *map) const {
    scoped_pointer_map const m(map);
    deep_copy_scope const scope(this, m.get());
    return make_one(family::copies(m.get(), members_.all()).data(), members_.size());
}

int multiple_law::term_domain(int which, ZEM::interval &out) const {
    term_domain_scope const scope(this, which);
    out = ZEM::interval();
    ZEM::interval sub;
    for (law const *s : members_.all()) {
        if (!s || s->whole_line_domain(which)) continue;
        if (!term_domain_scope::sub_term_domain(s, which, sub)) return 0;
        out &= sub;
    }
    return 1;
}

int multiple_law::in_domain(double const *x) const {
    in_domain_scope const scope(this, x);
    for (law const *s : members_.all()) {
        if (!s) continue;
        int const r = in_domain_scope::sub_in_domain(s, x);
        if (r != 1) return r;
    }
    return 1;
}

law *multiple_law::set_domain(ZEM::interval const *domains, int flag) const {
    domain_scope const scope(this, domains);
    law_array restricted(members_.size());
    for (law const *s : members_.all())
        restricted.push(adopt(s ? domain_scope::restricted_sub(s, domains) : nullptr));
    return family::restricted(this, adopt(make_one(restricted.data(), members_.size())), domains,
                              flag);
}

std::vector<singular_point> multiple_law::member_singular_points(double start, double end) const {
    return singularities_scope::member_points(this, members_.all(), start, end);
}

int multiple_law::singularities(double **where, int **type, double start, double end,
                                double **period) const {
    return hand_out_singular_points(member_singular_points(start, end), start, end, where, type,
                                    period);
}
