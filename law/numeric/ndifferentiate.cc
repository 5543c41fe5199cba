#include <law/numeric/ndifferentiate.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <law/base/tolerance.h>
#include <law/base/version.h>
#include <law/core/eval_buffer.h>
#include <law/core/law.h>
#include <law/numeric/derivative_law.h>
#include <law/numeric/search_checks.h>

namespace {
constexpr double base_step = 1e-4;
constexpr int step_clamp_version = 2160000;

// Rows of samples, one row of `width` outputs per sample; small tables stay on the stack.
class sample_rows {
  public:
    sample_rows(int rows, int width)
        : width_(width),
          p_(rows < 15 && rows * width < 43 ? local_ : VORN_ARRAY(double, rows *width)) {}
    ~sample_rows() {
        if (p_ != local_) vorn_discard(p_);
    }
    sample_rows(sample_rows const &) = delete;
    sample_rows &operator=(sample_rows const &) = delete;
    double *row(int j) { return p_ + j * width_; }
    double &at(int j, int c) { return p_[j * width_ + c]; }

  private:
    int width_;
    double local_[43];
    double *p_;
};

// Evaluates f at samples x0 + offset + i step of input `which`, one row each.
struct sampler {
    law const *f;
    int which;
    int outputs;
    eval_buffer point;

    sampler(law const *law_, double const *x, int which_)
        : f(law_),
          which(which_),
          outputs(law_->return_dim()),
          point(std::max(law_->take_dim(), which_ + 1)) {
        if (which_ < 0) law_error(LAW_DIM);
        int const n = std::max(law_->take_dim(), which_ + 1);
        std::fill(point.data(), point.data() + n, 0.0);
        std::copy(x, x + law_->take_dim(), point.data());
    }
    void fill(sample_rows &rows, int count, double start, double step) {
        for (int i = 0; i < count; ++i) {
            point[which] = start + i * step;
            f->evaluate(point, rows.row(i));
        }
    }
};

int sample_count(int order) { return 3 * order + 1; }

// The order, at least 0, after the checks of what the caller gave.
int checked_order(law const *f, double const *x, double *out, int order) {
    check_given(f, "the law");
    if (f->take_dim() > 0) check_given(x, "the point");
    check_given(out, "the place for the result");
    if (order > derivative_law::max_order)
        law_error(LAW_DL_NUM, "the order " + std::to_string(order) + " is above " +
                                  std::to_string(derivative_law::max_order));
    return std::max(order, 0);
}

void copy_row0(sample_rows &rows, int outputs, double *out) {
    std::memcpy(out, rows.row(0), sizeof(double) * static_cast<std::size_t>(outputs));
}

// The step (signed) that walks `count` samples from x0 in direction dir (-1 or 1) within dom;
// 0 when x0 sits on the bound that direction would cross.
double step_within(ZEM::interval const &dom, double x0, int dir, int count) {
    double h = base_step;
    double const span = (count - 1) * h;
    if (dir < 0 && dom.bounded_below()) {
        double const lo = dom.start_pt();
        if (x0 <= lo + get_resnor()) return 0.0;
        if (x0 - span < lo) h = (x0 - lo) / (count - 1);
    } else if (dir > 0 && dom.bounded_above()) {
        double const hi = dom.end_pt();
        if (hi <= x0 + get_resnor()) return 0.0;
        if (x0 + span > hi) h = (hi - x0) / (count - 1);
    }
    return dir * h;
}

// The signed step of the one-sided stencil: toward the asked side, shrunk to stay in the
// domain, and turned to the other side when x0 sits on the bound of the asked one.
double sided_step(law const *f, double x0, int which, int side, int count) {
    int const dir = side == 1 ? -1 : 1;
    if (count <= 1 || get_global_version() < step_clamp_version) return dir * base_step;
    ZEM::interval dom;
    if (!f->term_domain(which, dom)) return dir * base_step;
    if (double const h = step_within(dom, x0, dir, count); h != 0.0) return h;
    if (double const h = step_within(dom, x0, -dir, count); h != 0.0) return h;
    return dir * base_step;
}
}  // namespace

void Ndifferentiate(law const *f, double const *x, int which, double *out, int order) {
    order = checked_order(f, x, out, order);
    int const count = sample_count(order);
    sampler s(f, x, which);
    sample_rows rows(count, s.outputs);
    double const x0 = s.point[which];
    s.fill(rows, count, x0 - (3 * order) * base_step / 2, base_step);
    double const scale = 8.0 / 9.0 * base_step;
    for (int pass = 0, live = count; pass < order; ++pass, live -= 3)
        for (int j = 0; j + 3 < live; ++j)
            for (int c = 0; c < s.outputs; ++c)
                rows.at(j, c) = ((rows.at(j + 2, c) - rows.at(j + 1, c)) -
                                 (rows.at(j + 3, c) - rows.at(j, c)) / 27.0) /
                                scale;
    copy_row0(rows, s.outputs, out);
}

void Ndifferentiate_sided(law const *f, double const *x, int which, int side, double *out,
                          int order) {
    order = checked_order(f, x, out, order);
    int const count = sample_count(order);
    sampler s(f, x, which);
    sample_rows rows(count, s.outputs);
    double const x0 = s.point[which];
    double const h = sided_step(f, x0, which, side, count);
    s.fill(rows, count, x0, h);
    for (int pass = 0, live = count; pass < order; ++pass, live -= 3)
        for (int j = 0; j + 3 < live; ++j)
            for (int c = 0; c < s.outputs; ++c)
                rows.at(j, c) = -(11 * rows.at(j, c) - 18 * rows.at(j + 1, c) +
                                  9 * rows.at(j + 2, c) - 2 * rows.at(j + 3, c)) /
                                (6 * h);
    copy_row0(rows, s.outputs, out);
}
