#include <law/core/law.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <law/base/tolerance.h>
#include <law/core/constant_law.h>
#include <law/core/counted_array.h>
#include <law/core/deep_tree.h>
#include <law/core/derivative_budget.h>
#include <law/core/eval_buffer.h>
#include <law/core/law_data.h>
#include <law/core/law_data_node.h>
#include <law/core/law_engine.h>
#include <law/core/small_list.h>
#include <law/core/upper_layers.h>

namespace {
std::atomic<long> live_laws{0};
std::atomic<int> last_law_id{law_id::first_free};

constexpr double scalar_zero_probe = 0.896543;

void release_cached(law const *owner, law *cached) {
    if (cached && cached != owner) cached->remove();
}

void store_cached(law const *owner, law *&slot, law *value) {
    release_cached(owner, slot);
    if (value && value != owner) value->add();
    slot = value;
}

// Bounded to a width of 10000 around what the interval allows.
ZEM::interval bounded_domain(ZEM::interval iv) {
    make_bound_interval(iv, 10000);
    return iv;
}
}  // namespace

// Holds the law's mutex unless thread safety is switched off.
class law::lock {
  public:
    explicit lock(law const *l) : m_(mt_globals::skip_thread_safety() ? nullptr : &l->mutex_) {
        if (m_) m_->lock();
    }
    ~lock() {
        if (m_) m_->unlock();
    }
    lock(lock const &) = delete;
    lock &operator=(lock const &) = delete;

  private:
    fast_mutex *m_;
};

void make_bound_interval(ZEM::interval &iv, double len) {
    if (iv.finite()) return;
    if (iv.bounded_below())
        iv = ZEM::interval(iv.start_pt(), iv.start_pt() + len);
    else if (iv.bounded_above())
        iv = ZEM::interval(iv.end_pt() - len, iv.end_pt());
    else
        iv = ZEM::interval(-len / 2, len / 2);
}

namespace {
constinit thread_local long made_here = 0;
}  // namespace

long laws_made_on_this_thread() { return made_here; }

law::law() {
    live_laws.fetch_add(1, std::memory_order_relaxed);
    ++made_here;
}

law::~law() {
    // A constructor that raised an error unwinds through here with its first reference.
    if (use_count_.load(std::memory_order_relaxed) != 0 && std::uncaught_exceptions() == 0)
        law_warning(BAD_LAW_USE_COUNT);
    for (int i = 0; i < dlaw_size_; ++i) release_cached(this, dlaw_[i]);
    release_cached(this, simplified_);
    release_cached(this, inverse_law_);
    release_cached(this, post_form_);
    vorn_discard(dlaw_);
    delete code_.load(std::memory_order_relaxed);
    if (passed_unchanged(kept_product_mark)) upper_layers().forget_product(this);
    live_laws.fetch_sub(1, std::memory_order_relaxed);
}

void law::hold_sub_law(law const *sub) {
    if (!sub) {
        missing_member_ = true;
        return;
    }
    missing_member_ = missing_member_ || sub->missing_member_;
    height_ = std::max(height_, sub->height_ + 1);
    constexpr std::uint64_t size_cap = std::uint64_t{1} << 62;
    tree_size_ = std::min(tree_size_ + sub->tree_size_, size_cap);
    if (sub->height_ + 1 < deep_law_height) return;
    // Each deep sub-law below has its dimensions already, so that these are one step.
    try {
        sub->take_dim();
        sub->return_dim();
    } catch (vorn_exception const &) {
        // A law that cannot tell them yet is asked again when they are needed.
    }
}

long law::live_count() { return live_laws.load(std::memory_order_relaxed); }

void law::require_sub_laws() const {
    if (missing_member_)
        law_error(LAW_NULL_LAW, std::string(class_name()) + " holds a null sub-law");
}

void law::remove() const {
    if (null_object(this)) return;
    int const n = use_count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (n < 0 || n > 1000000000) return use_count_fault(BAD_LAW_USE_COUNT);
    if (n == 0) destroy(this);
}

