#pragma once
// Eigenvalues of a real upper Hessenberg matrix by the shifted QR algorithm.
#include <complex>
#include <vector>

// The n eigenvalues of the n x n upper Hessenberg matrix a (row i at a[i * n ...]), in no
// particular order; a is overwritten. The matrix is balanced first. False when the iteration
// did not converge (the eigenvalues found are then incomplete).
bool hessenberg_eigenvalues(std::vector<double> &a, int n, std::vector<std::complex<double>> &out);
