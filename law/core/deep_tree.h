#pragma once
// Deep trees for the operations that recurse over sub-laws (derivatives, simplification, copies,
// domains). A tree deeper than deep_tree_levels is settled first, deepest laws first, each law
// once: every law then finds its sub-laws' answers in their caches, and the operation on the root
// descends only a level or two. Internal to the library.
#include <algorithm>
#include <exception>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include <law/base/interval.h>
#include <law/core/law.h>
#include <law/core/law_pointer_set.h>
#include <law/core/singular_points.h>

class law;
class law_polynomial;
struct pointer_map;

inline constexpr int deep_tree_levels = 200;

// The law of index i among l's sub-laws (binary, unary and several-law families), or null past
// the last.
law const *sub_law_at(law const *l, int i);

// Whether this thread is settling a deep tree. The laws below its root then record simplified
// forms without the check of their domains, which walks the whole law below (a sum of n terms
// would cost n^2); the root, simplified last, is checked against its whole tree.
bool settling_deep_tree();

// Raises a thread's flag for its own life and then puts the flag back as it found it: a settle
// does not start inside another of its kind.
class raised_flag {
  public:
    explicit raised_flag(bool &flag) : flag_(flag), outer_(flag) { flag_ = true; }
    ~raised_flag() { flag_ = outer_; }
    // Whether the flag was up before: the scope is inside another of its kind.
    bool outer() const { return outer_; }
    raised_flag(raised_flag const &) = delete;
    raised_flag &operator=(raised_flag const &) = delete;

  private:
    bool &flag_;
    bool outer_;
};

// The flag behind settling_deep_tree.
bool &settling_flag();

// One walk of a law's tree, as hasa makes it, that enters each shared sub-law once: the list it
// fills keeps each law once, so a second visit adds nothing, and a tree that shares its
// sub-laws at every level (f*f, its square, ...) would be walked once per path, exponentially
// often. The outermost scope on a thread holds the laws met.
class shared_walk {
  public:
    shared_walk();
    ~shared_walk();
    shared_walk(shared_walk const &) = delete;
    shared_walk &operator=(shared_walk const &) = delete;
    // Whether l is met for the first time in the outermost walk.
    static bool first_visit(law const *l);

  private:
    std::unique_ptr<law_pointer_set> met_;
};

// A law on a walk's stack and the index of its next sub-law.
struct deep_walk_frame {
    law const *l;
    int next;
};

// Whether the laws below root that left_out does not reject nest deeper than deep_tree_levels,
// told without allocating when they do not: the walk is bounded in depth and in laws met, and
// "maybe" (true) is the answer past either bound. Most calls come from laws a level or two above
// laws already settled.
template <class LeftOut>
bool maybe_deep_tree(law const *root, LeftOut left_out) {
    // A tree no taller than that cannot nest deeper, whatever the walk would leave out.
    if (root->height() <= static_cast<std::uint32_t>(deep_tree_levels)) return false;
    deep_walk_frame stack[deep_tree_levels];
    int depth = 1, budget = 4 * deep_tree_levels;
    stack[0] = {root, 0};
    while (depth > 0) {
        deep_walk_frame &f = stack[depth - 1];
        law const *sub = sub_law_at(f.l, f.next++);
        if (!sub) {
            --depth;
        } else if (!left_out(sub)) {
            if (depth == deep_tree_levels || --budget == 0) return true;
            stack[depth++] = {sub, 0};
        }
    }
    return false;
}

// Calls settle on each law below root that left_out does not reject, sub-laws before the laws
// above them, when those laws nest deeper than deep_tree_levels; a law left out is not entered,
// and a law shared by several others is met once. Walked with a stack of its own. Returns
// whether the tree was deep.
template <class LeftOut, class Settle>
bool settle_deep_tree(law const *root, LeftOut left_out, Settle settle) {
    if (!maybe_deep_tree(root, left_out)) return false;
    std::vector<deep_walk_frame> stack{{root, 0}};
    std::vector<law const *> order;
    law_pointer_set met;
    met.insert(root);
    std::size_t deepest = 0;
    while (!stack.empty()) {
        deepest = std::max(deepest, stack.size());
        deep_walk_frame &f = stack.back();
        law const *sub = sub_law_at(f.l, f.next++);
        if (!sub) {
            if (f.l != root) order.push_back(f.l);
            stack.pop_back();
        } else if (met.insert(sub) && !left_out(sub)) {
            stack.push_back({sub, 0});
        }
    }
    if (deepest <= static_cast<std::size_t>(deep_tree_levels)) return false;
    raised_flag const on(settling_flag());
    for (law const *l : order) settle(l);
    return true;
}

// The scope of the outermost deep_copy on this thread: a deep tree's laws are first copied into
// the map from the deepest up, so that each family's copy, which asks the map for its sub-laws'
// copies, finds them there; the copies made inside the scope do not walk again.
class deep_copy_scope {
  public:
    deep_copy_scope(law const *root, pointer_map *map);