// Destruction is iterative: a law whose last reference goes while another law is being destroyed
// on this thread is queued, so that the depth of a tree never reaches the stack. The queue is
// linked through the dying laws themselves: nothing here needs a thread-exit destructor, so a law
// released during static destruction is still safe.
namespace {
constinit thread_local law const *pending_head = nullptr;
constinit thread_local bool destroying = false;
}  // namespace

void law::destroy(law const *l) {
    l->next_pending_ = pending_head;
    pending_head = l;
    if (destroying) return;
    destroying = true;
    destructor_scope const scope;
    while (law const *next = pending_head) {
        pending_head = next->next_pending_;
        delete next;
    }
    destroying = false;
}

int new_law_id() {
    mt_thread_not_permitted();
    return last_law_id.fetch_add(1) + 1;
}

// ---------------------------------------------------------------- base behaviour

law *law::deriv(int) const { return nullptr; }

void law::evaluate(double const *, double *) const { law_error(LAW_EVAL); }

void law::evaluate_with_side(double const *x, double *answer, int const *) const {
    evaluate(x, answer);
}

void law::evaluate_with_guess(double const *x, double *answer, double const *) const {
    evaluate(x, answer);
}

void law::evaluateVAR(double const *x, double *&answer, int &answer_size) const {
    answer_size = return_dim();
    answer = answer_size > 0 ? VORN_ARRAY(double, answer_size) : nullptr;
    if (!answer) return;
    try {
        evaluate(x, answer);
    } catch (...) {
        vorn_discard(answer);
        answer = nullptr;
        throw;
    }
}

char const *law::symbol(law_symbol_type) const { law_error(LAW_SYMBOL); }

int law::same(law const *, law const *) const { return 0; }

char *law::string(law_symbol_type, int &, law_data_node *&) const {
    return zem_new_str_from("<null>");
}

law *law::deep_copy(pointer_map *) const { law_error(LAW_DEEP_COPY); }

int law::term_domain(int, ZEM::interval &out) const {
    out = ZEM::interval();
    return 1;
}

int law::in_domain(double const *) const { return 1; }

int law::singularities(double **where, int **type, double, double, double **period) const {
    if (where) *where = nullptr;
    if (type) *type = nullptr;
    if (period) *period = nullptr;
    return 0;
}

law *law::set_domain(ZEM::interval const *domains, int flag) const {
    if (flag != 0) {
        add();
        return const_cast<law *>(this);
    }
    if (!domains) law_error(LAW_NULL_LAW, "no intervals to restrict the law to");
    int const n = std::max(1, take_dim());
    // The law, then a low and a high bound per input.
    law_array subs(2 * n + 1);
    subs.push_shared(this);
    for (int i = 0; i < n; ++i) {
        subs.push(make_law<constant_law>(domains[i].start_pt()));
        subs.push(make_law<constant_law>(domains[i].end_pt()));
    }
    return upper_layers().make_domain(subs.data(), subs.size());
}

law *law::set_range(ZEM::interval const *, int) const { return nullptr; }

ZEM::interval law::estimate_bounds(ZEM::interval const &, int &) const {
    law_error(LAW_BAD_BOUNDS);
}

law *law::sub_simplify(int, char const *&) const { return nullptr; }

void law::full_size_caches(SizeAccumulator &acc) const {
    lock g(this);
    if (simplified_ && simplified_ != this) simplified_->full_size(acc, 1);
    if (dlaw_) {
        acc.addSize(sizeof(law *) * static_cast<std::size_t>(dlaw_size_));
        for (int i = 0; i < dlaw_size_; ++i)
            if (dlaw_[i] && dlaw_[i] != this) dlaw_[i]->full_size(acc, 1);
    }
    if (inverse_law_ && inverse_law_ != this) inverse_law_->full_size(acc, 1);
    if (post_form_) post_form_->full_size(acc, 1);
}

void law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(law));
    full_size_caches(acc);
}

void law::hasa(int t, VOID_LIST &out) const {
    if (isa(t)) out.add(this);
}

