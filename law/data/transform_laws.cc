#include <law/data/transform_laws.h>

#include <law/data/transform_law_data.h>
#include <law/lang/law_list.h>

namespace {
law_list transform_registration(new transform_law(nullptr, 0));
law_list rotate_registration(new rotate_law(nullptr, 0));
}  // namespace

ZEM::transf const *transform_data_law::get_trans(int &has) const {
    ZEM::transf const *t =
        fsize() == 2 ? static_cast<base_transform_law_data const *>(fsubs()[1])->get_trans()
                     : nullptr;
    has = t != nullptr;
    return t;
}
