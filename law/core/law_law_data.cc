#include <law/core/law_law_data.h>

#include <law/core/pointer_map.h>

law_law_data::law_law_data(law *l) : law_(l) {
    if (law_) law_->add();
}

law_law_data::~law_law_data() {
    if (law_) law_->remove();
}

char *law_law_data::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return law_ ? law_->string(type, count, list) : zem_new_str_from("");
}

int law_law_data::date() const { return law_ ? law_->date() : law_data::date(); }

law_data *law_law_data::deep_copy(pointer_map *map) const {
    if (!law_) return new law_law_data();
    scoped_pointer_map const m(map);
    law_ptr const copy = adopt(pm_get_law(m.get(), law_));
    return new law_law_data(copy.get());
}

law_data *law_law_data::set_domain(ZEM::interval const *domains) const {
    if (!law_) return law_data::set_domain(domains);
    law_ptr const restricted = adopt(law_->set_domain(domains, 0));
    return new law_law_data(restricted.get());
}

void law_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(law_law_data));
    if (law_) law_->full_size(acc, 1);
}

bool law_law_data::operator==(law_data const &other) const {
    if (other.type() != type()) return 0;
    law const *o = static_cast<law_law_data const &>(other).law_;
    return same_law(law_, o);
}

law *wrapped_law(law_data const *d) {
    return d && d->type() == law_law_data_type ? static_cast<law_law_data const *>(d)->data_law()
                                               : nullptr;
}