// ---------------------------------------------------------------- typed evaluation

void law::evaluate_by(double const *x, double *answer, int const *side, double const *guess) const {
    if (side && !guess)
        evaluate_with_side(x, answer, side);
    else if (guess && !side)
        evaluate_with_guess(x, answer, guess);
    else
        evaluate(x, answer);
}

namespace {
// Evaluates into a buffer of at least `expected` doubles (more when the law returns more, so a
// law of the wrong shape never writes past the caller's result).
template <int expected, class F>
void with_answer(law const *l, double *out, F &&evaluate) {
    int const n = l->return_dim();
    if (n <= expected) {
        evaluate(out);
        return;
    }
    eval_buffer wide(n);
    evaluate(wide.data());
    std::memcpy(out, wide.data(), sizeof(double) * expected);
}
}  // namespace

double first_value_wide(law const *l, double const *x) {
    int const n = l->return_dim();
    // A law of no value is evaluated all the same, so that it raises what its tape raises.
    eval_buffer y(std::max(n, 1));
    l->evaluate(x, y.data());
    return n > 0 ? y[0] : 0.0;
}

namespace {
// The coordinates given, followed by zeros up to what the law takes: entry points that hand a law
// one or two values never let it read past them.
class padded_point {
  public:
    padded_point(law const *l, std::initializer_list<double> given)
        : n_(std::max(static_cast<int>(given.size()), l->take_dim())), buf_(n_) {
        int i = 0;
        for (double v : given) buf_[i++] = v;
        for (; i < n_; ++i) buf_[i] = 0.0;
    }
    double const *data() { return buf_.data(); }

  private:
    int n_;
    eval_buffer buf_;
};
}  // namespace

double law::eval(double x, int const &side, double const &guess) const {
    double a = 0;
    padded_point in(this, {x});
    with_answer<1>(this, &a,
                   [&](double *y) { evaluate_by(in.data(), y, given(side), given(guess)); });
    return a;
}

double law::evaluateM_R(double const *x, int const *side, double const *guess) const {
    double a = 0;
    with_answer<1>(this, &a, [&](double *y) { evaluate_by(x, y, side, guess); });
    return a;
}

double law::evaluateC_R(complex_number z, int const *side, double const *guess) const {
    padded_point x(this, {z.re, z.im});
    return evaluateM_R(x.data(), side, guess);
}

double law::evaluateNV_R(nvector const &x, int const *side, double const *guess) const {
    if (return_dim() != 1 || take_dim() > x.dimension()) law_error(LAW_EVALV);
    return evaluateM_R(x.coordinates(), side, guess);
}

void law::evaluateDM(double const *x, double *answer, int n, int const *side,
                     double const *guess) const {
    if (n <= 0) {
        evaluate_by(x, answer, side, guess);
        return;
    }
    law_ptr const d = adopt(derivative(0));
    int const values = return_dim();
    if (d->return_dim() != values) {
        // The answer holds this law's values. A zero vector's derivative may be the number 0,
        // which stands for each of them; any other shape would write past them or leave some
        // unwritten.
        if (!d->scalar_zero_shortcut()) law_error(LAW_DIM);
        std::fill_n(answer, std::max(values, 0), 0.0);
        return;
    }
    d->evaluateDM(x, answer, n - 1, side, guess);
}

double law::evaluateDM_R(double const *x, int n, int const *side, double const *guess) const {
    double a = 0;
    with_answer<1>(this, &a, [&](double *y) { evaluateDM(x, y, n, side, guess); });
    return a;
}

double law::evaluateDR_R(double x, int n, int const &side, double const &guess) const {
    padded_point in(this, {x});
    return evaluateDM_R(in.data(), n, given(side), given(guess));
}

bool law::scalar_zero_shortcut() const {
    if (return_dim() != 1) return false;
    eval_buffer x(std::max(1, take_dim()));
    for (int i = 0; i < std::max(1, take_dim()); ++i) x[i] = scalar_zero_probe;
    double v = 0;
    evaluate(x.data(), &v);
    return v == 0.0;
}

