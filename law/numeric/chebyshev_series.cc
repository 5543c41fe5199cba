#include <law/numeric/chebyshev_series.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <complex>
#include <numbers>

namespace chebyshev {
namespace {
constexpr double pi = std::numbers::pi;

// Below this many terms the plateau rule has too little to go on.
constexpr int plateau_terms = 17;
// A short series is resolved when this many of its last terms are negligible.
constexpr int short_tail = 3;

bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }

// The butterflies of one block of a stage: [a, b] becomes [a + w b, a - w b]. With `careful`
// the product w b is the compiler's complex product; without, its plain formula, which is the
// same to the bit wherever nothing overflows (the compiler turns to a careful one only when
// both parts of the plain one are not numbers), and runs on several values at once.
template <bool careful>
void butterflies(double *__restrict a_re, double *__restrict a_im, double *__restrict b_re,
                 double *__restrict b_im, double const *__restrict w_re,
                 double const *__restrict w_im, std::size_t half) {
    for (std::size_t k = 0; k < half; ++k) {
        double t_re, t_im;
        if constexpr (careful) {
            std::complex<double> const t =
                std::complex<double>(w_re[k], w_im[k]) * std::complex<double>(b_re[k], b_im[k]);
            t_re = t.real();
            t_im = t.imag();
        } else {
            t_re = w_re[k] * b_re[k] - w_im[k] * b_im[k];
            t_im = w_re[k] * b_im[k] + w_im[k] * b_re[k];
        }
        double const u_re = a_re[k], u_im = a_im[k];
        a_re[k] = u_re + t_re;
        a_im[k] = u_im + t_im;
        b_re[k] = u_re - t_re;
        b_im[k] = u_im - t_im;
    }
}

// The discrete Fourier transform of re + i im (length a power of 2), in place, radix 2.
template <bool careful>
void fourier(std::vector<double> &re, std::vector<double> &im) {
    std::size_t const n = re.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    // The turns of one stage, made once by repeated products and used by each of its blocks.
    std::vector<double> w_re(n / 2), w_im(n / 2);
    for (std::size_t len = 2; len <= n; len <<= 1) {
        std::complex<double> const turn = std::polar(1.0, -2 * pi / static_cast<double>(len));
        std::complex<double> w(1);
        std::size_t const half = len / 2;
        for (std::size_t k = 0; k < half; ++k) {
            w_re[k] = w.real();
            w_im[k] = w.imag();
            w *= turn;
        }
        for (std::size_t i = 0; i < n; i += len)
            butterflies<careful>(&re[i], &im[i], &re[i + half], &im[i + half], w_re.data(),
                                 w_im.data(), half);
    }
}

// sum'' over j = 0 ... m of a[j] cos(pi j k / m) for k = 0 ... m, the first and last terms of
// the sum halved (the cosine transform of the first kind): by the Fourier transform of the
// even extension when 2m is a power of 2, else directly.
std::vector<double> cosine_transform(std::span<double const> a) {
    int const m = static_cast<int>(a.size()) - 1;
    std::vector<double> out(m + 1);
    if (power_of_two(2 * m)) {
        std::vector<double> re(2 * m), im(2 * m, 0.0);
        double largest = 0;
        for (int j = 0; j <= m; ++j) {
            re[j] = a[j];
            largest = std::max(largest, std::fabs(a[j]));
        }
        for (int j = 1; j < m; ++j) re[2 * m - j] = a[j];
        // Every value of the transform, and every product on the way, is a sum of at most 2m
        // terms no larger than the largest given (the turns are of length 1).
        if (largest < DBL_MAX / (8 * m))
            fourier<false>(re, im);
        else
            fourier<true>(re, im);
        for (int k = 0; k <= m; ++k) out[k] = re[k] / 2;
        return out;
    }
    std::vector<double> cosines(2 * m);
    for (int i = 0; i < 2 * m; ++i) cosines[i] = std::cos(i * pi / m);
    // Each sum in its own order, `lanes` of them side by side so that their additions do not
    // wait on each other.
    auto sums = [&]<int lanes>(int k0) {
        double sum[lanes];
        int index[lanes];
        for (int q = 0; q < lanes; ++q) {
            int const k = k0 + q;
            sum[q] = (a[0] + (k % 2 ? -a[m] : a[m])) / 2;
            index[q] = k;
        }
        for (int j = 1; j < m; ++j)
            for (int q = 0; q < lanes; ++q) {
                sum[q] += a[j] * cosines[index[q]];
                index[q] += k0 + q;
                if (index[q] >= 2 * m) index[q] -= 2 * m;
            }
        for (int q = 0; q < lanes; ++q) out[k0 + q] = sum[q];
    };
    int k = 0;
    for (; k + 4 <= m + 1; k += 4) sums.template operator()<4>(k);
    for (; k <= m; ++k) sums.template operator()<1>(k);
    return out;
}
}  // namespace

