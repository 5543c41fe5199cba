#pragma once
// The law: a reference-counted function object mapping take_dim reals to return_dim reals.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <law/base/accounting.h>
#include <law/base/box.h>
#include <law/base/complex_number.h>
#include <law/base/interval.h>
#include <law/base/matrix.h>
#include <law/base/memory.h>
#include <law/base/null_ref.h>
#include <law/base/nvector.h>
#include <law/base/par_pos.h>
#include <law/base/threads.h>
#include <law/base/transf.h>
#include <law/base/vector.h>
#include <law/core/law_ids.h>
#include <law/core/lawutil_errors.h>
#include <law/core/ref_ptr.h>
#include <law/core/use_count.h>

class law;
class law_data;
class law_data_node;
class law_polynomial;
struct pointer_map;
class law_code;
class tape_builder;
struct tape_point;
struct tape_values;
struct side_operation;
struct plain_form;

using law_ptr = ref_ptr<law>;

// A new law of class T held as a law_ptr: make_law<plus_law>(a, b).
template <class T, class... Args>
law_ptr make_law(Args &&...args) {
    return law_ptr::adopt(new T(std::forward<Args>(args)...));
}

// Class identity of a concrete law class: its id, type, isa chain and name.
#define LAW_IDENTITY(cls, base_cls)                                         \
  public:                                                                   \
    static constexpr int id() { return law_id::cls; }                       \
    int type() const override { return id(); }                              \
    int isa(int t) const override { return t == id() || base_cls::isa(t); } \
    char const *class_name() const override { return #cls; }                \
                                                                            \
  private:

// Identity plus the printed symbol and precedence from the class table.
#define LAW_CLASS_FACTS(cls, base_cls)                                                      \
    LAW_IDENTITY(cls, base_cls)                                                             \
  public:                                                                                   \
    char const *symbol(law_symbol_type t) const override { return law_symbol_of(id(), t); } \
    int precedence() const override { return law_facts(id()).precedence; }                  \
                                                                                            \
  private:

// Identity of a family base (abstract, no name of its own).
#define LAW_FAMILY_IDENTITY(cls, base_cls)                                  \
  public:                                                                   \
    static constexpr int id() { return law_id::cls; }                       \
    int isa(int t) const override { return t == id() || base_cls::isa(t); } \
                                                                            \
  private:

// What a family base overrides: how it compares, prints, dates, copies, restricts, sizes and
// searches its members (member_family.h does the last three for the families of laws or law
// data held one or in an array). The printer is declared apart, so that a family can make it final.
#define LAW_FAMILY_PRINTER                                                         \
    char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF, \
                 law_data_node *&list = NULL_REF) const override
#define LAW_FAMILY_STRUCTURE                                                    \
    int same(law const *a, law const *b) const override;                        \
    int date() const override;                                                  \
    law *deep_copy(pointer_map *map = nullptr) const override;                  \
    law *set_domain(ZEM::interval const *domains, int flag = 0) const override; \
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;    \
    void hasa(int type, VOID_LIST &out) const override;

// What a class that compiles itself into the tape declares: its tape form and its plain C++ form.
#define LAW_COMPILED_FORMS                                                       \
    tape_values emit_tape(tape_builder &b, tape_point const &at) const override; \
    bool plain_form_of(plain_form &f) const override;

// ... and, in the families whose members are laws, the domain and the singular points their
// members give.
#define LAW_MEMBER_DOMAIN_OVERRIDES                                         \
    int term_domain(int which, ZEM::interval &out) const override;          \
    int in_domain(double const *x) const override;                          \
    int singularities(double **where, int **type, double start, double end, \
                      double **period = nullptr) const override;

class law : public ZEM_heap {
  public:
    static constexpr int id() { return law_id::law; }

    law();
    law(law const &) = delete;
    law &operator=(law const &) = delete;

    // Use count. A law dies when remove() brings its count to 0. Both accept a null law.
    void add() const {
        if (!null_object(this)) use_count_.fetch_add(1, std::memory_order_relaxed);
    }
    void remove() const;
    int ref_count() const { return use_count_.load(std::memory_order_relaxed); }

