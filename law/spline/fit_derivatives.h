#pragma once
// Which derivatives a fitting takes. The option "fast_euler" decides: on, one-sided differences
// of the law's values; off, the law's exact derivatives, which fit a law that a cubic holds by
// one span or patch, but which a law may not have or which may be infinite where the fitting
// asks for them.
#include <functional>

// Runs fit with the option off; when that raises, runs it again with the option on. The option
// is restored afterwards, and an error of the second run goes on to the caller. Returns true
// when the exact derivatives made the result. The option belongs to the process: a fitting on
// another thread meanwhile sees it change.
bool fit_with_best_derivatives(std::function<void()> const &fit);
