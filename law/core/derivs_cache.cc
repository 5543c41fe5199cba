#include <law/core/derivs_cache.h>

#include <algorithm>
#include <cmath>

#include <law/base/tolerance.h>
#include <law/core/law.h>

namespace {
void copy_if_given(ZEM::vector &out, ZEM::vector const &v) {
    if (!is_null_ref(out)) out = v;
}
}  // namespace

void derivs_data::eval(law const *l, double t, double scale, ZEM::vector &p, ZEM::vector &q1,
                       ZEM::vector &q2, ZEM::vector &q3) {
    param_ = t;
    if (!is_null_ref(p)) p = l->evaluateDR_V(t, 0);
    if (!is_null_ref(q1)) q1 = l->evaluateDR_V(t, 1) * scale;
    if (!is_null_ref(q2)) q2 = l->evaluateDR_V(t, 2) * (scale * scale);
    if (!is_null_ref(q3)) q3 = l->evaluateDR_V(t, 3) * (scale * scale * scale);
}

void derivs_data::set(law const *l, double t, double scale) {
    eval(l, t, scale, p_, d1_, d2_, d3_);
}

int derivs_data::get(double t, ZEM::vector &p, ZEM::vector &q1, ZEM::vector &q2,
                     ZEM::vector &q3) const {
    double const d = param_ - t;
    if (d > resmch) return -1;
    if (std::fabs(d) > resmch) return 0;
    copy_if_given(p, p_);
    copy_if_given(q1, d1_);
    copy_if_given(q2, d2_);
    copy_if_given(q3, d3_);
    return 1;
}

r3_law_cache::~r3_law_cache() { clear(); }

void r3_law_cache::clear() {
    if (law_) law_->remove();
    law_ = nullptr;
    delete[] records_;
    records_ = nullptr;
    count_ = 0;
}

r3_law_cache &r3_law_cache::operator=(r3_law_cache const &other) {
    if (this == &other) return *this;
    clear();
    if (other.law_) other.law_->add();
    law_ = other.law_;
    if (other.count_ > 0) {
        records_ = new derivs_data[other.count_];
        std::copy(other.records_, other.records_ + other.count_, records_);
        count_ = other.count_;
    }
    scale_ = other.scale_;
    range_ = other.range_;
    return *this;
}

void r3_law_cache::setup(law const *l, int n, double const *params, ZEM::interval const &range) {
    if (!l || (l->return_dim() != 3 && l->take_dim() != 1)) return;
    clear();
    l->add();
    law_ = const_cast<law *>(l);
    range_ = range;
    scale_ = range.length();
    if (n <= 0 || !params) return;

    // Sorted, without parameters that repeat one kept before them.
    double *const work = VORN_ARRAY(double, n);
    std::copy(params, params + n, work);
    std::sort(work, work + n);
    int kept = 0;
    for (int i = 0; i < n; ++i)
        if (kept == 0 || std::fabs(work[i] - work[kept - 1]) > get_resabs()) work[kept++] = work[i];

    records_ = new derivs_data[kept];
    struct give_back {
        double *w;
        ~give_back() { vorn_discard(w); }
    } const guard{work};
    // A law that fails part-way leaves the records made so far.
    for (int i = 0; i < kept; ++i) {
        records_[i].set(l, work[i], scale_);
        count_ = i + 1;
    }
}

void r3_law_cache::evaluate(double t, ZEM::vector &p, ZEM::vector &q1, ZEM::vector &q2,
                            ZEM::vector &q3) const {
    for (int i = 0; i < count_; ++i) {
        int const found = records_[i].get(t, p, q1, q2, q3);
        if (found == 1) return;
        if (found == -1) break;
    }
    if (!law_) law_error(LAW_EVAL);
    derivs_data fresh;
    fresh.eval(law_, t, scale_, p, q1, q2, q3);
}
