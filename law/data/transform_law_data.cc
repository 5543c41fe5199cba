#include <law/data/transform_law_data.h>

namespace {
struct transf_copy : ZEM_heap, ZEM::transf {
    explicit transf_copy(ZEM::transf const &t) : ZEM::transf(t) {}
};
}  // namespace

base_transform_law_data::base_transform_law_data(ZEM::transf const *t) {
    if (!t) return;
    trans_ = new transf_copy(*t);
    inverse_ = new transf_copy(t->inverse());
}

base_transform_law_data::~base_transform_law_data() {
    delete static_cast<transf_copy *>(trans_);
    delete static_cast<transf_copy *>(inverse_);
}

law_data *base_transform_law_data::deep_copy(pointer_map *) const { return make_one(trans_); }

void base_transform_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(base_transform_law_data));
    if (trans_) acc.addSize(2 * sizeof(ZEM::transf));
}

bool base_transform_law_data::operator==(law_data const &other) const {
    if (other.type() != type()) return 0;
    auto const &o = static_cast<base_transform_law_data const &>(other);
    if (!trans_ || !o.trans_) return trans_ == o.trans_;
    return !(*trans_ != *o.trans_);
}