  private:
    raised_flag raised_;
};

// Answers of one operation for the laws of a deep tree, made from the deepest up by the outermost
// call on this thread (for one argument, key) and held until it returns; a family's step takes
// its sub-laws' answers from them instead of descending. Tag keeps each operation's apart. A law
// whose answer raised an error holds the error, raised again when its answer is asked for: the
// settle also answers laws that the operation may never reach.
template <class Tag, class Answer>
class held_answers {
  public:
    // A law that left_out rejects has no answer held, and the laws below it are not entered.
    template <class LeftOut, class Make>
    held_answers(law const *root, void const *key, LeftOut left_out, Make make)
        : held_answers(root, key, left_out, make,
                       [](law const *) { return std::exception_ptr(); }) {}
    // The same, where a law for which inherit names an error (one its sub-laws raised, which it
    // would raise in turn) holds that error without being made: a tower that fails at its foot
    // raises once, not once per level.
    template <class LeftOut, class Make, class Inherit>
    held_answers(law const *root, void const *key, LeftOut left_out, Make make, Inherit inherit)
        : raised_(flag()) {
        if (raised_.outer()) return;
        // The table is made at the first law settled: a tree that is not deep needs none.
        settle_deep_tree(root, left_out, [this, key, &make, &inherit](law const *l) {
            if (!made_) made_ = std::make_unique<table>(key);
            held h;
            h.raised = inherit(l);
            if (!h.raised) {
                try {
                    h.answer = make(l);
                } catch (...) {
                    h.raised = std::current_exception();
                }
            }
            made_->of.emplace(l, std::move(h));
        });
    }
    // The answer held for l and key, or null; the error it raised, if it did.
    static Answer const *find(law const *l, void const *key) {
        held const *h = held_for(l, key);
        if (h && h->raised) std::rethrow_exception(h->raised);
        return h ? &h->answer : nullptr;
    }
    // The same, but null also when l's answer raised an error.
    static Answer const *find_unraised(law const *l, void const *key) {
        held const *h = held_for(l, key);
        return h && !h->raised ? &h->answer : nullptr;
    }
    // Whether an answer is held for l and key; error is then the error it raised (null when
    // it raised none).
    static bool held_error(law const *l, void const *key, std::exception_ptr &error) {
        held const *h = held_for(l, key);
        if (h) error = h->raised;
        return h != nullptr;
    }

  private:
    struct held {
        Answer answer{};
        std::exception_ptr raised;
    };
    // Published while it lives, so that an error raised while settling leaves nothing behind.
    struct table {
        explicit table(void const *k) : key(k) { now() = this; }
        ~table() { now() = nullptr; }
        table(table const &) = delete;
        table &operator=(table const &) = delete;
        void const *key;
        std::unordered_map<law const *, held> of;
    };
    static held const *held_for(law const *l, void const *key) {
        table const *t = now();
        if (!t || t->key != key) return nullptr;
        auto const it = t->of.find(l);
        return it == t->of.end() ? nullptr : &it->second;
    }
    static bool &flag() {
        static thread_local bool up = false;
        return up;
    }
    static table const *&now() {
        static thread_local table const *held = nullptr;
        return held;
    }

    raised_flag raised_;
    std::unique_ptr<table> made_;
};

// The scope of the outermost set_domain on this thread: the restricted forms of a deep tree's
// laws, for restricted_sub.
class domain_scope : held_answers<domain_scope, law_ptr> {
  public:
    domain_scope(law const *root, ZEM::interval const *domains);
    // sub restricted to the domains, as set_domain(domains, 1) gives it; a new reference.
    static law *restricted_sub(law const *sub, ZEM::interval const *domains);
};

// The scope of the outermost in_domain on this thread: whether each law of a deep tree takes
// the point, for sub_in_domain, and the values of each law that does. A domain test asks for the
// values of its sub-laws (the square root of a value below 0 is out of its domain); a deep law
// asked for its values while the scope lives takes them from here (held_value), and each law's
// values are made from those of the laws below it, so that the tree is evaluated once, not once
// per level of it.
struct held_point {
    int in = 0;
    bool valued = false;
    std::vector<double> values;
};
class in_domain_scope : held_answers<in_domain_scope, held_point> {
  public:
    in_domain_scope(law const *root, double const *x);
    static int sub_in_domain(law const *sub, double const *x);
    // Copies into y the values of l at x when the scope holds them.
    static bool held_value(law const *l, double const *x, double *y);
};

