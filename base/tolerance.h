#pragma once
// Tolerances of the modeller: distance, normal/angle, fitting and machine precision.
inline constexpr double resfit = 1e-3;
inline constexpr double resmch = 1e-11;

inline double get_resabs() { return 1e-6; }
inline double get_resnor() { return 1e-10; }
inline double get_resmch() { return resmch; }

// Tolerant comparison of two doubles (within the distance tolerance by default).
inline bool is_equal(double a, double b, double tol = get_resabs()) {
    double const d = a - b;
    return d < tol && d > -tol;
}
