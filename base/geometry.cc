#include <law/base/geometry.h>

#include <algorithm>
#include <cmath>

#include <law/base/tolerance.h>

bool biparallel(ZEM::vector const &a, ZEM::vector const &b, double tol) {
    double const la = a.len(), lb = b.len();
    if (la == 0 || lb == 0) return true;
    return (a * b).len() / (la * lb) <= tol;
}

namespace {
// Newton polish of a root of the quartic.
double polish(double const c[5], double x) {
    for (int i = 0; i < 4; ++i) {
        double const f = (((c[4] * x + c[3]) * x + c[2]) * x + c[1]) * x + c[0];
        double const d = ((4 * c[4] * x + 3 * c[3]) * x + 2 * c[2]) * x + c[1];
        if (d == 0) break;
        x -= f / d;
    }
    return x;
}

int quadratic(double a, double b, double c, double *r) {
    if (a == 0) {
        if (b == 0) return 0;
        r[0] = -c / b;
        return 1;
    }
    double const disc = b * b - 4 * a * c;
    if (disc < 0) return 0;
    double const q = -0.5 * (b + std::copysign(std::sqrt(disc), b));
    if (q == 0) {
        r[0] = 0;
        return 1;
    }
    r[0] = q / a;
    r[1] = c / q;
    return disc == 0 ? 1 : 2;
}

int cubic(double a, double b, double c, double d, double *r) {
    if (a == 0) return quadratic(b, c, d, r);
    b /= a, c /= a, d /= a;
    double const q = (b * b - 3 * c) / 9, rr = (2 * b * b * b - 9 * b * c + 27 * d) / 54;
    double const q3 = q * q * q;
    if (rr * rr < q3) {
        double const th = std::acos(rr / std::sqrt(q3)), s = -2 * std::sqrt(q);
        r[0] = s * std::cos(th / 3) - b / 3;
        r[1] = s * std::cos((th + 2 * M_PI) / 3) - b / 3;
        r[2] = s * std::cos((th - 2 * M_PI) / 3) - b / 3;
        return 3;
    }
    double A = -std::copysign(std::cbrt(std::fabs(rr) + std::sqrt(rr * rr - q3)), rr);
    double const B = A != 0 ? q / A : 0;
    r[0] = A + B - b / 3;
    // The other two roots are -(A + B)/2 - b/3 +- i sqrt(3)/2 (A - B): a double real root when
    // A and B agree.
    if (std::fabs(A - B) > 1e-7 * (std::fabs(A) + std::fabs(B))) return 1;
    r[1] = -0.5 * (A + B) - b / 3;
    return r[1] == r[0] ? 1 : 2;
}
}  // namespace

int quartic_roots(double const c[5], double roots[4]) {
    int n = 0;
    if (c[4] == 0) {
        n = cubic(c[3], c[2], c[1], c[0], roots);
    } else {
        // Ferrari: depressed quartic y^4 + p y^2 + q y + r with x = y - b/4.
        double const b = c[3] / c[4], cc = c[2] / c[4], d = c[1] / c[4], e = c[0] / c[4];
        double const p = cc - 3 * b * b / 8, q = d - b * cc / 2 + b * b * b / 8;
        double const r = e - b * d / 4 + b * b * cc / 16 - 3 * b * b * b * b / 256;
        double ys[4];
        int m = 0;
        if (std::fabs(q) < 1e-14) {
            double zs[2];
            int const k = quadratic(1, p, r, zs);
            for (int i = 0; i < k; ++i) {
                if (zs[i] >= 0) {
                    ys[m++] = std::sqrt(zs[i]);
                    if (zs[i] > 0) ys[m++] = -std::sqrt(zs[i]);
                }
            }
        } else {
            // Resolvent cubic: z^3 + 2p z^2 + (p^2 - 4r) z - q^2 = 0 has a positive root z.
            double zs[3];
            int const k = cubic(1, 2 * p, p * p - 4 * r, -q * q, zs);
            double z = -1;
            for (int i = 0; i < k; ++i) z = std::max(z, zs[i]);
            if (z > 0) {
                double const s = std::sqrt(z);
                m += quadratic(1, s, (p + z) / 2 - q / (2 * s), ys + m);
                m += quadratic(1, -s, (p + z) / 2 + q / (2 * s), ys + m);
            }
        }
        for (int i = 0; i < m; ++i) roots[n++] = ys[i] - b / 4;
    }
    for (int i = 0; i < n; ++i) roots[i] = polish(c, roots[i]);
    std::sort(roots, roots + n);
    // Drop double roots found twice.
    int kept = 0;
    for (int i = 0; i < n; ++i)
        if (kept == 0 || std::fabs(roots[i] - roots[kept - 1]) > 1e-12) roots[kept++] = roots[i];
    return kept;
}

namespace {
// Centroid and the covariance matrix of the points.
void moments(int n, ZEM::position const *pts, ZEM::position &centre, double cov[3][3]) {
    double s[3] = {0, 0, 0};
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k) s[k] += pts[i][k] / n;
    centre = ZEM::position(s[0], s[1], s[2]);
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            cov[a][b] = 0;
            for (int i = 0; i < n; ++i) cov[a][b] += (pts[i][a] - s[a]) * (pts[i][b] - s[b]);
        }
}

ZEM::vector times(double const m[3][3], ZEM::vector const &v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

// Dominant eigenvector of a symmetric positive semi-definite matrix by power iteration. A fixed
// start fails when it is orthogonal to the answer, so each column of the matrix is tried as a
// start (the one with the largest part along the answer is not orthogonal to it) and the
// direction of the largest Rayleigh quotient is kept.
ZEM::vector dominant(double const m[3][3]) {
    ZEM::vector best;
    double best_quotient = 0;
    for (int j = 0; j < 3; ++j) {
        ZEM::vector v(m[0][j], m[1][j], m[2][j]);
        for (int it = 0; it < 200 && v.len() > 0; ++it) v = times(m, v / v.len());
        double const l = v.len();
        if (l == 0) continue;
        v = v / l;
        double const quotient = v % times(m, v);
        if (quotient > best_quotient) best_quotient = quotient, best = v;
    }
    return best;
}
}  // namespace

bool get_line_from_points(int n, ZEM::position const *pts, ZEM::position &root,
                          ZEM::unit_vector &dir) {
    if (n < 2) return false;
    double cov[3][3];
    moments(n, pts, root, cov);
    ZEM::vector const d = dominant(cov);
    if (d.len() < get_resnor()) return false;
    dir = ZEM::unit_vector(d);
    return std::all_of(pts, pts + n, [&](ZEM::position const &q) {
        return ((q - root) * dir).len() <= get_resabs();
    });
}

bool get_plane_from_points(int n, ZEM::position const *pts, ZEM::position &root,
                           ZEM::unit_vector &normal) {
    if (n < 3) return false;
    // The normal is the best cross product of spans from the centroid.
    double cov[3][3];
    moments(n, pts, root, cov);
    ZEM::vector best;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            ZEM::vector c = (pts[i] - root) * (pts[j] - root);
            if (best % c < 0) c = -c;
            best += c;
        }
    if (best.len() < get_resabs() * get_resabs()) return false;
    normal = ZEM::unit_vector(best);
    return std::all_of(pts, pts + n, [&](ZEM::position const &q) {
        return std::fabs((q - root) % normal) <= get_resabs();
    });
}