namespace {
ZEM::vector as_vector(double const *a) { return {a[0], a[1], a[2]}; }
ZEM::position as_position(double const *a) { return {a[0], a[1], a[2]}; }
}  // namespace

ZEM::vector law::evaluateR_V(double x, int const &side, double const &guess) const {
    if (scalar_zero_shortcut()) return {};
    if (return_dim() != 3) law_error(LAW_EVALV);
    if (take_dim() > 1) law_error(LAW_EVALV_ONE);
    double a[3];
    padded_point in(this, {x});
    evaluate_by(in.data(), a, given(side), given(guess));
    return as_vector(a);
}

ZEM::unit_vector law::evaluateR_UV(double x, int const &side, double const &guess) const {
    if (scalar_zero_shortcut()) law_error(LAW_BAD_UNIT_VECTOR);
    if (return_dim() != 3) law_error(LAW_EVALV);
    if (take_dim() > 1) law_error(LAW_EVALV_ONE);
    double a[3];
    padded_point in(this, {x});
    evaluate_by(in.data(), a, given(side), given(guess));
    ZEM::vector const v = as_vector(a);
    if (std::fabs(v.len() - 1) > get_resabs()) law_error(LAW_BAD_UNIT_VECTOR);
    return normalise(v);
}

ZEM::position law::evaluateR_P(double x, int const &side, double const &guess) const {
    if (scalar_zero_shortcut()) return {};
    if (return_dim() != 3) law_error(LAW_EVALV);
    double a[3];
    padded_point in(this, {x});
    evaluate_by(in.data(), a, given(side), given(guess));
    return as_position(a);
}

ZEM::vector law::evaluateM_V(double const *x, int const *side, double const *guess) const {
    if (return_dim() == 1) return {};
    if (return_dim() != 3) law_error(LAW_EVALVM);
    double a[3];
    evaluate_by(x, a, side, guess);
    return as_vector(a);
}

ZEM::position law::evaluateM_P(double const *x, int const *side, double const *guess) const {
    if (scalar_zero_shortcut()) return {};
    if (return_dim() != 3) law_error(LAW_EVALV);
    double a[3];
    evaluate_by(x, a, side, guess);
    return as_position(a);
}

ZEM::vector law::evaluateDR_V(double x, int n, int const &side, double const &guess) const {
    law_ptr const d = adopt(nth_derivative(n));
    if (d->return_dim() == 1 && (d->scalar_zero_shortcut() || d->constant())) return {};
    if (return_dim() != 3) law_error(LAW_EVALDV);
    if (take_dim() > 1) law_error(LAW_EVALDV_ONE);
    padded_point in(d.get(), {x});
    return d->evaluateM_V(in.data(), given(side), given(guess));
}

ZEM::position law::evaluateP_P(ZEM::position p, int const *side, double const *guess) const {
    if (scalar_zero_shortcut()) return {};
    if (return_dim() != 3 || take_dim() != 3) law_error(LAW_EVALV);
    double const x[3] = {p.x(), p.y(), p.z()};
    double a[3];
    evaluate_by(x, a, side, guess);
    return as_position(a);
}

ZEM::par_pos law::evaluateP_PP(ZEM::position const &p, int const *side, double const *guess) const {
    padded_point x(this, {p.x(), p.y(), p.z()});
    return evaluateM_PP(x.data(), side, guess);
}

ZEM::par_pos law::evaluateM_PP(double const *x, int const *side, double const *guess) const {
    if (scalar_zero_shortcut()) return {};
    if (return_dim() != 2) law_error(LAW_EVALV);
    double a[2];
    evaluate_by(x, a, side, guess);
    return {a[0], a[1]};
}

ZEM::vector law::evaluatePP_V(ZEM::par_pos const &uv, int const *side, double const *guess) const {
    if (scalar_zero_shortcut()) return {};
    if (return_dim() != 3 || take_dim() > 2) law_error(LAW_EVALV);
    double const x[2] = {uv.u, uv.v};
    double a[3];
    evaluate_by(x, a, side, guess);
    return as_vector(a);
}

