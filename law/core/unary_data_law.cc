#include <law/core/unary_data_law.h>

#include <string>

#include <law/base/version.h>
#include <law/core/law_law_data.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>

unary_data_law::unary_data_law(law_data *data) : data_(data) {
    if (data_) data_->add();
}

unary_data_law::~unary_data_law() {
    if (data_) data_->remove();
}

law *unary_data_law::make_one(law_data *) const { return nullptr; }

law_data *unary_data_law::required_data() const {
    if (!data_) law_error(LAW_NULL_LAW, std::string(class_name()) + " has no law data");
    return data_;
}

int unary_data_law::same(law const *a, law const *b) const {
    if (get_global_version() < 2200000) return 0;
    if (a->type() != b->type()) return 0;
    law_data const *x = static_cast<unary_data_law const *>(a)->data_;
    law_data const *y = static_cast<unary_data_law const *>(b)->data_;
    return x == y || (x && y && (*x == *y) > 0);
}

char *unary_data_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        return std::string(symbol(law_symbol_default)) + "(" + sub_text(data_, type, n, l) + ")";
    });
}

int unary_data_law::date() const { return std::max(law_base_date, data_ ? data_->date() : 0); }

law *unary_data_law::deep_copy(pointer_map *map) const {
    scoped_pointer_map const m(map);
    law_data_ptr const d = data_ ? adopt(pm_get_law_data(m.get(), data_)) : law_data_ptr();
    return make_one(d.get());
}

law *unary_data_law::set_domain(ZEM::interval const *, int) const {
    add();
    return const_cast<unary_data_law *>(this);
}

void unary_data_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(unary_data_law));
    full_size_caches(acc);
    if (data_) data_->full_size(acc, 1);
}

void unary_data_law::hasa(int type, VOID_LIST &out) const {
    if (law const *l = wrapped_law(data_)) l->hasa(type, out);
    law::hasa(type, out);
}
