#pragma once
// Deep trees for the operations that recurse over sub-laws (derivatives, simplification). A tree
// deeper than deep_tree_levels is settled first, deepest laws first, each law once: every law
// then finds its sub-laws' answers in their caches, and the operation on the root descends only
// a level or two. Internal to the library.
#include <algorithm>
#include <unordered_set>
#include <vector>

class law;

inline constexpr int deep_tree_levels = 200;

// The law of index i among l's sub-laws (binary, unary and several-law families), or null past
// the last.
law const *sub_law_at(law const *l, int i);

// Whether this thread is settling a deep tree. The laws below its root then record simplified
// forms without the checks of their domains and of their evaluation cost, each of which walks
// the whole law below (a sum of n terms would cost n^2); the root, simplified last, is checked
// against its whole tree.
bool settling_deep_tree();

// Raises a thread's flag for its own life and then puts the flag back as it found it: a settle
// does not start inside another of its kind.
class raised_flag {
  public:
    explicit raised_flag(bool &flag) : flag_(flag), outer_(flag) { flag_ = true; }
    ~raised_flag() { flag_ = outer_; }
    raised_flag(raised_flag const &) = delete;
    raised_flag &operator=(raised_flag const &) = delete;

  private:
    bool &flag_;
    bool outer_;
};

// The flag behind settling_deep_tree.
bool &settling_flag();

// Calls settle on each law below root that left_out does not reject, sub-laws before the laws
// above them, when those laws nest deeper than deep_tree_levels; a law left out is not entered,
// and a law shared by several others is met once. Walked with a stack of its own. Returns
// whether the tree was deep.
template <class LeftOut, class Settle>
bool settle_deep_tree(law const *root, LeftOut left_out, Settle settle) {
    struct frame {
        law const *l;
        int next;
    };
    std::vector<frame> stack{{root, 0}};
    std::vector<law const *> order;
    std::unordered_set<law const *> met{root};
    std::size_t deepest = 0;
    while (!stack.empty()) {
        deepest = std::max(deepest, stack.size());
        frame &f = stack.back();
        law const *sub = sub_law_at(f.l, f.next++);
        if (!sub) {
            if (f.l != root) order.push_back(f.l);
            stack.pop_back();
        } else if (met.insert(sub).second && !left_out(sub)) {
            stack.push_back({sub, 0});
        }
    }
    if (deepest <= static_cast<std::size_t>(deep_tree_levels)) return false;
    raised_flag const on(settling_flag());
    for (law const *l : order) settle(l);
    return true;
}