ZEM::position law::evaluatePP_P(ZEM::par_pos const &uv, int const *side,
                                double const *guess) const {
    return ZEM::origin + evaluatePP_V(uv, side, guess);
}

ZEM::vector law::evaluateNV_V(nvector const &x, int const *side, double const *guess) const {
    if (scalar_zero_shortcut()) return {};
    if (return_dim() != 3) law_error(LAW_EVALV);
    // Inputs the point does not give read as 0.
    eval_buffer in(std::max(take_dim(), x.dimension()));
    for (int i = 0; i < std::max(take_dim(), x.dimension()); ++i)
        in[i] = i < x.dimension() ? x[i] : 0.0;
    double a[3];
    evaluate_by(in.data(), a, side, guess);
    return as_vector(a);
}

ZEM::position law::evaluateNV_P(nvector const &x, int const *side, double const *guess) const {
    return ZEM::origin + evaluateNV_V(x, side, guess);
}

ZEM::matrix law::evaluateM_MAT(double const *x) const {
    if (return_dim() == 1) return {};
    if (return_dim() != 9) law_error(LAW_EVALMMAT);
    double a[9];
    evaluate(x, a);
    return {as_vector(a), as_vector(a + 3), as_vector(a + 6)};
}

ZEM::transf law::evaluateM_T(double const *x) const {
    if (return_dim() == 1) return {};
    if (return_dim() != 13) law_error(LAW_EVALMT);
    double a[13];
    evaluate(x, a);
    ZEM::unit_vector const X(a[0], a[1], a[2]), Y(a[3], a[4], a[5]), Z(a[6], a[7], a[8]);
    ZEM::position const O(a[9], a[10], a[11]);
    ZEM::transf const M = (X * Y) % Z < 0
                              ? coordinate_transf(ZEM::origin, X, Y) * reflect_transf(Z) *
                                    translate_transf(O - ZEM::origin)
                              : coordinate_transf(O, X, Y);
    return scale_transf(a[12]) * M;
}

// ---------------------------------------------------------------- derivatives

namespace {
void grow(law **&slots, int &size, int needed) {
    if (needed <= size) return;
    law **bigger = VORN_ARRAY(law *, needed);
    for (int i = 0; i < needed; ++i) bigger[i] = i < size ? slots[i] : nullptr;
    vorn_discard(slots);
    slots = bigger;
    size = needed;
}
}  // namespace

namespace {
constinit thread_local bool differentiating = false;

// A deep tree is differentiated from its deepest laws up, each law simplified and differentiated
// once (their own simplified forms and derivatives then come from the caches, and a rule that
// looks into a sub-law meets its record). What cannot be simplified or differentiated here
// raises again when the law above needs it.
void settle_derivatives(law const *root, int which) {
    if (differentiating) return;
    raised_flag const on(differentiating);
    settle_deep_tree(
        root, [which](law const *l) { return l->cached_derivative(which) != 0; },
        [which](law const *l) {
            // A spent budget ends the settle here rather than at each law left.
            derivative_budget::check();
            try {
                l->take_dim();
                law_ptr const s = adopt(l->simplify(1, 0));
                law_ptr const d = adopt(l->derivative(which));
            } catch (vorn_exception const &) {
            }
        });
}
}  // namespace

law *law::derivative(int which) const {
    if (which < 0) law_error(LAW_DERIV);
    require_sub_laws();
    if (!cached_derivative(which)) {
        derivative_budget::check();
        settle_derivatives(this, which);
    }
    lock g(this);
    grow(dlaw_, dlaw_size_, which + 1);
    if (!dlaw_[which]) {
        law_ptr d = adopt(short_deriv(which));
        if (!d) d = adopt(deriv(which));
        if (!d) law_error(LAW_DERIV);
        law_ptr const s = adopt(d->simplify(1, 0));
        set_derivative(which, s.get(), 1);
    }
    law *const d = dlaw_[which];
    d->add();
    return d;
}

