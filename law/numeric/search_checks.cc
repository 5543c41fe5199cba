#include <law/numeric/search_checks.h>

#include <cmath>
#include <string>

#include <law/core/constant_law.h>
#include <law/core/law.h>
#include <law/numeric/rec2d.h>

void check_given(void const *p, char const *what) {
    if (!p) law_error(LAW_NULL_LAW, std::string(what) + " is null");
}

void check_scalar_law(law const *f, int max_inputs) {
    check_given(f, "the law");
    if (f->return_dim() != 1 || f->take_dim() > max_inputs)
        law_error(LAW_DIM, "a law of " + std::to_string(f->take_dim()) + " inputs and " +
                               std::to_string(f->return_dim()) +
                               " outputs, where one output and at most " +
                               std::to_string(max_inputs) + " inputs are needed");
}

void check_finite_ends(double a, double b) {
    // An interval too long for a double to hold its length would sample at infinities.
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(b - a))
        law_error(LAW_BAD_BOUNDS,
                  "the interval from " + number_string(a) + " to " + number_string(b));
}

void check_finite(double v, char const *what) {
    if (!std::isfinite(v)) law_error(LAW_BAD_BOUNDS, std::string(what) + " is " + number_string(v));
}

void check_tolerance(double tol) {
    if (!(tol >= 0)) law_error(LAW_BAD_TOLERANCE, "the tolerance " + number_string(tol));
}

void check_search_box(rec2d const &box) {
    check_finite_ends(box.x0, box.x1);
    check_finite_ends(box.y0, box.y1);
    if (!(box.x0 < box.x1 && box.y0 < box.y1)) law_error(LAW_BAD_SEARCH_BOX);
}
