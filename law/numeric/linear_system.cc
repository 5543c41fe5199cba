#include <law/numeric/linear_system.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include <law/base/memory.h>
#include <law/core/lawutil_errors.h>
#include <law/numeric/search_checks.h>

namespace {

constexpr double pivot_tolerance = 1e-13;

// Swaps the entries of rows a and b from column `from` on.
void swap_tails(double *a, double *b, int from, int width) {
    for (int j = from; j < width; ++j) std::swap(a[j], b[j]);
}

// Brings the largest magnitude of column k at or below row k up to row k.
void choose_pivot(double **rows, int n, int width, int k) {
    int best = k;
    for (int i = k + 1; i < n; ++i)
        if (std::fabs(rows[i][k]) > std::fabs(rows[best][k])) best = i;
    if (best != k) swap_tails(rows[best], rows[k], k, width);
}

}  // namespace

int solve_linear(double **rows, int n, int m) {
    if (n < 0 || m < 0)
        law_error(LAW_DIM,
                  std::to_string(n) + " equations with " + std::to_string(m) + " right-hand sides");
    if (n > 0) check_given(rows, "the array of rows");
    for (int i = 0; i < n; ++i) check_given(rows[i], "a row");
    int const width = n + m;
    for (int k = 0; k < n; ++k) {
        choose_pivot(rows, n, width, k);
        double const pivot = rows[k][k];
        if (pivot == 0.0) continue;
        if (std::fabs(pivot) < pivot_tolerance) return 0;
        for (int i = k + 1; i < n; ++i) {
            double const factor = -rows[i][k] / pivot;
            for (int j = k; j < width; ++j) rows[i][j] += factor * rows[k][j];
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        for (int r = n; r < width; ++r)
            for (int j = i + 1; j < n; ++j) rows[i][r] -= rows[j][r] * rows[i][j];
        double const diagonal = rows[i][i];
        if (std::fabs(diagonal) < pivot_tolerance) return 0;
        for (int r = n; r < width; ++r) rows[i][r] /= diagonal;
    }
    return 1;
}

linear_system_matrix::linear_system_matrix(unsigned int n, unsigned int m) : n_(n), m_(m) {
    if (n == 0) return;
    std::size_t const width = n + m;
    block_ = VORN_ARRAY(double, n *width);
    std::memset(block_, 0, sizeof(double) * n * width);
    rows_ = VORN_ARRAY(double *, n);
    for (unsigned int i = 0; i < n; ++i) rows_[i] = block_ + i * width;
}

linear_system_matrix::linear_system_matrix(linear_system_matrix const &other)
    : linear_system_matrix(other.n_, other.m_) {
    if (n_) std::memcpy(block_, other.block_, sizeof(double) * n_ * (n_ + m_));
}

linear_system_matrix::~linear_system_matrix() {
    vorn_discard(rows_);
    vorn_discard(block_);
}

bool linear_system_matrix::solve() {
    return solve_linear(rows_, static_cast<int>(n_), static_cast<int>(m_)) == 1;
}