law *law::nth_derivative(int n) const { return uv_partials(n, 0); }

law *law::uv_partials(int u, int v) const {
    law_ptr const du = adopt(repeated_derivative(this, 0, u));
    return repeated_derivative(du.get(), 1, v);
}

law *repeated_derivative(law const *l, int which, int order) {
    law_ptr current = share(l);
    for (int i = 0; i < order && current; ++i) current = adopt(current->derivative(which));
    return current.release();
}

int law::cached_derivative(int which) const {
    lock g(this);
    return which >= 0 && which < dlaw_size_ && dlaw_[which] ? 1 : 0;
}

int law::set_derivative(int which, law *d, int use_given) const {
    if (which < 0) return 1;
    lock g(this);
    grow(dlaw_, dlaw_size_, which + 1);
    if (use_given || !d) {
        store_cached(this, dlaw_[which], d);
    } else {
        law *const copy = d->deep_copy(nullptr);
        release_cached(this, dlaw_[which]);
        dlaw_[which] = copy;
    }
    return 1;
}

void law::reset_derivative(int which) const {
    lock g(this);
    if (which < 0 || which >= dlaw_size_ || !dlaw_[which]) return;
    set_derivative(which, nullptr, 1);
}

int law::has_derivative(int which) const {
    if (missing_member_) return 0;  // a null sub-law has none
    law_ptr const d = adopt(deriv(which));
    return d ? 1 : 0;
}

// ---------------------------------------------------------------- simplification, inverse

// Read without the lock, at every step of the simplifier: a caller that goes on to the record
// takes it through simplify, under the lock.
int law::is_simplified(int level) const {
    return simplify_level_.load(std::memory_order_acquire) >= level;
}

void law::set_simplify(law *s, int level) const {
    lock g(this);
    if (is_simplified(level)) return;
    reset_simplify(s, level);
}

void law::reset_simplify(law *s, int level) const {
    lock g(this);
    store_cached(this, simplified_, s);
    simplify_level_.store(s ? level : -1, std::memory_order_release);
    // A recorded form other than the law itself is what later passes must take; marks past the
    // three lists' say what made the law, which a record does not change.
    if (s != this)
        pass_marks_.fetch_and(static_cast<std::uint8_t>(~0b111u), std::memory_order_relaxed);
    else
        pass_marks_.fetch_or(level >= 2   ? 0b111
                             : level >= 1 ? 0b001
                                          : 0,
                             std::memory_order_relaxed);
}

bool law::unrestricted_domain() const {
    std::uint8_t state = domain_state_.load(std::memory_order_relaxed);
    if (state == 0) {
        bool whole = true;
        try {
            for (int i = 0; i < std::max(1, take_dim()) && whole; ++i) {
                ZEM::interval d;
                whole = term_domain(i, d) && !d.bounded_below() && !d.bounded_above();
            }
        } catch (vorn_exception const &) {
            // A domain that cannot be told is not the whole line; asking again raises again.
            whole = false;
        }
        state = whole ? 1 : 2;
        domain_state_.store(state, std::memory_order_relaxed);
    }
    return state == 1;
}

law *law::simplify(int level, int flag) const {
    require_sub_laws();
    lock g(this);
    if (!is_simplified(level)) {
        int const working = level == simplify_afresh ? 1 : level;
        {
            law_ptr const s = adopt(upper_layers().simplify(this, working, flag));
            reset_simplify(s.get(), working);
        }
        // A simplified form never has a wider domain than its law. Two laws whose every input
        // ranges over the whole line have the same domains without a comparison.
        bool const same_domains = simplified_ == this || settling_deep_tree() ||
                                  (unrestricted_domain() && simplified_->unrestricted_domain() &&
                                   simplified_->take_dim() >= take_dim());
        int const n = same_domains ? 0 : std::max(1, take_dim());
        bool differ = false;
        for (int i = 0; i < n && !differ; ++i) {
            ZEM::interval mine, theirs;
            int const r1 = term_domain(i, mine);
            if (!r1) break;
            int const r2 = simplified_->term_domain(i, theirs);
            differ = r1 != r2 || mine != theirs;
        }
        if (differ) {
            std::unique_ptr<ZEM::interval[]> domains(new ZEM::interval[n]);
            for (int i = 0; i < n; ++i) term_domain(i, domains[i]);
            law_ptr const wrapped = adopt(simplified_->set_domain(domains.get(), 0));
            store_cached(this, simplified_, wrapped.get());
        }
    }
    simplified_->add();
    return simplified_;
}

