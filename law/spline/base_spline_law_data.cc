#include <typeinfo>

#include <law/spline/base_spline_law_data.h>

void base_spline_law_data::eval(double, int, double *, int) const {}

int base_spline_law_data::singularities(double **where, int **type, double, double) const {
    if (where) *where = nullptr;
    if (type) *type = nullptr;
    return 0;
}

law_data *base_spline_law_data::deep_copy(pointer_map *) const {
    return new base_spline_law_data(*this);
}

void base_spline_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(*this));
}

bool base_spline_law_data::operator==(law_data const &other) const {
    if (typeid(other) != typeid(*this)) return false;
    auto const &o = static_cast<base_spline_law_data const &>(other);
    return min_ == o.min_ && max_ == o.max_;
}

void base_spline_law_data::print(T4_ostream &out) const {
    out << symbol(law_symbol_default) << " range (" << min_ << ", " << max_ << ")";
}
