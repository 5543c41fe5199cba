#include <law/ops/whole_primes.h>

namespace {
using u64 = std::uint64_t;
using u128 = unsigned __int128;

u64 times_mod(u64 a, u64 b, u64 m) { return static_cast<u64>(static_cast<u128>(a) * b % m); }

u64 power_mod(u64 base, u64 e, u64 m) {
    u64 r = 1;
    for (base %= m; e; e >>= 1, base = times_mod(base, base, m))
        if (e & 1) r = times_mod(r, base, m);
    return r;
}

// n - 1 = d 2^s with d odd: n passes for base a when a^d is 1 or some a^(d 2^r) is n - 1.
bool strong_probable_prime(u64 n, u64 a, u64 d, int s) {
    u64 x = power_mod(a, d, n);
    if (x == 1 || x == n - 1) return true;
    for (int r = 1; r < s; ++r) {
        x = times_mod(x, x, n);
        if (x == n - 1) return true;
    }
    return false;
}
}  // namespace

bool is_prime(u64 n) {
    constexpr u64 bases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
    if (n < 2) return false;
    for (u64 p : bases) {
        if (n % p == 0) return n == p;
    }
    u64 d = n - 1;
    int s = 0;
    for (; d % 2 == 0; d /= 2) ++s;
    for (u64 a : bases)
        if (!strong_probable_prime(n, a, d, s)) return false;
    return true;
}
