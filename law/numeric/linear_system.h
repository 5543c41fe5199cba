#pragma once
// Dense linear systems by Gaussian elimination with partial pivoting.

// Solves n equations held in n rows of n + m doubles, the last m columns being right-hand
// sides, in place: on success (1) the solutions stand in those columns. A pivot below 1e-13
// in magnitude fails (0).
int solve_linear(double **rows, int n, int m);

// n equations with m right-hand sides over one zero-filled block of n x (n + m) doubles.
class linear_system_matrix {
  public:
    linear_system_matrix(unsigned int n, unsigned int m);
    linear_system_matrix(linear_system_matrix const &other);
    linear_system_matrix &operator=(linear_system_matrix const &) = delete;
    ~linear_system_matrix();

    unsigned int equations() const { return n_; }
    unsigned int right_hand_sides() const { return m_; }
    // The row: n + m doubles.
    double *operator[](unsigned int row) { return rows_[row]; }
    double const *operator[](unsigned int row) const { return rows_[row]; }
    // Whether solve_linear over the rows succeeded.
    bool solve();

  private:
    unsigned int n_;
    unsigned int m_;
    double **rows_ = nullptr;
    double *block_ = nullptr;
};
