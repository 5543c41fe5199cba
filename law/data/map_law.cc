#include <law/data/map_law.h>

#include <algorithm>
#include <cmath>

#include <law/core/constant_law.h>
#include <law/core/counted_array.h>
#include <law/core/eval_buffer.h>
#include <law/core/law_law_data.h>
#include <law/data/path_law_data.h>
#include <law/lang/law_list.h>
#include <law/ops/law_builders.h>

namespace {
law_list reg(new map_law(nullptr, 0));

ZEM::interval range_of(law_data const *d) {
    if (auto const *path = dynamic_cast<path_law_data const *>(d)) return path->data_range();
    ZEM::interval dom;
    if (law const *l = wrapped_law(d); l && l->term_domain(0, dom) && dom.finite()) return dom;
    law_error(LAW_DATA_UNKNOWN);
}
}  // namespace

map_law::map_law(law_data **data, int n) : multiple_data_law(data, n) {
    if (!data) return;
    if (n != 2 || !wrapped_law(data[0])) law_error(LAW_DATA_UNKNOWN);
    mapped_ = wrapped_law(data[0]);
    ZEM::interval const range = range_of(data[1]);
    start_ = range.start_pt();
    end_ = range.end_pt();
    if (!std::isfinite(start_) || !std::isfinite(end_))
        law_error(LAW_BAD_BOUNDS, "MAP needs a finite parameter range");
}

void map_law::evaluate(double const *x, double *answer) const {
    require_members();
    double const t = start_ + (end_ - start_) * x[0];
    int const n = mapped_->take_dim();
    if (n <= 1) return mapped_->evaluate(&t, answer);
    eval_buffer point(n);
    std::fill(point.data(), point.data() + n, 0.0);
    point[0] = t;
    mapped_->evaluate(point, answer);
}

law *map_law::deriv(int which) const {
    require_members();
    if (which != 0) return new constant_law(0.0);
    law_ptr const d = build::d(mapped_, 0);
    law_data_ptr const wrapped = adopt<law_data>(new law_law_data(d.get()));
    law_data *data[2] = {wrapped.get(), fsubs()[1]};
    law_ptr const mapped = make_law<map_law>(data, 2);
    return build::times(build::constant(end_ - start_), mapped).release();
}
