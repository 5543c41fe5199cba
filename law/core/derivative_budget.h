#pragma once
// A bound on the work of the derivatives taken on this thread while a budget lives: the laws
// they make, and the chains their simplification walks.
// Searches that work from a law's first few derivatives meet laws whose higher derivatives grow
// as a power of their size (the fourth derivative of a tower of powers x^(x^(...)) of height n
// holds about n^3 laws); under a budget such a search stops with a clear error in seconds
// instead of running for hours.
#include <law/core/lawutil_errors.h>

// How many laws this thread has made.
long laws_made_on_this_thread();

// The rules' walks of long chains are work that makes few laws: simplifying the derivatives of a
// long product walks its operands again for each term. Each walk is counted here, and so many
// operands walked count as one law made.
inline constexpr long operands_per_law = 8;
void count_chain_walk(long operands);
// The laws this thread has made, and its chain walks in laws.
long work_on_this_thread();

class derivative_budget {
  public:
    // The derivatives may do `laws` laws' work; past that, the next derivative asked for, or the
    // next step of a simplification, raises `code` with `detail`, which outlives the budget.
    derivative_budget(long laws, lawutil_error code, char const *detail);
    ~derivative_budget();
    derivative_budget(derivative_budget const &) = delete;
    derivative_budget &operator=(derivative_budget const &) = delete;

    // Raises the error of the first budget on this thread that is spent. Asked at every step of
    // a simplification: with no budget on the thread it costs one read.
    static void check() {
        if (innermost) check_spent();
    }

  private:
    static void check_spent();
    static constinit thread_local derivative_budget *innermost;

    long end_;
    lawutil_error code_;
    char const *detail_;
    derivative_budget *outer_;
};