law *law::post_form() const {
    lock g(this);
    if (post_form_) post_form_->add();
    return post_form_;
}

void law::set_post_form(law *form) const {
    lock g(this);
    store_cached(this, post_form_, form);
}

law *law::inverse() const {
    lock g(this);
    if (!inverse_law_) {
        law_ptr const inv = adopt(sub_inverse());
        if (inv) set_inverse(inv.get());
    }
    if (inverse_law_) inverse_law_->add();
    return inverse_law_;
}

void law::set_inverse(law *inv) const {
    lock g(this);
    store_cached(this, inverse_law_, inv);
}

// ---------------------------------------------------------------- classification

namespace classification {
constexpr int zero = 1, integer = 2, constant = 3, linear = 4;
}

int law::zero(double tol) const {
    lock g(this);
    if (not_level_ >= classification::zero) return 0;
    if (known_level_ == classification::zero) return 1;
    if (constant() && return_dim() == 1) {
        ZEM::interval d;
        double const x = term_domain(0, d) ? d.mid_pt() : 0.112334;
        if (tol > std::fabs(eval(x))) {
            known_level_ = classification::zero;
            return 1;
        }
    }
    not_level_ = classification::zero;
    return 0;
}

int law::integer() const {
    lock g(this);
    if (not_level_ >= classification::integer) return 0;
    if (known_level_ == classification::zero || known_level_ == classification::integer) return 1;
    if (constant()) {
        double const v = eval(1.0);
        if (v == std::trunc(v)) {
            known_level_ = classification::integer;
            return 1;
        }
    }
    not_level_ = classification::integer;
    return 0;
}

namespace {

// Most of the constant test's samples are not checked against the domain first: a law that raises
// at one (a power of a negative base, an overflow) has no value there, so it is not constant.
bool evaluates(law const &s, double x, double *values) {
    try {
        s.evaluate(&x, values);
        return true;
    } catch (vorn_exception const &) {
        return false;
    }
}

}  // namespace

int law::constant() const {
    lock g(this);
    if (not_level_ >= classification::constant) return 0;
    if (known_level_ >= 1 && known_level_ <= classification::constant) return 1;
    law_ptr const s = adopt(simplify(1, 0));
    bool is_constant = true;
    ZEM::interval domain;
    if (s->take_dim() == 0) {
        is_constant = true;
    } else if (s->take_dim() != 1 || !s->term_domain(0, domain)) {
        is_constant = false;
    } else {
        domain = bounded_domain(domain);
        double const lo = domain.start_pt(), hi = domain.end_pt();
        int const n = s->return_dim();
        eval_buffer first(n), sample(n);
        if (!in_domain(padded_point(this, {lo}).data())) {
            is_constant = false;
        } else {
            is_constant = evaluates(*s, lo + (hi - lo) / 8, first.data());
        }
        for (int k = 2; k <= 7 && is_constant; ++k) {
            double const xk = lo + k * (hi - lo) / 8;
            if (!in_domain(padded_point(this, {xk}).data())) {
                is_constant = false;
                break;
            }
            double const step = (hi - lo) / 80 * std::cos(static_cast<double>(k));
            for (int m = 2; m <= n + 1 && is_constant; ++m) {
                if (!evaluates(*s, xk + m * step, sample.data())) {
                    is_constant = false;
                    break;
                }
                for (int j = 0; j < n; ++j)
                    if (std::fabs(sample[j] - first[j]) > get_resabs()) is_constant = false;
            }
        }
    }
    if (is_constant)
        known_level_ = classification::constant;
    else
        not_level_ = classification::constant;
    return is_constant;
}

