#include <law/numeric/search_checks.h>

#include <cmath>

#include <law/core/law.h>
#include <law/numeric/rec2d.h>

void check_scalar_law(law const *f, int max_inputs) {
    if (!f || f->return_dim() != 1 || f->take_dim() > max_inputs) law_error(LAW_DIM);
}

void check_finite_ends(double a, double b) {
    // An interval too long for a double to hold its length would sample at infinities.
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(b - a)) law_error(LAW_BAD_BOUNDS);
}

void check_search_box(rec2d const &box) {
    check_finite_ends(box.x0, box.x1);
    check_finite_ends(box.y0, box.y1);
    if (!(box.x0 < box.x1 && box.y0 < box.y1)) law_error(LAW_BAD_SEARCH_BOX);
}
