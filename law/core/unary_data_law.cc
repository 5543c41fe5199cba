#include <law/core/unary_data_law.h>

#include <law/base/version.h>
#include <law/core/family_members.h>
#include <law/core/law_law_data.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>

unary_data_law::unary_data_law(law_data *data) : member_family(data) {}

unary_data_law::~unary_data_law() = default;

law *unary_data_law::make_one(law_data *) const { return nullptr; }

int unary_data_law::same(law const *a, law const *b) const {
    if (get_global_version() < 2200000) return 0;
    if (a->type() != b->type()) return 0;
    law_data const *x = static_cast<unary_data_law const *>(a)->fsub();
    law_data const *y = static_cast<unary_data_law const *>(b)->fsub();
    return x == y || (x && y && (*x == *y) > 0);
}

char *unary_data_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        return family::call_text(symbol(law_symbol_default), members_.all(), type, n, l);
    });
}

law *unary_data_law::deep_copy(pointer_map *map) const {
    scoped_pointer_map const m(map);
    return make_one(family::copies(m.get(), members_.all())[0]);
}

law *unary_data_law::set_domain(ZEM::interval const *, int) const {
    add();
    return const_cast<unary_data_law *>(this);
}