    // ---- Virtual interface (slot order) ----
    virtual law *derivative(int which = 0) const;  // cached, simplified; new reference
    virtual void evaluate(double const *x, double *answer) const;
    virtual void evaluate_with_side(double const *x, double *answer, int const *side) const;
    virtual void evaluate_with_guess(double const *x, double *answer, double const *guess) const;
    // answer is a new array of answer_size doubles from vorn_allocate (null for 0).
    virtual void evaluateVAR(double const *x, double *&answer, int &answer_size) const;
    virtual int isa(int t) const { return t == id(); }
    virtual int type() const { return id(); }
    virtual char const *class_name() const = 0;
    int return_dim() const;
    int take_dim() const;
    virtual char const *symbol(law_symbol_type type = law_symbol_default) const;
    virtual int precedence() const { return 8; }
    virtual int same(law const *a, law const *b) const;
    // A new text from vorn_allocate; count and list collect the law data met while printing.
    virtual char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF,
                         law_data_node *&list = NULL_REF) const;
    virtual int date() const { return law_base_date; }
    virtual law *deep_copy(pointer_map *map = nullptr) const;
    virtual law_polynomial *polynomial(law *in) const;
    virtual int term_domain(int which, ZEM::interval &out) const;
    virtual int in_domain(double const *x) const;
    virtual int singularities(double **where, int **type, double start, double end,
                              double **period = nullptr) const;
    virtual law *set_domain(ZEM::interval const *domains, int flag = 0) const;
    virtual law *set_range(ZEM::interval const *range, int flag = 0) const;
    virtual ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const;
    virtual law *sub_simplify(int level, char const *&rule_name = NULL_REF) const;
    virtual law *enable_branching() const { return nullptr; }
    virtual int branches() const { return 0; }
    virtual void full_size(SizeAccumulator &acc, int count_self = 1) const;
    virtual void hasa(int type, VOID_LIST &out) const;

    // ---- Typed evaluation ----
    double eval(double x, int const &side = NULL_REF, double const &guess = NULL_REF) const;
    double evaluateM_R(double const *x, int const *side = nullptr,
                       double const *guess = nullptr) const;
    double evaluateC_R(complex_number z, int const *side = nullptr,
                       double const *guess = nullptr) const;
    double evaluateNV_R(nvector const &x, int const *side = nullptr,
                        double const *guess = nullptr) const;
    void evaluateDM(double const *x, double *answer, int n, int const *side = nullptr,
                    double const *guess = nullptr) const;
    double evaluateDM_R(double const *x, int n, int const *side = nullptr,
                        double const *guess = nullptr) const;
    double evaluateDR_R(double x, int n, int const &side = NULL_REF,
                        double const &guess = NULL_REF) const;
    ZEM::vector evaluateR_V(double x, int const &side = NULL_REF,
                            double const &guess = NULL_REF) const;
    ZEM::unit_vector evaluateR_UV(double x, int const &side = NULL_REF,
                                  double const &guess = NULL_REF) const;
    ZEM::position evaluateR_P(double x, int const &side = NULL_REF,
                              double const &guess = NULL_REF) const;
    ZEM::vector evaluateM_V(double const *x, int const *side = nullptr,
                            double const *guess = nullptr) const;
    ZEM::position evaluateM_P(double const *x, int const *side = nullptr,
                              double const *guess = nullptr) const;
    ZEM::vector evaluateDR_V(double x, int n, int const &side = NULL_REF,
                             double const &guess = NULL_REF) const;
    ZEM::position evaluateP_P(ZEM::position p, int const *side = nullptr,
                              double const *guess = nullptr) const;
    ZEM::par_pos evaluateP_PP(ZEM::position const &p, int const *side = nullptr,
                              double const *guess = nullptr) const;
    ZEM::par_pos evaluateM_PP(double const *x, int const *side = nullptr,
                              double const *guess = nullptr) const;
    ZEM::vector evaluatePP_V(ZEM::par_pos const &uv, int const *side = nullptr,
                             double const *guess = nullptr) const;
    ZEM::position evaluatePP_P(ZEM::par_pos const &uv, int const *side = nullptr,
                               double const *guess = nullptr) const;
    ZEM::vector evaluateNV_V(nvector const &x, int const *side = nullptr,
                             double const *guess = nullptr) const;
    ZEM::position evaluateNV_P(nvector const &x, int const *side = nullptr,
                               double const *guess = nullptr) const;
    ZEM::matrix evaluateM_MAT(double const *x) const;
    ZEM::transf evaluateM_T(double const *x) const;

    // ---- Many points at once ----
    // The values at n points, bit for bit those that evaluate gives one point at a time, computed
    // a block of points per operation of the law's compiled tape. points holds the n points one
    // after another (take_dim() doubles each); values receives return_dim() doubles per point.
    // Without errors, the error of the first point that fails is raised (the values of the points
    // before it are written). With errors, errors[k] receives the "lawutil" code of point k's
    // error, 0 when it has none, and the values of a failing point are NaN.
    void evaluate_many(double const *points, double *values, int n, int *errors = nullptr) const;
    // The same over a structure of arrays: inputs[i][k] is input i of point k and outputs[j][k]
    // receives value j of point k.
    void evaluate_many(double const *const *inputs, double *const *outputs, int n,
                       int *errors = nullptr) const;
    // One input per point: the values of a scalar law at each x.
    std::vector<double> evaluate_many(std::vector<double> const &xs) const;

    // ---- Derivatives, simplification, inverse ----
    law *nth_derivative(int n) const;
    law *uv_partials(int u, int v) const;
    int cached_derivative(int which) const;
    int set_derivative(int which, law *d, int use_given = 1) const;
    void reset_derivative(int which) const;
    int has_derivative(int which) const;
    // The level that simplifies afresh at level 1 whatever form is recorded: no recorded level
    // reaches it.
    static constexpr int simplify_afresh = 666;
    law *simplify(int level = 1, int flag = 0) const;
    int is_simplified(int level) const;
    void set_simplify(law *s, int level) const;
    void reset_simplify(law *s, int level) const;
    // Marks that let a pass of the simplifier skip this law without a lock: bit `mode` is set
    // when the law is its own recorded simplified form at a level that pass trusts, or when a
    // deep or post pass went through it and changed nothing.
    bool passed_unchanged(int mode) const {
        return pass_marks_.load(std::memory_order_relaxed) & (1u << mode);
    }
    void mark_passed_unchanged(int mode) const {
        pass_marks_.fetch_or(static_cast<std::uint8_t>(1u << mode), std::memory_order_relaxed);
    }
    // What the post pass of the simplifier made of this law when it changed it, with a use for
    // the caller (null when not known). The pass reads a law and its sub-laws alone, so a law
    // met again (a shared sub-law, a cached derivative inside a larger one) is rewritten once
    // and its form stays shared.
    law *post_form() const;
    void set_post_form(law *form) const;
    law *inverse() const;
    void set_inverse(law *inv) const;

    // ---- Classification and tests ----
    int zero(double tol = 1e-6) const;
    int integer() const;
    int constant() const;
    int linear() const;
    int identity(ZEM::interval const *box = nullptr) const;
    int identity(ZEM::box const &box) const;
    int operator==(law const &other) const;
    int operator!=(law const &other) const { return !(*this == other); }
    // Whether the two trees have as many laws (a chain of one operator counts it once per
    // operand, however the chain is grouped): equal laws do, so a law of another size differs
    // without a walk.
    bool same_tree_size(law const &other) const { return tree_size_ == other.tree_size_; }
    // The number of laws in the tree, counted that way (held below 2^62).
    std::uint64_t tree_size() const { return tree_size_; }
    // The laws on the longest path down the tree, this one included.
    std::uint32_t height() const { return height_; }
    // A hash of the law's structure, worked out once: laws equal by operator== have equal
    // hashes unless the lowest bit of either is set (a constant too close to the rounding of its
    // value in the hash, or a class from outside the library, whose `same` is its own).
    std::uint64_t structure_hash() const;
    // False when the hashes tell the two laws apart; true when they may be equal.
    bool may_equal(law const &other) const {
        std::uint64_t const a = structure_hash(), b = other.structure_hash();
        return ((a | b) & 1) || a == b;
    }
    // For a commutative, associative chain (plus, times): how many of its operands are
    // constant laws, counted up to 2. 0 for any other law.
    int chain_constants() const;
    // Whether the domain of every input below take_dim() (at least one) is the whole line:
    // term_domain answers 1 with an unbounded interval. Worked out once.
    bool unrestricted_domain() const;
    // Whether term_domain(which) is known to answer 1 with the whole line: worked out when
    // `work_out`, else only read when known.
    bool whole_line_domain(int which, bool work_out = true) const {
        if (which >= std::max(1, take_dim())) return false;
        if (work_out) return unrestricted_domain();
        return domain_state_.load(std::memory_order_relaxed) == 1;
    }

    // The range of each of the return_dim() outputs over the box [start[i], end[i]] of the
    // inputs (the inputs' term_domain when start is null) into min[k] and max[k], from samples
    // refined where the law bends by more than tol; step (when given) receives per input the
    // smallest spacing of the final samples. Returns twice the final interpolation error.
    // Raises LAW_BAD_BOUNDS when the box is not finite.
    double bounds(double *min, double *max, double const *start, double const *end, double tol,
                  double *step = nullptr) const;

    // The text with the law data met while printing, in the order met (each with a reference).
    char *string_and_data(law_data ***data, int *count,
                          law_symbol_type type = law_symbol_default) const;

    // Convenience for C++ callers: the printed text.
    std::string text(law_symbol_type type = law_symbol_default) const;

    // Number of laws alive in the process (for leak checks).
    static long live_count();

    // Compiles this law into a tape at the given point (law/eval/tape_builder.h). The default
    // gives no values, and the tape calls the law's own evaluate; the operator and function laws
    // compile their formula.
    virtual tape_values emit_tape(tape_builder &b, tape_point const &at) const;
    // A law that compiles into one operation over the first values of its sides says so here,
    // filling op, instead, so that chains of such laws compile to any depth without recursion;
    // false (the default) lets emit_tape decide.
    virtual bool compiles_as_operation(side_operation &op) const;
    // How this law is written as plain C++ (law/lang/plain_code.h); false (the default) when it
    // has none. Every class that compiles itself says so here too.
    virtual bool plain_form_of(plain_form &) const { return false; }
    // Whether evaluate now runs through a compiled tape (a law compiles itself after a few
    // evaluations; the values and errors are those of its own evaluation).
    bool compiled() const { return code_.load(std::memory_order_acquire) != nullptr; }

  protected:
    // A law dies through remove(), which raises BAD_LAW_USE_COUNT when the count leaves its
    // range; that check is where the count is answered for. A destructor never throws, so a law
    // destroyed with a count other than 0 (by a class that deletes one directly, or by a
    // constructor's error unwinding) records BAD_LAW_USE_COUNT as a warning (sys_warning) and is
    // destroyed all the same.
    virtual ~law();
    virtual law *deriv(int which) const;
    virtual law *sub_inverse() const { return nullptr; }
    virtual int take_size() const { return 1; }
    virtual int return_size() const { return 1; }
    // A law whose simplified form is deriv(which)'s, built nearer that form so that fewer
    // rewrites are left to the simplifier; null (the default) when the class has none. Only
    // derivative takes it: deriv still builds the rule's own tree.
    virtual law *short_deriv(int) const { return nullptr; }

    // Plain evaluation by the choice rule: side alone, guess alone, or neither/both.
    void evaluate_by(double const *x, double *answer, int const *side, double const *guess) const;
    // The evaluate of a class that compiles itself begins with this: true when the law's tape
    // (or, before it has one, the law's own tree walk) gave the answer.
    bool taped_evaluate(double const *x, double *y) const;
    // Accounts the cached simplified form, derivatives and inverse.
    void full_size_caches(SizeAccumulator &acc) const;
    // A family base calls this for each sub-law it holds (null ones too): the law keeps the
    // height and the size of its tree, and below a deep sub-law the dimensions are known before
    // anyone asks, so that neither asking them nor evaluating walks the depth of the tree.
    void hold_sub_law(law const *sub);
    // LAW_NULL_LAW, naming the class, for a law that holds a null sub-law anywhere in its tree.
    void require_sub_laws() const;

  private:
    class lock;
    static void destroy(law const *l);
    bool scalar_zero_shortcut() const;
    // Before the law has a tape: the count towards one, and the tree walk meanwhile.
    void evaluate_by_tape(double const *x, double *y) const;
    // The law's compiled form, compiled now unless compiling was tried before (null when it
    // cannot be).
    law_code const *tape_now() const;
    // The law's evaluate with its sub-laws told that they are part of a walk, not called from
    // outside.
    void evaluate_walking(double const *x, double *y) const;
    friend class law_code;
    friend class in_domain_scope;

    mutable std::atomic<std::int32_t> use_count_{1};
    mutable law const *next_pending_ = nullptr;  // link of the destruction queue
    mutable int known_level_ = 0;
    mutable int not_level_ = 0;
    mutable fast_mutex mutex_;
    mutable law *simplified_ = nullptr;
    mutable std::atomic<int> simplify_level_{-1};  // the record's level; -1 with no record
    mutable law **dlaw_ = nullptr;
    mutable int dlaw_size_ = 0;
    mutable law *inverse_law_ = nullptr;
    mutable law *post_form_ = nullptr;
    mutable std::atomic<int> take_dim_cache_{-1};
    mutable std::atomic<int> return_dim_cache_{-1};
    mutable std::atomic<std::uint8_t> pass_marks_{0};
    mutable std::atomic<std::uint16_t> outside_calls_{0};
    mutable std::atomic<law_code const *> code_{nullptr};
    std::uint32_t height_ = 1;  // laws on the longest path down the tree, this one included
    // A family base was given a null sub-law (the registry's prototypes are made so), here or
    // below: such a law has nothing to simplify or differentiate (LAW_NULL_LAW).
    bool missing_member_ = false;
    // Laws of the tree, a shared sub-law counted at each use, held from growing past 2^62.
    std::uint64_t tree_size_ = 1;
    // structure_hash (0 until worked out), and for a commutative, associative chain the sum of
    // its operands' hashes, which a chain above it adds to its own.
    mutable std::atomic<std::uint64_t> hash_{0};
    mutable std::atomic<std::uint64_t> chain_sum_{0};
    mutable std::atomic<std::uint8_t> chain_constants_{0};  // chain_constants() + 1; 0 not known
    mutable std::atomic<std::uint8_t> domain_state_{0};     // 0 not known, 1 unrestricted, 2 not
};

