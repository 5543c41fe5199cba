#include <law/core/lawutil_errors.h>
#include <law/spline/knot_removal_strategy.h>

knot_removal_strategy to_knot_removal_strategy(int value) {
    if (value < remove_knots_within_tolerance || value > remove_all_knots) law_error(LAW_BAD_RANGE);
    return static_cast<knot_removal_strategy>(value);
}