std::vector<double> lobatto_points(int n) {
    if (n <= 1) return std::vector<double>(std::max(n, 0), 0.0);
    std::vector<double> t(n);
    for (int j = 0; j < n; ++j) t[j] = -std::cos(j * pi / (n - 1));
    // Exact ends and a symmetric grid: the middle point is 0, not cos(pi/2).
    for (int j = 0; j < n / 2; ++j) t[n - 1 - j] = -t[j];
    if (n % 2) t[n / 2] = 0;
    return t;
}

std::vector<double> gauss_points(int n) {
    std::vector<double> t(std::max(n, 0));
    for (int j = 0; j < n; ++j) t[j] = -std::cos((2 * j + 1) * pi / (2 * n));
    for (int j = 0; j < n / 2; ++j) t[n - 1 - j] = -t[j];
    if (n % 2) t[n / 2] = 0;
    return t;
}

// With the points ascending, t_j = cos(pi (n-1-j)/(n-1)): c_k = 2/(n-1) sum'' f_j T_k(t_j), the
// first and last terms of the sum and the first and last coefficients halved.
std::vector<double> lobatto_coefficients(std::span<double const> values) {
    int const n = static_cast<int>(values.size());
    if (n <= 1) return std::vector<double>(values.begin(), values.end());
    int const m = n - 1;
    std::vector<double> descending(values.rbegin(), values.rend());
    std::vector<double> c = cosine_transform(descending);
    for (double &v : c) v *= 2.0 / m;
    c[0] /= 2;
    c[m] /= 2;
    return c;
}

std::vector<double> lobatto_values(std::span<double const> c, int n) {
    if (n <= 1) return std::vector<double>(std::max(n, 0), value(c, 0));
    int const m = n - 1;
    // f(t_j) = sum c_k cos(pi j k / m) over the descending points: the same transform of the
    // coefficients with the first and last doubled.
    std::vector<double> w(n, 0.0);
    for (int k = 0; k < std::min(n, static_cast<int>(c.size())); ++k) w[k] = c[k];
    w[0] *= 2;
    w[m] *= 2;
    std::vector<double> const descending = cosine_transform(w);
    return std::vector<double>(descending.rbegin(), descending.rend());
}

// t_j = cos((2 (n-1-j) + 1) pi / (2n)): c_k = 2/n sum f_j T_k(t_j), the first coefficient halved.
std::vector<double> gauss_coefficients(std::span<double const> values) {
    int const n = static_cast<int>(values.size());
    std::vector<double> c(n);
    for (int k = 0; k < n; ++k) {
        double sum = 0;
        for (int j = 0; j < n; ++j)
            sum += values[n - 1 - j] * std::cos(k * (2 * j + 1) * pi / (2 * n));
        c[k] = sum * 2.0 / n;
    }
    if (n) c[0] /= 2;
    return c;
}

