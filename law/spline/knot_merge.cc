#include <algorithm>
#include <cmath>

#include <law/base/tolerance.h>
#include <law/spline/knot_merge.h>

namespace {

bool listed(std::vector<double> const &keep, double t) {
    return std::find(keep.begin(), keep.end(), t) != keep.end();
}

}  // namespace

void merge_double_knots(knot_rows &net, knot_removal_strategy strategy, double removal_tol,
                        std::vector<double> const &keep) {
    std::vector<double> &t = net.knots;
    // Node n carries knot n and, from the third node to the third last, control point n - 2.
    for (std::size_t n = 2; n + 6 < t.size();) {
        bool const pair = std::fabs(t[n + 3] - t[n + 2]) < resmch && !listed(keep, t[n + 2]);
        double const left = t[n + 2] - t[n], right = t[n + 5] - t[n + 3];
        if (!pair || !(left > 0) || !(right > 0)) {
            ++n;
            continue;
        }
        double const fl = (t[n + 4] - t[n]) / left, fr = (t[n + 5] - t[n + 1]) / right;
        std::vector<ZEM::position> merged;
        bool agree = true;
        for (auto const &row : net.rows) {
            // Points of nodes n + 1 ... n + 4.
            ZEM::position const &p1 = row[n - 1], &p2 = row[n], &p3 = row[n + 1], &p4 = row[n + 2];
            ZEM::position const L = p1 + (p2 - p1) * fl, R = p4 + (p3 - p4) * fr;
            agree = agree && (L - R).len() < removal_tol;
            merged.push_back(L + (R - L) * 0.5);
        }
        if (strategy != remove_all_knots && !agree) {
            n += 2;
            continue;
        }
        t.erase(t.begin() + static_cast<std::ptrdiff_t>(n + 3));
        for (std::size_t r = 0; r < net.rows.size(); ++r) {
            auto &row = net.rows[r];
            row.erase(row.begin() + static_cast<std::ptrdiff_t>(n + 1));
            row[n] = merged[r];
        }
        ++n;
    }
}

bool keep_single_knots_near(std::vector<double> const &knots, std::vector<int> const &spans,
                            std::vector<double> &keep) {
    int const first = 4, last = static_cast<int>(knots.size()) - 5;  // the interior knots
    auto const &k = knots;
    auto single = [&](int i) {
        return (i == first || k[i - 1] != k[i]) && (i == last || k[i + 1] != k[i]);
    };
    bool added = false;
    auto add_first = [&](int from, int step) {
        for (int i = from; i >= first && i <= last; i += step) {
            if (!single(i)) continue;
            if (!listed(keep, k[i])) {
                keep.push_back(k[i]);
                added = true;
            }
            return;
        }
    };
    for (int const span : spans) {
        add_first(span, -1);
        add_first(span + 1, 1);
    }
    return added;
}
