#include <law/core/derivative_budget.h>

namespace {
constinit thread_local derivative_budget *innermost = nullptr;
}  // namespace

derivative_budget::derivative_budget(long laws, lawutil_error code, char const *detail)
    : end_(laws_made_on_this_thread() + laws), code_(code), detail_(detail), outer_(innermost) {
    innermost = this;
}

derivative_budget::~derivative_budget() { innermost = outer_; }

void derivative_budget::check() {
    long const made = laws_made_on_this_thread();
    for (derivative_budget const *b = innermost; b; b = b->outer_)
        if (made > b->end_) law_error(b->code_, b->detail_);
}
