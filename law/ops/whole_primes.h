#pragma once
// Primality of whole numbers up to 2^64, exactly.
#include <cstdint>

// Whether n is prime: Miller-Rabin with the first twelve primes as bases, which no composite
// below 3.3e24 passes, with 128-bit products.
bool is_prime(std::uint64_t n);
