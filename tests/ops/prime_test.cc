// PRIME? against trial division: every whole number up to 30,000, odd numbers around the powers
// of two up to 2^53, and the strong pseudoprimes that fool Miller-Rabin with too few bases.
#include <cmath>
#include <cstdint>
#include <vector>

#include "ops_test_util.h"

namespace {

class Prime : public LawTest {};

bool trial_division_prime(std::uint64_t n) {
    if (n < 2) return false;
    if (n % 2 == 0) return n == 2;
    if (n % 3 == 0) return n == 3;
    for (std::uint64_t d = 5; d * d <= n; d += 6)
        if (n % d == 0 || n % (d + 2) == 0) return false;
    return true;
}

// The law's answer: an odd prime, or 1 (2 is not counted).
double expected(std::uint64_t n) { return n == 1 || (n % 2 == 1 && trial_division_prime(n)); }

double prime_of(law const *p, double a) {
    double y = -1;
    p->evaluate(&a, &y);
    return y;
}

TEST_F(Prime, EveryWholeNumberUpTo30000) {
    law_ptr const p = fn<prime_law>(X());
    for (std::uint64_t n = 0; n <= 30000; ++n)
        ASSERT_EQ(prime_of(p.get(), static_cast<double>(n)), expected(n)) << n;
}

TEST_F(Prime, WholeNumbersPastThirtyTwoBits) {
    law_ptr const p = fn<prime_law>(X());
    std::vector<std::uint64_t> numbers = {
        4294967311ULL,        // the least prime above 2^32
        1000000000000037ULL,  // 1e15 + 37
        9007199254740881ULL,  // the greatest prime below 2^53
        4294967297ULL,        // 641 * 6700417
        3215031751ULL,        // strong pseudoprime to the bases 2, 3, 5 and 7
        2152302898747ULL,     // ... to 2 up to 11
        3474749660383ULL,     // ... to 2 up to 13
        341550071728321ULL,   // ... to 2 up to 17
    };
    // The product of the two greatest primes below 2^26: no small factor to find.
    std::uint64_t a = 1ULL << 26, b = 0;
    while (!trial_division_prime(--a)) continue;
    for (b = a - 2; !trial_division_prime(b); b -= 2) continue;
    numbers.push_back(a * b);
    for (int bits : {31, 32, 33, 40, 45})
        for (std::uint64_t n = (1ULL << bits) - 41; n < (1ULL << bits) + 41; n += 2)
            numbers.push_back(n);
    for (std::uint64_t n : numbers) {
        ASSERT_LT(n, 1ULL << 53);
        EXPECT_EQ(prime_of(p.get(), static_cast<double>(n)), expected(n)) << n;
    }
    // Past 2^53 every double is even; beyond 2^64 too. Fractions and negative numbers are not.
    for (double a : {0x1p53 + 2, 0x1p63, 0x1p64, 1e300, 4294967311.5, -4294967311.0, -7.0})
        EXPECT_EQ(prime_of(p.get(), a), 0) << a;
}

}  // namespace
