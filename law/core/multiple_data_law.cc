#include <law/core/multiple_data_law.h>

#include <algorithm>

#include <law/core/counted_array.h>
#include <law/core/family_members.h>
#include <law/core/law_law_data.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>

multiple_data_law::multiple_data_law(law_data **data, int n) : member_family(data, n) {}

multiple_data_law::~multiple_data_law() = default;

law *multiple_data_law::make_one(law_data **, int) const { return nullptr; }

int multiple_data_law::same(law const *a, law const *b) const {
    if (a->type() != b->type()) return 0;
    auto const x = static_cast<multiple_data_law const *>(a)->members_.all();
    auto const y = static_cast<multiple_data_law const *>(b)->members_.all();
    auto const same_data = [](law_data const *p, law_data const *q) {
        return p == q || (p && q && *p == *q);
    };
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), same_data) ? 1 : 0;
}

char *multiple_data_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        return family::call_text(symbol(law_symbol_default), members_.all(), type, n, l);
    });
}

law *multiple_data_law::deep_copy(pointer_map *map) const {
    scoped_pointer_map const m(map);
    return make_one(family::copies(m.get(), members_.all()).data(), members_.size());
}

law *multiple_data_law::set_domain(ZEM::interval const *domains, int) const {
    if (members_.size() == 0) {
        add();
        return const_cast<multiple_data_law *>(this);
    }
    law_data_array restricted(members_.size());
    for (law_data const *d : members_.all())
        restricted.push(adopt(d ? d->set_domain(domains) : nullptr));
    return make_one(restricted.data(), members_.size());
}
