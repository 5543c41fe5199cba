#include <law/numeric/epsilon_table.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

// The table holds the last diagonal of the epsilon scheme: e[0] ... e[n-1] (QUADPACK's qelg,
// here counted from 0).
void epsilon_table::add(double term) {
    table_[n_++] = term;
    ++results_;
    error_ = DBL_MAX;
    limit_ = table_[n_ - 1];
    if (n_ < 3) {
        error_ = std::max(error_, 5 * DBL_EPSILON * std::fabs(limit_));
        return;
    }
    int const num = n_;
    int n = n_;
    table_[n + 1] = table_[n - 1];
    int const new_elements = (n - 1) / 2;
    table_[n - 1] = DBL_MAX;
    int k1 = n - 1;  // 0-based index of e[k1]
    bool converged = false;
    for (int i = 0; i < new_elements; ++i) {
        int const k2 = k1 - 1, k3 = k1 - 2;
        double res = table_[k1 + 2];
        double const e0 = table_[k3], e1 = table_[k2], e2 = res;
        double const e1abs = std::fabs(e1);
        double const delta2 = e2 - e1, err2 = std::fabs(delta2);
        double const tol2 = std::max(std::fabs(e2), e1abs) * DBL_EPSILON;
        double const delta3 = e1 - e0, err3 = std::fabs(delta3);
        double const tol3 = std::max(e1abs, std::fabs(e0)) * DBL_EPSILON;
        if (err2 <= tol2 && err3 <= tol3) {
            // e0, e1 and e2 agree to the rounding: the limit is reached.
            limit_ = res;
            error_ = err2 + err3;
            converged = true;
            break;
        }
        double const e3 = table_[k1];
        table_[k1] = e1;
        double const delta1 = e1 - e3, err1 = std::fabs(delta1);
        double const tol1 = std::max(e1abs, std::fabs(e3)) * DBL_EPSILON;
        // Two equal elements, or an irregular part of the table: the diagonal stops here.
        if (err1 <= tol1 || err2 <= tol2 || err3 <= tol3) {
            n = i + i + 1;
            break;
        }
        double const ss = 1 / delta1 + 1 / delta2 - 1 / delta3;
        if (std::fabs(ss * e1) <= 1e-4) {
            n = i + i + 1;
            break;
        }
        res = e1 + 1 / ss;
        table_[k1] = res;
        k1 -= 2;
        double const error = err2 + std::fabs(res - e2) + err3;
        if (error > error_) continue;
        error_ = error;
        limit_ = res;
    }
    if (converged) {
        error_ = std::max(error_, 5 * DBL_EPSILON * std::fabs(limit_));
        return;
    }
    // Shift the table down: keep the last diagonal, at most `depth` elements.
    if (n == depth) n = 2 * (depth / 2) - 1;
    int ib = num % 2 == 0 ? 1 : 0;
    for (int i = 0; i <= new_elements; ++i) {
        table_[ib] = table_[ib + 2];
        ib += 2;
    }
    if (num != n) {
        int index = num - n;
        for (int i = 0; i < n; ++i) table_[i] = table_[index++];
    }
    n_ = n;
    if (results_ < 4) {
        last_three_[results_ - 1] = limit_;
        error_ = DBL_MAX;
    } else {
        error_ = std::fabs(limit_ - last_three_[2]) + std::fabs(limit_ - last_three_[1]) +
                 std::fabs(limit_ - last_three_[0]);
        last_three_ = {last_three_[1], last_three_[2], limit_};
    }
    error_ = std::max(error_, 5 * DBL_EPSILON * std::fabs(limit_));
}
