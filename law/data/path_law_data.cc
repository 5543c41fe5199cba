#include <law/data/path_law_data.h>

#include <law/core/lawutil_errors.h>

void path_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(path_law_data));
}

bool path_law_data::operator==(law_data const &other) const {
    if (other.type() != type()) return 0;
    auto const &o = static_cast<path_law_data const &>(other);
    return start_ == o.start_ && end_ == o.end_;
}

int path_law_data::singularities(double **where, int **type, double, double) const {
    if (where) *where = nullptr;
    if (type) *type = nullptr;
    return 0;
}

int base_curve_law_data::evaluate(double, ZEM::position &, ZEM::vector **, int, int) const {
    law_error(LAW_EVAL);
}

int base_curve_law_data::discontinuities(double **, int **, double, double) const {
    law_error(LAW_EVAL);
}