inline int law::return_dim() const {
    int d = return_dim_cache_.load(std::memory_order_relaxed);
    if (d < 0) {
        d = return_size();
        return_dim_cache_.store(d, std::memory_order_relaxed);
    }
    return d;
}

inline int law::take_dim() const {
    int d = take_dim_cache_.load(std::memory_order_relaxed);
    if (d < 0) {
        d = take_size();
        take_dim_cache_.store(d, std::memory_order_relaxed);
    }
    return d;
}

// Identity from the class table for a family of classes that differ in their id alone:
// table_law<law_id::sin_law, function_law> gives id, type, isa, class name, symbols and
// precedence of that row.
template <int Id, class Base>
class table_law : public Base {
  public:
    using Base::Base;
    static constexpr int id() { return Id; }
    int type() const override { return Id; }
    int isa(int t) const override { return t == Id || Base::isa(t); }
    char const *class_name() const override { return law_facts(Id).name; }
    char const *symbol(law_symbol_type t) const override { return law_symbol_of(Id, t); }
    int precedence() const override { return law_facts(Id).precedence; }
};

// Ids for law classes written outside the library: 127, 128, ... (main thread only).
int new_law_id();

// Checked casts over isa: law_isa<T>(l), law_cast<T>(l) (null when l is not a T).
template <class T>
bool law_isa(law const *l) {
    return l && l->isa(T::id());
}
template <class T>
T const *law_cast(law const *l) {
    return law_isa<T>(l) ? static_cast<T const *>(l) : nullptr;
}

// The order-th derivative of l with respect to input `which` (a new reference; l itself with one
// more use for order 0).
law *repeated_derivative(law const *l, int which, int order);

// Reports the rule a sub_simplify applied, when its caller asked for the name.
inline void note_rule(char const *&rule_name, char const *rule) {
    if (!is_null_ref(rule_name)) rule_name = rule;
}

// Equal laws: the same object, or equal by operator== (null only equals null).
inline bool same_law(law const *a, law const *b) { return a == b || (a && b && *a == *b); }

// 1 when the two lists of n laws hold equal laws in any order (each b used once).
int same_law_list(law **a, law **b, int n);

// Makes an unbounded or half-bounded interval finite with the given width.
void make_bound_interval(ZEM::interval &iv, double len);

// The first output of l at x, whatever the number of outputs l has (0 when it has none).
double first_value_wide(law const *l, double const *x);
inline double first_value(law const *l, double const *x) {
    if (l->return_dim() == 1) {
        double a;
        l->evaluate(x, &a);
        return a;
    }
    return first_value_wide(l, x);
}
