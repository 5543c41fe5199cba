#pragma once
// A 3x3 matrix whose rows are three vectors.
#include <law/base/vector.h>

namespace ZEM {
class matrix {
  public:
    constexpr matrix() = default;  // zero
    constexpr matrix(vector const &r0, vector const &r1, vector const &r2) : rows_{r0, r1, r2} {}
    static constexpr matrix identity() { return {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}; }
    constexpr vector const &row(int i) const { return rows_[i]; }
    constexpr vector column(int j) const { return {rows_[0][j], rows_[1][j], rows_[2][j]}; }
    constexpr double element(int i, int j) const { return rows_[i][j]; }
    constexpr matrix transpose() const { return {column(0), column(1), column(2)}; }
    constexpr double determinant() const { return rows_[0] % (rows_[1] * rows_[2]); }
    matrix inverse() const;  // the zero matrix when singular
    // Row-vector convention: v * M.
    friend constexpr vector operator*(vector const &v, matrix const &m) {
        return m.rows_[0] * v.x() + m.rows_[1] * v.y() + m.rows_[2] * v.z();
    }
    friend constexpr matrix operator*(matrix const &a, matrix const &b) {
        return {a.rows_[0] * b, a.rows_[1] * b, a.rows_[2] * b};
    }
    friend constexpr matrix operator*(matrix const &a, double s) {
        return {a.rows_[0] * s, a.rows_[1] * s, a.rows_[2] * s};
    }
    friend constexpr bool operator==(matrix const &a, matrix const &b) {
        return a.rows_[0] == b.rows_[0] && a.rows_[1] == b.rows_[1] && a.rows_[2] == b.rows_[2];
    }

  private:
    vector rows_[3];
};
}  // namespace ZEM