int law::linear() const {
    lock g(this);
    if (not_level_ >= classification::linear) return 0;
    if (known_level_ >= 1 && known_level_ <= classification::linear) return 1;
    if (!has_derivative(0)) return 0;
    law_ptr const d = adopt(derivative(0));
    law_ptr const s = adopt(d->simplify(1, 0));
    if (s->constant()) {
        known_level_ = classification::linear;
        return 1;
    }
    not_level_ = classification::linear;
    return 0;
}

int law::identity(ZEM::interval const *box) const {
    if (take_dim() != return_dim()) return 0;
    int const n = take_dim();
    std::unique_ptr<ZEM::interval[]> d(new ZEM::interval[std::max(1, n)]);
    for (int i = 0; i < n; ++i) {
        term_domain(i, d[i]);
        if (box) d[i] &= box[i];
        d[i] = bounded_domain(d[i]);
    }
    eval_buffer x(std::max(1, n)), y(std::max(1, n));
    long points = 1;
    for (int i = 0; i < n; ++i) points *= 3;
    for (long p = 0; p < points; ++p) {
        long rest = p;
        for (int i = n - 1; i >= 0; --i, rest /= 3) x[i] = d[i].interpolate(0.5 * (rest % 3));
        evaluate(x.data(), y.data());
        for (int j = 0; j < n; ++j)
            if (!is_equal(y[j], x[j])) return 0;
    }
    return 1;
}

int law::identity(ZEM::box const &box) const {
    ZEM::interval const ranges[3] = {box.x_range(), box.y_range(), box.z_range()};
    return take_dim() <= 3 ? identity(ranges) : identity(nullptr);
}

int same_law_list(law **a, law **b, int n) {
    if (n < 1) return 1;
    small_list<char, 64> used;
    for (int j = 0; j < n; ++j) used.push_back(0);
    int first_free = 0;  // the b[j] before it are all used: lists in one order cost O(n)
    for (int i = 0; i < n; ++i) {
        bool found = false;
        while (first_free < n && used[first_free]) ++first_free;
        for (int j = first_free; j < n && !found; ++j) {
            if (used[j]) continue;
            bool const equal = a[i] == b[j] || (a[i] && b[j] && a[i]->same_tree_size(*b[j]) &&
                                                a[i]->type() == b[j]->type() &&
                                                a[i]->may_equal(*b[j]) && a[i]->same(a[i], b[j]));
            if (equal) used[j] = found = true;
        }
        if (!found) return 0;
    }
    return 1;
}

// ---------------------------------------------------------------- printing

char *law::string_and_data(law_data ***data, int *count, law_symbol_type type) const {
    int n = 0;
    law_data_node *list = nullptr;
    char *text = nullptr;
    try {
        text = string(type, n, list);
    } catch (...) {
        delete list;
        throw;
    }
    law_data **out = nullptr;
    law_data **array = n > 0 ? VORN_ARRAY(law_data *, n) : nullptr;
    int const got = list ? list->get_array(out, false) : 0;
    for (int i = 0; i < n; ++i) {
        array[i] = i < got ? out[i] : nullptr;
        if (array[i]) array[i]->add();
    }
    vorn_discard(out);
    delete list;
    if (data)
        *data = array;
    else {
        for (int i = 0; i < n; ++i)
            if (array[i]) array[i]->remove();
        vorn_discard(array);
    }
    if (count) *count = n;
    return text;
}

std::string law::text(law_symbol_type type) const {
    vorn_ptr<char> const s(string(type));
    return s ? std::string(s.get()) : std::string();
}

double law::bounds(double *min, double *max, double const *start, double const *end, double tol,
                   double *step) const {
    return upper_layers().bounds(this, min, max, start, end, tol, step);
}

upper_layer_hooks &upper_layers() {
    constinit static upper_layer_hooks hooks;
    return hooks;
}
