#include <law/core/multiple_data_law.h>

#include <string>
#include <vector>

#include <law/core/counted_array.h>
#include <law/core/law_law_data.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>
#include <law/core/unary_data_law.h>

multiple_data_law::multiple_data_law(law_data **data, int n) : data_(nullptr), n_(0) {
    if (n < 0) law_error(LAW_DIM, "a law of " + std::to_string(n) + " law data");
    if (!data && n > 0)
        law_error(LAW_NULL_LAW, "the array of " + std::to_string(n) + " law data is null");
    if (n == 0) return;
    n_ = n;
    data_ = VORN_ARRAY(law_data *, n_);
    for (int i = 0; i < n_; ++i) {
        data_[i] = data[i];
        if (data_[i]) data_[i]->add();
    }
}

multiple_data_law::~multiple_data_law() {
    for (int i = 0; i < n_; ++i)
        if (data_[i]) data_[i]->remove();
    vorn_discard(data_);
}

law *multiple_data_law::make_one(law_data **, int) const { return nullptr; }

void multiple_data_law::require_data() const {
    if (n_ == 0) law_error(LAW_NULL_LAW, std::string(class_name()) + " has no law data");
    for (int i = 0; i < n_; ++i)
        if (!data_[i])
            law_error(LAW_NULL_LAW, "law data " + std::to_string(i + 1) + " of " +
                                        std::string(class_name()) + " is null");
}

int multiple_data_law::same(law const *a, law const *b) const {
    if (a->type() != b->type()) return 0;
    auto const *x = static_cast<multiple_data_law const *>(a);
    auto const *y = static_cast<multiple_data_law const *>(b);
    if (x->n_ != y->n_) return 0;
    for (int i = 0; i < x->n_; ++i) {
        law_data const *p = x->data_[i], *q = y->data_[i];
        if (p != q && !(p && q && *p == *q)) return 0;
    }
    return 1;
}

char *multiple_data_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        std::string t = std::string(symbol(law_symbol_default)) + "(";
        for (int i = 0; i < n_; ++i) {
            if (i) t += ",";
            t += sub_text(data_[i], type, n, l);
        }
        return t + ")";
    });
}

int multiple_data_law::date() const {
    int d = law_base_date;
    for (int i = 0; i < n_; ++i)
        if (data_[i]) d = std::max(d, data_[i]->date());
    return d;
}

law *multiple_data_law::deep_copy(pointer_map *map) const {
    scoped_pointer_map const m(map);
    law_data_array copies(n_);
    for (int i = 0; i < n_; ++i)
        copies.push(adopt(data_[i] ? pm_get_law_data(m.get(), data_[i]) : nullptr));
    return make_one(copies.data(), n_);
}

law *multiple_data_law::set_domain(ZEM::interval const *domains, int) const {
    if (n_ == 0) {
        add();
        return const_cast<multiple_data_law *>(this);
    }
    law_data_array restricted(n_);
    for (int i = 0; i < n_; ++i)
        restricted.push(adopt(data_[i] ? data_[i]->set_domain(domains) : nullptr));
    return make_one(restricted.data(), n_);
}

void multiple_data_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(multiple_data_law));
    full_size_caches(acc);
    if (data_) acc.addSize(sizeof(law_data *) * static_cast<std::size_t>(n_));
    for (int i = 0; i < n_; ++i)
        if (data_[i]) data_[i]->full_size(acc, 1);
}

void multiple_data_law::hasa(int type, VOID_LIST &out) const {
    for (int i = 0; i < n_; ++i)
        if (law const *l = wrapped_law(data_[i])) l->hasa(type, out);
    law::hasa(type, out);
}
