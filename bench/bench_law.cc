#include "bench_law.h"

#include <stdexcept>
#include <unordered_set>

namespace bench {
namespace {

// Calls visit on each direct sub-law of l.
template <class Visit>
void for_each_sub(law const *l, Visit visit) {
    if (auto u = law_cast<unary_law>(l)) {
        if (u->fsub()) visit(u->fsub());
    } else if (auto b = law_cast<binary_law>(l)) {
        if (b->fleft()) visit(b->fleft());
        if (b->fright()) visit(b->fright());
    } else if (auto m = law_cast<multiple_law>(l)) {
        for (int i = 0; i < m->fsub_num(); ++i)
            if (m->fsub()[i]) visit(m->fsub()[i]);
    }
}

void count_tree(law const *l, long cap, long &count) {
    if (count >= cap) return;
    ++count;
    for_each_sub(l, [&](law const *s) { count_tree(s, cap, count); });
}

void collect(law const *l, std::unordered_set<law const *> &seen) {
    if (!seen.insert(l).second) return;
    for_each_sub(l, [&](law const *s) { collect(s, seen); });
}

}  // namespace

law_ptr parse_law(std::string const &text) {
    TEST_clear_error();
    law_ptr l = adopt(str_to_law(text.c_str()));
    if (!l)
        throw std::runtime_error("cannot read \"" + text.substr(0, 60) + "\": " + TEST_get_error());
    return l;
}

law_ptr case_law(std::string const &text, bool differentiated) {
    law_ptr l = parse_law(text);
    return differentiated ? adopt(l->derivative(0)) : l;
}

long tree_nodes(law const *l, long cap) {
    long count = 0;
    if (l) count_tree(l, cap, count);
    return count;
}

long distinct_nodes(law const *l) {
    std::unordered_set<law const *> seen;
    if (l) collect(l, seen);
    return static_cast<long>(seen.size());
}

double value_at(law const *l, double x) { return first_value(l, &x); }

}  // namespace bench
