#include <law/core/lawutil_errors.h>

#include <iterator>

namespace {
// In the order of the local codes from lawutil_table_size on.
constexpr message_entry own_table[] = {
    {"LAW_BAD_SEARCH_BOX", "The search box is empty or inverted"},
    {"LAW_BAD_SAMPLES", "The number of samples must be at least one"},
    {"SW_BAD_KNOTS", "The knots of a spline must be numbers that do not decrease"},
    {"LAW_BAD_TOLERANCE", "The tolerance must be a positive number"},
    {"LAW_INTEGRAL_TOLERANCE", "The integral did not reach the requested tolerance"},
    {"LAW_INTEGRAL_DIVERGES", "The integral does not seem to converge"},
    {"LAW_NO_VALUE", "The law has no value where one is needed"},
    {"LAW_UNBOUNDED", "The law is unbounded on the interval"},
    {"LAW_NULL_LAW", "A law or an array of laws that is needed is null"},
    {"LAW_NO_TANGENT", "The path has no tangent direction"},
    {"LAW_BAD_SOLID",
     "A sphere or cylinder needs finite numbers, a positive radius and an axis of nonzero length"},
    {"LAW_ROOTS_UNRESOLVED",
     "The root search ran out of evaluations before it resolved the law: roots may be missing"},
    {"LAW_TOO_DEEP", "The law nests too deeply for the stack of the thread that works on it"},
    {"LAW_TOO_LARGE", "The derivatives the law is built from grow past the work spent on them"},
    {nullptr, nullptr}};
static_assert(std::size(own_table) == LAWUTIL_CODE_COUNT - lawutil_table_size + 1);
}  // namespace

message_module const &get_lawutil_own_errmod() {
    static message_module const module("lawutil", own_table);
    return module;
}

[[maybe_unused]] static message_module const &lawutil_own_errmod = get_lawutil_own_errmod();
