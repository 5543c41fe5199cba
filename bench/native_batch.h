#pragma once
// The native loops of the batch table: each expression's formula over an array of points, in a
// translation unit compiled with -O3 -march=native so that the compiler vectorises it.
#include <cstddef>

namespace bench {

// Writes dim values per point of xs[0 .. n-1] into ys; null for an id without a loop.
using native_batch_fn = void (*)(double const *xs, double *ys, std::size_t n);
native_batch_fn native_batch(char const *id);

}  // namespace bench
