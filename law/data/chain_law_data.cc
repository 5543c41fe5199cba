#include <law/data/chain_law_data.h>

#include <algorithm>

#include <law/core/lawutil_errors.h>
#include <law/data/analytic_curves.h>
#include <law/lang/law_list.h>

namespace {
law_data_list chain_registration(new chain_law_data);

double first_start(base_curve_law_data const *const *segments, int n) {
    if (!segments || n < 1) law_error(LAW_DATA_UNKNOWN);
    for (int i = 0; i < n; ++i)
        if (!segments[i] || segments[i]->type() != curve_law_data_type) law_error(LAW_DATA_UNKNOWN);
    return segments[0]->data_start();
}

double total_length(base_curve_law_data const *const *segments, int n) {
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += segments[i]->data_end() - segments[i]->data_start();
    return sum;
}

base_curve_law_data const *unit_line() { return new line_law_data; }
}  // namespace

chain_law_data::chain_law_data(base_curve_law_data const *const *segments, int n)
    : chain_law_data(segments, n, first_start(segments, n)) {}

chain_law_data::chain_law_data(base_curve_law_data const *const *segments, int n, double start)
    : base_wire_law_data(start, start + total_length(segments, n)) {
    double end = start;
    for (int i = 0; i < n; ++i) {
        segments[i]->add();
        segments_.push_back(segments[i]);
        end += segments[i]->data_end() - segments[i]->data_start();
        ends_.push_back(end);
    }
}

chain_law_data::chain_law_data() : base_wire_law_data(0, 1) {
    segments_.push_back(unit_line());
    ends_.push_back(1);
}

chain_law_data::~chain_law_data() {
    for (auto const *s : segments_) s->remove();
}

int chain_law_data::which_segment(double t, int side, double &local) const {
    auto const after = side == -1 ? std::lower_bound(ends_.begin(), ends_.end(), t)
                                  : std::upper_bound(ends_.begin(), ends_.end(), t);
    int const i = std::min(static_cast<int>(after - ends_.begin()), size() - 1);
    local = t - ends_[i] + segments_[i]->data_end();
    return i;
}

ZEM::vector chain_law_data::eval(double t, int nderiv, int side) const {
    double local = 0;
    int const i = which_segment(t, side, local);
    return segments_[i]->eval(local, nderiv, side);
}

double chain_law_data::curvature(double t) const {
    double local = 0;
    int const i = which_segment(t, 0, local);
    return segments_[i]->curvature(local);
}

void chain_law_data::print(T4_ostream &out) const {
    out << symbol(law_symbol_default);
    for (auto const *s : segments_) {
        out << " {";
        s->print(out);
        out << "}";
    }
}

law_data *chain_law_data::deep_copy(pointer_map *map) const {
    std::vector<law_data_ptr> copies;
    std::vector<base_curve_law_data const *> raw;
    for (auto const *s : segments_) {
        copies.push_back(adopt(s->deep_copy(map)));
        raw.push_back(static_cast<base_curve_law_data const *>(copies.back().get()));
    }
    return new chain_law_data(raw.data(), size());
}

void chain_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(chain_law_data));
    acc.addSize(segments_.size() * (sizeof(segments_[0]) + sizeof(ends_[0])));
    for (auto const *s : segments_) s->full_size(acc, 1);
}

bool chain_law_data::operator==(law_data const &other) const {
    auto const *o = dynamic_cast<chain_law_data const *>(&other);
    if (!o || o->size() != size() || !path_law_data::operator==(other)) return false;
    for (int i = 0; i < size(); ++i)
        if (*segments_[i] != *o->segments_[i]) return false;
    return true;
}
