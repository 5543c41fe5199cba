#include <cmath>

#include <law/core/law.h>
#include <law/spline/fit_input.h>

void check_fit_input(law const *f, double t0, double t1, double tol) {
    if (!f || f->take_dim() != 1 || f->return_dim() != 3) law_error(LAW_DIM);
    if (!std::isfinite(t0) || !std::isfinite(t1) || !(t0 < t1)) law_error(LAW_BAD_BOUNDS);
    if (!std::isfinite(tol) || !(tol > 0)) law_error(LAW_BAD_TOLERANCE);
}
