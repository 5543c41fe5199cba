#pragma once
// A bound on the laws that the derivatives taken on this thread make while a budget lives.
// Searches that work from a law's first few derivatives meet laws whose higher derivatives grow
// as a power of their size (the fourth derivative of a tower of powers x^(x^(...)) of height n
// holds about n^3 laws); under a budget such a search stops with a clear error in seconds
// instead of running for hours.
#include <law/core/lawutil_errors.h>

// How many laws this thread has made.
long laws_made_on_this_thread();

class derivative_budget {
  public:
    // The derivatives may make `laws` laws; past that, the next derivative asked for raises
    // `code` with `detail`, which outlives the budget.
    derivative_budget(long laws, lawutil_error code, char const *detail);
    ~derivative_budget();
    derivative_budget(derivative_budget const &) = delete;
    derivative_budget &operator=(derivative_budget const &) = delete;

    // Raises the error of the first budget on this thread that is spent.
    static void check();

  private:
    long end_;
    lawutil_error code_;
    char const *detail_;
    derivative_budget *outer_;
};
