#include <law/base/memory.h>
#include <law/spline/bezier_segment.h>

namespace {
template <class T>
T *segment_array(int n) {
    if (n <= 0) return nullptr;
    return static_cast<T *>(vorn_allocate(sizeof(T) * static_cast<std::size_t>(n), VORN_MEM_DEFAULT,
                                          VORN_CALL_ARRAY, "sw_common.cxx", __LINE__));
}
}  // namespace

void bezier_segment::init(int n, bool rational) {
    release();
    count = n;
    points = segment_array<ZEM::position>(n);
    for (int j = 0; j < n; ++j) new (points + j) ZEM::position();
    if (rational) weights = segment_array<double>(n);
}

void bezier_segment::release() {
    vorn_discard(points, VORN_CALL_ARRAY);
    vorn_discard(weights, VORN_CALL_ARRAY);
    points = nullptr;
    weights = nullptr;
    count = 0;
}
