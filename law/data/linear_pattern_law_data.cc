#include <law/data/linear_pattern_law_data.h>

#include <algorithm>

#include <law/core/lawutil_errors.h>
#include <law/lang/law_list.h>

namespace {
law_data_list pattern_registration(new linear_pattern_law_data);

constexpr int most_steps = 3;
ZEM::vector const x_step(1, 0, 0);
ZEM::interval const unit_range(0, 1);
}  // namespace

linear_pattern_law_data::linear_pattern_law_data(ZEM::vector const *steps,
                                                 ZEM::interval const *ranges, int n) {
    if (!steps || !ranges || n < 1 || n > most_steps) law_error(LAW_DIM);
    for (int i = 0; i < n; ++i)
        if (!ranges[i].finite() || ranges[i].start_pt() > ranges[i].end_pt())
            law_error(LAW_BAD_DOMAN);
    steps_.assign(steps, steps + n);
    ranges_.assign(ranges, ranges + n);
}

linear_pattern_law_data::linear_pattern_law_data()
    : linear_pattern_law_data(&x_step, &unit_range, 1) {}

// Axes X, Y, Z, then the origin, then the scale 1.
void linear_pattern_law_data::eval(double const *x, double *answer) const {
    std::fill(answer, answer + 13, 0.0);
    answer[0] = answer[4] = answer[8] = answer[12] = 1;
    for (int i = 0; i < take_size(); ++i)
        for (int k = 0; k < 3; ++k) answer[9 + k] += x[i] * steps_[i][k];
}

int linear_pattern_law_data::term_domain(int which, ZEM::interval &out) const {
    if (which < 0 || which >= take_size()) {
        out = ZEM::interval();
        return 1;
    }
    out = ranges_[which];
    return 1;
}

void linear_pattern_law_data::print(T4_ostream &out) const {
    out << symbol(law_symbol_default);
    for (int i = 0; i < take_size(); ++i)
        out << " along (" << steps_[i].x() << ", " << steps_[i].y() << ", " << steps_[i].z()
            << ") [" << ranges_[i].start_pt() << ", " << ranges_[i].end_pt() << "]";
}

law_data *linear_pattern_law_data::deep_copy(pointer_map *) const {
    return new linear_pattern_law_data(steps_.data(), ranges_.data(), take_size());
}

void linear_pattern_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(linear_pattern_law_data));
    acc.addSize(steps_.size() * (sizeof(ZEM::vector) + sizeof(ZEM::interval)));
}

bool linear_pattern_law_data::operator==(law_data const &other) const {
    auto const *o = dynamic_cast<linear_pattern_law_data const *>(&other);
    if (!o || o->take_size() != take_size()) return false;
    for (int i = 0; i < take_size(); ++i)
        if (!(steps_[i] == o->steps_[i]) || ranges_[i].start_pt() != o->ranges_[i].start_pt() ||
            ranges_[i].end_pt() != o->ranges_[i].end_pt())
            return false;
    return true;
}
