#include <law/data/affine_law_data.h>

#include <cmath>

#include <law/base/tolerance.h>
#include <law/core/lawutil_errors.h>
#include <law/lang/law_list.h>

namespace {
law_data_list affine_registration(new affine_law_data);

ZEM::transf const identity;

ZEM::transf const *invertible(ZEM::transf const *t) {
    if (!t) return &identity;
    double const det = t->affine().determinant() * t->scaling();
    if (!std::isfinite(det) || std::fabs(det) < get_resnor()) law_error(LAW_DIM);
    return t;
}

void print_row(T4_ostream &out, char const *name, ZEM::vector const &v) {
    out << " " << name << " (" << v.x() << ", " << v.y() << ", " << v.z() << ")";
}
}  // namespace

affine_law_data::affine_law_data(ZEM::transf const *t) : base_transform_law_data(invertible(t)) {}

void affine_law_data::print(T4_ostream &out) const {
    ZEM::transf const &t = *get_trans();
    out << symbol(law_symbol_default);
    print_row(out, "x", t.affine().row(0));
    print_row(out, "y", t.affine().row(1));
    print_row(out, "z", t.affine().row(2));
    print_row(out, "move", t.translation());
    out << " scale " << t.scaling();
}

void affine_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(affine_law_data) - sizeof(base_transform_law_data));
    base_transform_law_data::full_size(acc, count_self);
}
