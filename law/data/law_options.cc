// The library's integer options; their users read the current value at each use.
#include <law/base/options.h>

namespace {
// Samples of the minimum-rotation frame along a path.
option_header min_rot_samples("min_rot_samples", 1000);
// Faster Euler steps when a law is converted to a spline curve.
option_header fast_euler("fast_euler", 1);
}  // namespace
