#include <law/numeric/integer_factors.h>

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Appends a prime with its multiplicity at the end of the chain.
void push_factor(fact_list **&tail, int prime, int count) {
    *tail = new fact_list(prime, count, nullptr);
    tail = &(*tail)->next;
}

// Divides every factor d out of n, returning how many times it went in.
int divide_out(long long &n, long long d) {
    int count = 0;
    while (n % d == 0) {
        n /= d;
        ++count;
    }
    return count;
}

}  // namespace

int factor_int(int n, int **primes, int **multiplicities) {
    *primes = nullptr;
    *multiplicities = nullptr;
    // In long long so that |INT_MIN| is representable.
    long long rest = std::llabs(static_cast<long long>(n));
    fact_list *head = nullptr;
    fact_list **tail = &head;
    int found = 0;
    for (long long d = 2; d * d <= rest; d += d == 2 ? 1 : 2) {
        if (int const count = divide_out(rest, d)) {
            push_factor(tail, static_cast<int>(d), count);
            ++found;
        }
    }
    // What is left above the square root bound is itself prime.
    if (rest > 1) {
        push_factor(tail, static_cast<int>(rest), 1);
        ++found;
    }
    if (found) {
        *primes = VORN_ARRAY(int, found);
        *multiplicities = VORN_ARRAY(int, found);
    }
    int i = 0;
    while (head) {
        fact_list *next = head->next;
        (*primes)[i] = head->prime;
        (*multiplicities)[i] = head->count;
        ++i;
        delete head;
        head = next;
    }
    return found;
}

int GCD_int(int *values, int count) {
    if (count < 1) return 1;
    int *primes = nullptr;
    int *counts = nullptr;
    int const n = factor_int(values[0], &primes, &counts);
    for (int k = 1; k < count; ++k) {
        int *other_primes = nullptr;
        int *other_counts = nullptr;
        int const m = factor_int(values[k], &other_primes, &other_counts);
        // A zero value is divisible by everything: it leaves the common powers as they are.
        if (values[k] != 0) {
            for (int i = 0; i < n; ++i) {
                int shared = 0;
                for (int j = 0; j < m; ++j)
                    if (other_primes[j] == primes[i]) shared = other_counts[j];
                if (shared < counts[i]) counts[i] = shared;
            }
        }
        vorn_discard(other_primes);
        vorn_discard(other_counts);
    }
    long long gcd = 1;
    for (int i = 0; i < n; ++i) gcd *= pow_int(primes[i], counts[i]);
    vorn_discard(primes);
    vorn_discard(counts);
    return static_cast<int>(gcd);
}

int pow_int(int base, int exponent) {
    double const p = std::round(std::pow(static_cast<double>(base), exponent));
    // Saturate rather than overflow when the power leaves the int range.
    if (p >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (p <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(p);
}
