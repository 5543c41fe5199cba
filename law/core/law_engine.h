#pragma once
// What the law base needs from the evaluation engine above it (law/eval), and only this. A law
// holds its compiled form as a law_code and runs it through the code's one entry; the engine
// installs, when the library loads, how a law is compiled and how a compiled law runs over many
// points. The law classes compile themselves through law::emit_tape into the values below.
#include <atomic>
#include <cstdint>
#include <vector>

#include <law/core/law.h>
#include <law/core/small_list.h>

// The point a law is compiled at: the slots that hold its input values. The point of the law
// being compiled is its caller's x (id 0); a composition makes points of its inner values.
struct tape_point {
    int id = 0;
    std::vector<int> slots;
};

// The slots of the values a compiled law gives, and whether they depend on the point alone (no
// call of a law of unknown behaviour inside), in which case every use of the law may share them.
// A law that does not compile itself gives no slots: the engine calls its evaluate.
struct tape_values {
    small_list<int, 3> slots;
    bool pure = true;
};

// A law's compiled form as the base holds it.
class law_code {
  public:
    virtual ~law_code() = default;
    law_code(law_code const &) = delete;
    law_code &operator=(law_code const &) = delete;

    // The owner's values at x into y. A point the code cannot finish goes to give_back, which
    // gives the owner's own values or raises its error.
    void run_for(law const *owner, double const *x, double *y) const { entry_(owner, x, y, this); }

    // The owner's own evaluation, its sub-laws told that they are part of a walk.
    static void give_back(law const *owner, double const *x, double *y);

    // Machine code or the interpreter. Its arguments come in give_back's order, which is also a
    // law's evaluate's, so that neither the law nor machine code moves them; what it returns is
    // for callers without an owner.
    using entry_fn = bool (*)(law const *owner, double const *x, double *y, law_code const *code);

  protected:
    explicit law_code(entry_fn entry) : entry_(entry) {}
    entry_fn entry_;
};

// The points and values of law::evaluate_many in either of its layouts (the arrays of the other
// are null).
struct many_points {
    double const *points;
    double const *const *inputs;
    double *values;
    double *const *outputs;
    int *errors;
    int n;
};

struct engine_hooks {
    // The compiled form of l, or null when compiling gains nothing or is not safe.
    law_code *(*compile)(law const *l) = nullptr;
    // law::evaluate_many of l, through its code (null when l has none).
    void (*evaluate_many)(law const *l, law_code const *code, many_points const &at) = nullptr;
    // The sides of l in the order its evaluate takes them, when l evaluates as one operation
    // over their first values (an error of a side is then l's error); their count, else 0.
    int (*operation_sides)(law const *l, law const *sides[2]) = nullptr;
};

engine_hooks &engine();

// The law that is walking its tree on this thread (null when none), so that its sub-laws do not
// count those calls towards a compiled form of their own.
extern constinit thread_local law const *tape_walker;

// From this height on a law never walks its tree: it compiles at its first evaluation.
inline constexpr std::uint32_t deep_law_height = 256;
// From this many laws, counted at each use, a law compiles at its first evaluation too: a walk
// meets a shared sub-law at each of its uses, the code once.
inline constexpr std::uint64_t wide_law_size = 1u << 16;

// The values of a deep law l at x that a walk of its tree holds (a domain test, or a point its
// code gave back), copied into y; false when none are held.
bool held_deep_value(law const *l, double const *x, double *y);

inline bool law::taped_evaluate(double const *x, double *y) const {
    law const *const walker = tape_walker;
    if (walker == this) return false;  // the code gave this point back to the law
    // A walk of a deep tree (a domain test, a point given back) meets the values held for its
    // laws, not their codes, nor walks of the shallow ones: each of those would walk its own
    // tree again, at every law of the tree that holds it.
    if ((walker || height_ >= deep_law_height) && held_deep_value(this, x, y)) [[unlikely]]
        return true;
    if (law_code const *c = code_.load(std::memory_order_acquire)) [[likely]] {
        c->run_for(this, x, y);
        return true;
    }
    // Deep sub-laws of a walk take their codes too: the walk then goes one step down, not the
    // depth of the tree.
    if (walker && height_ < deep_law_height) return false;
    evaluate_by_tape(x, y);
    return true;
}
