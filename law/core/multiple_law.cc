#include <law/core/multiple_law.h>

#include <string>
#include <vector>

#include <law/core/counted_array.h>
#include <law/core/deep_tree.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>

namespace {
int checked_count(law **subs, int n) {
    if (n < 0) law_error(LAW_DIM, "a law of " + std::to_string(n) + " members");
    if (!subs && n > 0)
        law_error(LAW_NULL_LAW, "the array of " + std::to_string(n) + " members is null");
    return n;
}
}  // namespace

multiple_law::multiple_law(law **subs, int n) : subs_(nullptr), n_(checked_count(subs, n)) {
    if (n_ == 0) return;
    subs_ = VORN_ARRAY(law *, n_);
    complete_ = true;
    for (int i = 0; i < n_; ++i) {
        subs_[i] = subs[i];
        if (subs_[i]) subs_[i]->add();
        complete_ = complete_ && subs_[i];
        hold_sub_law(subs_[i]);
    }
}

void check_non_null(law *const *subs, int n) {
    for (int i = 0; subs && i < n; ++i)
        if (!subs[i])
            law_error(LAW_NULL_LAW,
                      "member " + std::to_string(i + 1) + " of " + std::to_string(n) + " is null");
}

void multiple_law::missing_members() const {
    if (n_ == 0) law_error(LAW_NULL_LAW, std::string(class_name()) + " has no members");
    int i = 0;
    while (subs_[i]) ++i;
    law_error(LAW_NULL_LAW,
              "member " + std::to_string(i + 1) + " of " + std::string(class_name()) + " is null");
}

multiple_law::~multiple_law() {
    for (int i = 0; i < n_ && subs_; ++i)
        if (subs_[i]) subs_[i]->remove();
    vorn_discard(subs_);
}

law *multiple_law::make_one(law **, int) const { return nullptr; }

int multiple_law::take_size() const {
    int n = 0;
    for (int i = 0; i < n_ && subs_; ++i)
        if (subs_[i]) n = std::max(n, subs_[i]->take_dim());
    return n;
}

int multiple_law::return_size() const {
    return subs_ && n_ > 0 && subs_[0] ? subs_[0]->return_dim() : 0;
}

int multiple_law::same(law const *a, law const *b) const {
    auto const *x = static_cast<multiple_law const *>(a);
    auto const *y = static_cast<multiple_law const *>(b);
    if (x->n_ != y->n_) return 0;
    if (commutative()) return same_law_list(x->subs_, y->subs_, x->n_);
    for (int i = 0; i < x->n_; ++i)
        if (!same_law(x->subs_[i], y->subs_[i])) return 0;
    return 1;
}

char *multiple_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        std::string t = std::string(symbol(law_symbol_default)) + "(";
        for (int i = 0; i < n_; ++i) {
            if (i) t += ",";
            t += sub_text(subs_[i], type, n, l);
        }
        return t + ")";
    });
}

int multiple_law::date() const {
    int d = law_base_date;
    for (int i = 0; i < n_; ++i)
        if (subs_[i]) d = std::max(d, subs_[i]->date());
    return d;
}

law *multiple_law::deep_copy(pointer_map *map) const {
    scoped_pointer_map const m(map);
    deep_copy_scope const scope(this, m.get());
    law_array copies(n_);
    for (int i = 0; i < n_; ++i)
        copies.push(adopt(subs_[i] ? pm_get_law(m.get(), subs_[i]) : nullptr));
    return make_one(copies.data(), n_);
}

int multiple_law::term_domain(int which, ZEM::interval &out) const {
    term_domain_scope const scope(this, which);
    out = ZEM::interval();
    ZEM::interval sub;
    for (int i = 0; i < n_; ++i) {
        if (!subs_[i] || subs_[i]->whole_line_domain(which)) continue;
        if (!term_domain_scope::sub_term_domain(subs_[i], which, sub)) return 0;
        out &= sub;
    }
    return 1;
}

int multiple_law::in_domain(double const *x) const {
    in_domain_scope const scope(this, x);
    for (int i = 0; i < n_; ++i) {
        if (!subs_[i]) continue;
        int const r = in_domain_scope::sub_in_domain(subs_[i], x);
        if (r != 1) return r;
    }
    return 1;
}

law *multiple_law::set_domain(ZEM::interval const *domains, int flag) const {
    domain_scope const scope(this, domains);
    law_array restricted(n_);
    for (int i = 0; i < n_; ++i)
        restricted.push(
            adopt(subs_[i] ? domain_scope::restricted_sub(subs_[i], domains) : nullptr));
    law_ptr const rebuilt = adopt(make_one(restricted.data(), n_));
    if (!rebuilt) return law::set_domain(domains, flag);
    return flag == 0 ? rebuilt->law::set_domain(domains, 0) : share(rebuilt.get()).release();
}

void multiple_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(multiple_law));
    full_size_caches(acc);
    if (subs_) acc.addSize(sizeof(law *) * static_cast<std::size_t>(n_));
    for (int i = 0; i < n_; ++i)
        if (subs_[i]) subs_[i]->full_size(acc, 1);
}

void multiple_law::hasa(int type, VOID_LIST &out) const {
    for (int i = 0; i < n_; ++i)
        if (subs_[i]) subs_[i]->hasa(type, out);
    law::hasa(type, out);
}

std::vector<singular_point> multiple_law::member_singular_points(double start, double end) const {
    singularities_scope const scope(this, start, end);
    std::vector<singular_point> points;
    auto const add = [&](law const *sub) {
        if (!sub) return;
        std::vector<singular_point> const p = singularities_scope::sub_points(sub, start, end);
        points.insert(points.end(), p.begin(), p.end());
    };
    for (int i = 0; i < n_; ++i) add(subs_[i]);
    return points;
}

int multiple_law::singularities(double **where, int **type, double start, double end,
                                double **period) const {
    return hand_out_singular_points(member_singular_points(start, end), start, end, where, type,
                                    period);
}
