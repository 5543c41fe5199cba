#include <law/numeric/hessenberg_eigenvalues.h>

#include <algorithm>
#include <cmath>

namespace {
// Iterations without deflation before giving up, with an exceptional shift every tenth.
constexpr int iteration_cap = 60;

// Rows and columns counted from 1, over the caller's row-major storage.
class matrix_1 {
  public:
    matrix_1(std::vector<double> &a, int n) : a_(a), n_(n) {}
    double &operator()(int i, int j) { return a_[static_cast<std::size_t>(i - 1) * n_ + (j - 1)]; }

  private:
    std::vector<double> &a_;
    int n_;
};

double with_sign(double magnitude, double sign) {
    return sign >= 0 ? std::fabs(magnitude) : -std::fabs(magnitude);
}

// Scales rows and columns by powers of 2 until their norms are comparable (a diagonal similarity,
// so the Hessenberg form and the eigenvalues stay, and the rounding of the QR steps shrinks).
void balance(matrix_1 a, int n) {
    constexpr double radix = 2, radix2 = radix * radix;
    for (bool done = false; !done;) {
        done = true;
        for (int i = 1; i <= n; ++i) {
            double c = 0, r = 0;
            for (int j = 1; j <= n; ++j)
                if (j != i) {
                    c += std::fabs(a(j, i));
                    r += std::fabs(a(i, j));
                }
            if (c == 0 || r == 0) continue;
            double g = r / radix, f = 1;
            double const s = c + r;
            while (c < g) {
                f *= radix;
                c *= radix2;
            }
            g = r * radix;
            while (c > g) {
                f /= radix;
                c /= radix2;
            }
            if ((c + r) / f < 0.95 * s) {
                done = false;
                for (int j = 1; j <= n; ++j) a(i, j) /= f;
                for (int j = 1; j <= n; ++j) a(j, i) *= f;
            }
        }
    }
}

// One double-shift Francis step on the active block [l, nn], shifts from x, y, w.
void francis_step(matrix_1 a, int l, int nn, double x, double y, double w) {
    int m = nn - 2;
    double p = 0, q = 0, r = 0, z = 0;
    for (; m >= l; --m) {
        z = a(m, m);
        double rr = x - z, s = y - z;
        p = (rr * s - w) / a(m + 1, m) + a(m, m + 1);
        q = a(m + 1, m + 1) - z - rr - s;
        r = a(m + 2, m + 1);
        s = std::fabs(p) + std::fabs(q) + std::fabs(r);
        p /= s;
        q /= s;
        r /= s;
        if (m == l) break;
        double const u = std::fabs(a(m, m - 1)) * (std::fabs(q) + std::fabs(r));
        double const v =
            std::fabs(p) * (std::fabs(a(m - 1, m - 1)) + std::fabs(z) + std::fabs(a(m + 1, m + 1)));
        if (u + v == v) break;
    }
    for (int i = m + 2; i <= nn; ++i) {
        a(i, i - 2) = 0;
        if (i != m + 2) a(i, i - 3) = 0;
    }
    for (int k = m; k <= nn - 1; ++k) {
        if (k != m) {
            p = a(k, k - 1);
            q = a(k + 1, k - 1);
            r = k != nn - 1 ? a(k + 2, k - 1) : 0;
            x = std::fabs(p) + std::fabs(q) + std::fabs(r);
            if (x != 0) {
                p /= x;
                q /= x;
                r /= x;
            }
        }
        double const s = with_sign(std::sqrt(p * p + q * q + r * r), p);
        if (s == 0) continue;
        if (k == m) {
            if (l != m) a(k, k - 1) = -a(k, k - 1);
        } else {
            a(k, k - 1) = -s * x;
        }
        p += s;
        x = p / s;
        y = q / s;
        z = r / s;
        q /= p;
        r /= p;
        for (int j = k; j <= nn; ++j) {
            p = a(k, j) + q * a(k + 1, j);
            if (k != nn - 1) {
                p += r * a(k + 2, j);
                a(k + 2, j) -= p * z;
            }
            a(k + 1, j) -= p * y;
            a(k, j) -= p * x;
        }
        int const last = std::min(nn, k + 3);
        for (int i = l; i <= last; ++i) {
            p = x * a(i, k) + y * a(i, k + 1);
            if (k != nn - 1) {
                p += z * a(i, k + 2);
                a(i, k + 2) -= p * r;
            }
            a(i, k + 1) -= p * q;
            a(i, k) -= p;
        }
    }
}
}  // namespace

bool hessenberg_eigenvalues(std::vector<double> &storage, int n,
                            std::vector<std::complex<double>> &out) {
    out.clear();
    matrix_1 a(storage, n);
    balance(a, n);
    double norm = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = std::max(i - 1, 1); j <= n; ++j) norm += std::fabs(a(i, j));
    int nn = n;
    double shift = 0;
    while (nn >= 1) {
        int its = 0, l = 0;
        do {
            // The active block: from the last negligible subdiagonal entry to nn.
            for (l = nn; l >= 2; --l) {
                double s = std::fabs(a(l - 1, l - 1)) + std::fabs(a(l, l));
                if (s == 0) s = norm;
                if (std::fabs(a(l, l - 1)) + s == s) {
                    a(l, l - 1) = 0;
                    break;
                }
            }
            double x = a(nn, nn);
            if (l == nn) {
                out.emplace_back(x + shift, 0.0);
                --nn;
            } else {
                double y = a(nn - 1, nn - 1), w = a(nn, nn - 1) * a(nn - 1, nn);
                if (l == nn - 1) {
                    double const p = 0.5 * (y - x), q = p * p + w;
                    double z = std::sqrt(std::fabs(q));
                    x += shift;
                    if (q >= 0) {
                        z = p + with_sign(z, p);
                        out.emplace_back(x + z, 0.0);
                        out.emplace_back(z != 0 ? x - w / z : x + z, 0.0);
                    } else {
                        out.emplace_back(x + p, z);
                        out.emplace_back(x + p, -z);
                    }
                    nn -= 2;
                } else {
                    if (its == iteration_cap) return false;
                    if (its > 0 && its % 10 == 0) {
                        shift += x;
                        for (int i = 1; i <= nn; ++i) a(i, i) -= x;
                        double const s = std::fabs(a(nn, nn - 1)) + std::fabs(a(nn - 1, nn - 2));
                        y = x = 0.75 * s;
                        w = -0.4375 * s * s;
                    }
                    ++its;
                    francis_step(a, l, nn, x, y, w);
                }
            }
        } while (l < nn - 1);
    }
    return true;
}