// The scope of the evaluation of a deep law whose code gave its point back (a check of the code
// failed there): the values at x of each law of the tree as deep as a code's law
// (deep_law_height), made from the deepest up, each by one walked level from the values held
// below it. The law's own walk then meets its sub-laws' values one level down, instead of each
// deep sub-law running a code as deep as itself, which gives the point back again a level lower
// (the whole tree compiled once per level of it). A law whose values raised an error holds it,
// raised again when they are asked for.
class given_back_scope : held_answers<given_back_scope, std::vector<double>> {
  public:
    // Made by the law's code, which names the deep laws (left_out rejects the others) and walks
    // one level of a law (make).
    template <class LeftOut, class Make>
    given_back_scope(law const *root, double const *x, LeftOut left_out, Make make)
        : held_answers(root, x, left_out, make,
                       [x](law const *l) { return error_of_sides(l, x); }) {}
    // Copies into y the values of l at x when the scope holds them (or raises their error).
    static bool held_value(law const *l, double const *x, double *y);

  private:
    // The error l raises at x, told from its sides without walking it: a law that evaluates as
    // one operation over its sides, in order, raises the error of the first side that raises.
    // Null when l is no such law, or a side's answer is not held, or no side raised.
    static std::exception_ptr error_of_sides(law const *l, double const *x);
};

// The scope of the outermost term_domain on this thread: the domain of each law of a deep tree
// in one input, for sub_term_domain, so that a tower of ten thousand quotients answers without a
// call stack as deep as the tower.
struct held_domain {
    int known = 0;
    ZEM::interval domain;
};
class term_domain_scope : held_answers<term_domain_scope, held_domain> {
  public:
    term_domain_scope(law const *root, int which);
    // sub->term_domain(which, out), from the held domains when there are some.
    static int sub_term_domain(law const *sub, int which, ZEM::interval &out);
    // Whether the scope holds sub's domain.
    static bool holds(law const *sub, int which);
};

// The scope of the outermost estimate_bounds on this thread: the bounds of each law of a deep
// tree over the domain, for sub_bounds.
struct held_bounds {
    ZEM::interval bounds;
    int failed = 0;
};
class bounds_scope : held_answers<bounds_scope, held_bounds> {
  public:
    bounds_scope(law const *root, ZEM::interval const &domain);
    // sub->estimate_bounds(domain, failed), from the held bounds when there are some.
    static ZEM::interval sub_bounds(law const *sub, ZEM::interval const &domain, int &failed);
};

// The scope of the outermost polynomial on this thread: the polynomial of each law of a deep
// tree, for sub_polynomial. A sub-law that only its parent holds gives its polynomial up to it
// instead of a copy, so that a long product holds its partial polynomials one at a time.
struct held_polynomial {
    mutable std::unique_ptr<law_polynomial> p;
    mutable bool given_up = false;  // p went to the parent; a second call computes it again
};
class polynomial_scope : held_answers<polynomial_scope, held_polynomial> {
  public:
    polynomial_scope(law const *root, law *in);
    // sub->polynomial(in), from the held polynomials when there are some; the caller owns it.
    static law_polynomial *sub_polynomial(law const *sub, law *in);
};

// The range of the outermost singularities call on this thread, set before its answers are held,
// and the points found for the laws of its tree while it runs: the zero searches that give a
// law's points ask again for its members' (ABS of ABS of ... would otherwise cost twice as much
// a level).
class singular_range_guard {
  public:
    // Within the outermost call for [start, end], the points already found for l when l is a law
    // of its tree; null otherwise.
    static std::vector<singular_point> const *remembered(law const *l, double start, double end);
    static void remember(law const *l, double start, double end,
                         std::vector<singular_point> const &points);
    // The same for l's bounds over the whole range (the zero searches skip a law whose bounds
    // keep one sign), so that a tower asks each of its laws for them once.
    static held_bounds const *remembered_bounds(law const *l, ZEM::interval const &domain);
    static void remember_bounds(law const *l, ZEM::interval const &domain,
                                held_bounds const &bounds);

  protected:
    singular_range_guard(law const *root, double start, double end);
    ~singular_range_guard();
    singular_range_guard(singular_range_guard const &) = delete;
    singular_range_guard &operator=(singular_range_guard const &) = delete;
    // The range's key: the same address for every call on the thread.
    static void const *key();
    static bool holds(double start, double end);

  private:
    raised_flag raised_;
};

// The scope of the outermost singularities on this thread: the singular points of each law of a
// deep tree on one range, for sub_points.
class singularities_scope : singular_range_guard,
                            held_answers<singularities_scope, std::vector<singular_point>> {
  public:
    singularities_scope(law const *root, double start, double end);
    // singular_points_of(sub, start, end), from the held points when there are some.
    static std::vector<singular_point> sub_points(law const *sub, double start, double end);
    // The points of the members of root on [start, end], unsorted, each law of the tree asked
    // once while the outermost call runs.
    static std::vector<singular_point> member_points(law const *root, std::span<law *const> subs,
                                                     double start, double end);
};
