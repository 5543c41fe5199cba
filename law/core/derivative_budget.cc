#include <law/core/derivative_budget.h>

namespace {
constinit thread_local long walked = 0;
}  // namespace

constinit thread_local derivative_budget *derivative_budget::innermost = nullptr;

void count_chain_walk(long operands) { walked += operands; }

long work_on_this_thread() { return laws_made_on_this_thread() + walked / operands_per_law; }

derivative_budget::derivative_budget(long laws, lawutil_error code, char const *detail)
    : end_(work_on_this_thread() + laws), code_(code), detail_(detail), outer_(innermost) {
    innermost = this;
}

derivative_budget::~derivative_budget() { innermost = outer_; }

void derivative_budget::check_spent() {
    long const work = work_on_this_thread();
    for (derivative_budget const *b = innermost; b; b = b->outer_)
        if (work > b->end_) law_error(b->code_, b->detail_);
}
