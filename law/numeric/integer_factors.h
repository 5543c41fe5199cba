#pragma once
// Small integer utilities: prime factors, greatest common divisor, integer powers.
#include <law/base/memory.h>

// One prime factor in a chain.
struct fact_list : public ZEM_heap {
    fact_list(int prime, int count, fact_list *next) : prime(prime), count(count), next(next) {}
    int prime;
    int count;
    fact_list *next;
};

// The complete factorisation of |n|: the distinct primes in increasing order and their
// multiplicities, in new arrays from VORN_ARRAY (null when there are none). Returns the number
// of distinct primes; 0, 1 and -1 have none.
int factor_int(int n, int **primes, int **multiplicities);

// The greatest common divisor of the values by their common prime powers (1 when nothing is
// common or count < 1).
int GCD_int(int *values, int count);

// base^exponent rounded to the nearest integer, saturated at the ends of the int range.
int pow_int(int base, int exponent);
