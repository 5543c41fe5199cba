#include <vector>

#include <law/base/memory.h>
#include <law/base/tolerance.h>
#include <law/spline/sw_curve.h>
#include <law/spline/sw_curve_breaks.h>

int sw_curve_breaks(sw_curve const &c, double start, double end, double **where, int **order) {
    double const *k = c.get_knot_vector();
    int const degree = c.get_degree();
    std::vector<double> places;
    std::vector<int> orders;
    for (int i = degree + 1; i < c.get_K();) {
        int m = 1;
        while (i + m < c.get_K() && k[i + m] - k[i] < resmch) ++m;
        if (k[i] > start && k[i] < end) {
            places.push_back(k[i]);
            orders.push_back(degree - m + 1);
        }
        i += m;
    }
    int const n = static_cast<int>(places.size());
    if (where) *where = n ? VORN_ARRAY(double, n) : nullptr;
    if (order) *order = n ? VORN_ARRAY(int, n) : nullptr;
    for (int i = 0; i < n; ++i) {
        if (where) (*where)[i] = places[i];
        if (order) (*order)[i] = orders[i];
    }
    return n;
}