double value(std::span<double const> c, double t) {
    double b1 = 0, b2 = 0;
    for (std::size_t k = c.size(); k-- > 1;) {
        double const b = 2 * t * b1 - b2 + c[k];
        b2 = b1;
        b1 = b;
    }
    return c.empty() ? 0 : t * b1 - b2 + c[0];
}

// Each point's recurrence is value's, step for step; run side by side, the steps of different
// points do not wait on each other.
std::vector<double> values(std::span<double const> c, std::span<double const> ts) {
    std::size_t const n = ts.size();
    std::vector<double> out(n, 0.0);
    if (c.empty()) return out;
    std::vector<double> two_t(n), b1(n, 0.0), b2(n, 0.0);
    for (std::size_t j = 0; j < n; ++j) two_t[j] = 2 * ts[j];
    for (std::size_t k = c.size(); k-- > 1;) {
        double const ck = c[k];
        for (std::size_t j = 0; j < n; ++j) {
            double const b = two_t[j] * b1[j] - b2[j] + ck;
            b2[j] = b1[j];
            b1[j] = b;
        }
    }
    for (std::size_t j = 0; j < n; ++j) out[j] = ts[j] * b1[j] - b2[j] + c[0];
    return out;
}

std::vector<double> derivative(std::span<double const> c) {
    int const n = static_cast<int>(c.size());
    if (n <= 1) return {0.0};
    std::vector<double> d(n - 1, 0.0);
    // d_{k-1} = d_{k+1} + 2 k c_k, from the top down; d_0 is halved.
    double above = 0, above2 = 0;
    for (int k = n - 1; k >= 1; --k) {
        double const dk = above2 + 2.0 * k * c[k];
        d[k - 1] = dk;
        above2 = above;
        above = dk;
    }
    d[0] /= 2;
    return d;
}

int resolved_length(std::span<double const> c, double tol) {
    int const n = static_cast<int>(c.size());
    if (n == 0) return 0;
    // The envelope: the largest magnitude from each term on, relative to the largest of all.
    std::vector<double> envelope(n);
    double running = 0;
    for (int j = n - 1; j >= 0; --j) envelope[j] = running = std::max(running, std::fabs(c[j]));
    double const largest = envelope[0];
    if (largest == 0) return 1;
    for (double &e : envelope) e /= largest;
    if (n < plateau_terms) {
        int length = n;
        while (length > 1 && envelope[length - 1] <= 8 * tol) --length;
        return length <= n - short_tail ? length : n;
    }
    // A plateau: from term j the envelope falls by too little over the next quarter of terms.
    int plateau = -1, j2 = 0;
    for (int j = 1; j < n; ++j) {
        j2 = static_cast<int>(std::lround(1.25 * (j + 1) + 5)) - 1;
        if (j2 >= n) return n;
        double const e1 = envelope[j], e2 = envelope[j2];
        double const r = 3 * (1 - std::log(e1) / std::log(tol));
        if (e1 == 0 || e2 / e1 > r) {
            plateau = j - 1;
            break;
        }
    }
    if (plateau < 0) return n;
    if (envelope[plateau] == 0) return plateau + 1;
    // The cut: where the envelope, tilted to favour fewer terms, is least.
    double const floor_level = std::pow(tol, 7.0 / 6.0);
    int const above_floor = static_cast<int>(std::count_if(
        envelope.begin(), envelope.end(), [&](double e) { return e >= floor_level; }));
    if (above_floor < j2 + 1) {
        j2 = above_floor;
        envelope[j2] = floor_level;
    }
    int best = 0;
    double least = HUGE_VAL;
    for (int j = 0; j <= j2; ++j) {
        double const tilt = j2 > 0 ? (-1.0 / 3.0) * std::log10(tol) * j / j2 : 0;
        double const v = std::log10(envelope[j]) + tilt;
        if (v < least) {
            least = v;
            best = j;
        }
    }
    return std::max(best, 1);
}

}  // namespace chebyshev
