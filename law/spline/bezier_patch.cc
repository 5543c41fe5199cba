#include <law/spline/bezier_patch.h>

#include <law/core/lawutil_errors.h>
#include <law/spline/bezier.h>

bezier_patch::~bezier_patch() { release(); }

void bezier_patch::release() {
    vorn_discard(points_);
    vorn_discard(weights_);
    points_ = nullptr;
    weights_ = nullptr;
}

void bezier_patch::init(int p, int q, int rational) {
    release();
    p_ = p;
    q_ = q;
    int const n = p > 0 && q > 0 ? p * q : 0;
    if (n == 0) return;
    points_ = static_cast<ZEM::position *>(vorn_allocate(
        sizeof(ZEM::position) * n, VORN_MEM_DEFAULT, VORN_CALL_ARRAY, "sw_common.cxx", __LINE__));
    for (int k = 0; k < n; ++k) points_[k] = ZEM::origin;
    if (rational) {
        weights_ = VORN_ARRAY(double, n);
        for (int k = 0; k < n; ++k) weights_[k] = 1.0;
    }
}

ZEM::position bezier_patch::eval(double u, double v, double *w) const {
    // Orders below 1 are refused by the segment evaluation.
    if (q_ > max_rows) law_error(SW_BAD_ORDER);
    ZEM::position rows[max_rows];
    double row_weights[max_rows];
    for (int j = 0; j < q_; ++j)
        rows[j] = bezier_eval(p_, points_ + j * p_, weights_ ? weights_ + j * p_ : nullptr, u,
                              &row_weights[j]);
    return bezier_eval(q_, rows, weights_ ? row_weights : nullptr, v, w);
}
