#include <law/base/matrix.h>

namespace ZEM {
matrix matrix::inverse() const {
    double const det = determinant();
    if (det == 0) return {};
    // Columns of the inverse are the cross products of the rows, divided by the determinant.
    matrix const adj(rows_[1] * rows_[2], rows_[2] * rows_[0], rows_[0] * rows_[1]);
    return adj.transpose() * (1.0 / det);
}
}  // namespace ZEM
