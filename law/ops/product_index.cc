#include <law/ops/product_index.h>

#include <algorithm>
#include <array>
#include <utility>

#include <law/core/small_list.h>
#include <law/core/upper_layers.h>
#include <law/ops/arithmetic_laws.h>
#include <law/ops/rule_support.h>

namespace rules {

namespace {
std::uint64_t base_hash(law *operand) { return as_power(operand).base->structure_hash(); }

// A constant, or a power with a constant exponent: factoring does not read it as itself to the
// power 1.
bool unplain(law *operand) {
    power_form const p = as_power(operand);
    return as_constant(operand) || (p.exponent && p.constant_exponent());
}

}  // namespace

void operand_stack::push(law *operand) {
    std::uint32_t const i = size();
    entry e{operand, {base_hash(operand), operand->structure_hash()}, {}};
    for (int k = 0; k < 2; ++k) {
        std::uint32_t *const ends = tables_[k].ends(e.hash[k]);
        if (ends[1] == none)
            ends[0] = i;
        else
            entries_[ends[1]].link[k].next = i;
        e.link[k].previous = ends[1];
        ends[1] = i;
    }
    entries_.push_back(e);
    if (unplain(operand)) unplain_.push_back(i);
    if ((e.hash[0] | e.hash[1]) & 1) unhashed_.push_back(i);
}

void operand_stack::truncate(std::uint32_t n) {
    while (size() > n) {
        std::uint32_t const i = size() - 1;
        entry const &last = entries_.back();
        for (int k = 0; k < 2; ++k) {
            std::uint32_t *const ends = tables_[k].existing(last.hash[k]);
            std::uint32_t const before = last.link[k].previous;
            ends[1] = before;
            if (before == none)
                ends[0] = none;
            else
                entries_[before].link[k].next = none;
        }
        if (!unplain_.empty() && unplain_.back() == i) unplain_.pop_back();
        if (!unhashed_.empty() && unhashed_.back() == i) unhashed_.pop_back();
        entries_.pop_back();
    }
}

std::size_t operand_stack::heads::find(std::uint64_t h) const {
    std::size_t const mask = slots_.size() - 1;
    std::size_t k = static_cast<std::size_t>(h ^ (h >> 29)) & mask;
    while (slots_[k].used && slots_[k].hash != h) k = (k + 1) & mask;
    return k;
}

std::uint32_t operand_stack::heads::end(std::uint64_t h, int k) const {
    if (slots_.empty()) return none;
    slot const &s = slots_[find(h)];
    return s.used ? s.ends[k] : none;
}

std::uint32_t *operand_stack::heads::ends(std::uint64_t h) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    slot &s = slots_[find(h)];
    if (!s.used) {
        s.used = true;
        s.hash = h;
        ++used_;
    }
    return s.ends;
}

void operand_stack::heads::grow() {
    std::vector<slot> old =
        std::exchange(slots_, std::vector<slot>(std::max<std::size_t>(16, 2 * slots_.size())));
    for (slot const &s : old)
        if (s.used) slots_[find(s.hash)] = s;
}

void operand_stack::hold(std::uint32_t n) {
    if (records_ending_.size() <= n) records_ending_.resize(n + 1, 0);
    ++records_ending_[n];
}

void operand_stack::release(std::uint32_t n) {
    --records_ending_[n];
    while (!records_ending_.empty() && records_ending_.back() == 0) records_ending_.pop_back();
}

bool product_operands::hashed() const {
    return std::none_of(pieces_.begin(), pieces_.end(),
                        [](piece const &p) { return p.stack->unhashed_below(p.end); });
}

// The records of the long products met, by product. Each record holds its stacks; a stack holds
// its operands by address only, which the products holding them keep alive.
class product_registry {
  public:
    static product_registry &get() {
        static product_registry *const registry = new product_registry;  // outlives every law
        return *registry;
    }
    std::mutex &mutex() { return mutex_; }

    product_operands const *operands(law const *l) {
        if (!may_be_long_product(l)) return nullptr;
        if (product_operands const *kept = record_of(l)) return kept;
        return build(l);
    }

    void forget(law const *l) {
        std::lock_guard const hold(mutex_);
        auto const it = records_.find(l);
        if (it == records_.end()) return;
        for (auto const &p : it->second.pieces_) p.stack->release(p.end);
        records_.erase(it);
    }

  private:
    // The record of l, looked up only for a law its mark says has one.
    product_operands const *record_of(law const *l) const {
        if (!l->passed_unchanged(kept_product_mark)) return nullptr;
        auto const it = records_.find(l);
        return it == records_.end() ? nullptr : &it->second;
    }

    static bool is_product(law const *l) { return l && l->type() == times_law::id(); }
    static binary_law const *as_product(law const *l) { return static_cast<binary_law const *>(l); }

    // Down the left spine to a kept product or to the first operand, then back up, each right
    // side appended: a product extending a kept one by a factor costs one push. A product that
    // takes many pushes is kept when it is asked about again: most long products a
    // simplification makes are met once, and their walk costs less than their record.
    product_operands const *build(law const *l) {
        small_list<law const *, 64> spine;
        law const *x = l;
        while (is_product(x) && !record_of(x)) {
            spine.push_back(x);
            x = as_product(x)->fleft();
        }
        auto const [operands, pushes] = count(x, spine);
        if (operands < long_product || (pushes > few_pushes && !asked_before(l))) return nullptr;
        product_operands view;
        if (is_product(x)) {
            view = records_.at(x);
        } else if (law const *right = as_product(l)->fright();
                   spine.size() == 1 && record_of(right)) {
            // A factor on the left of a kept product: pushed on a stack read from the top down.
            view = records_.at(right);
            prepend(view, const_cast<law *>(x));
            return keep(l, view);
        } else {
            append(view, const_cast<law *>(x));
        }
        for (int k = spine.size() - 1; k >= 0; --k) {
            law *const right = as_product(spine[k])->fright();
            append_side(view, right);
            view.left_nested_ = view.left_nested_ && !is_product(right);
        }
        return view.size_ >= long_product ? keep(l, view) : nullptr;
    }

    void append_side(product_operands &view, law *side) {
        if (!is_product(side)) return append(view, side);
        if (product_operands const *long_side = record_of(side)) {
            for (auto const &p : long_side->pieces_) view.pieces_.push_back(p);
            view.size_ += long_side->size_;
            if (view.pieces_.size() > max_pieces) flatten(view);
            return;
        }
        small_list<law *, 64> operands;
        binary_law::collect_chain(as_product(side), operands);
        for (law *f : operands) append(view, f);
    }

    // One operand more after the others.
    void append(product_operands &view, law *operand) {
        ++view.size_;
        if (!view.pieces_.empty() && !view.pieces_.back().reversed &&
            extend(view.pieces_.back(), operand))
            return;
        add_piece(view, view.pieces_.size(), operand, false);
    }

    // One operand more before the others.
    void prepend(product_operands &view, law *operand) {
        ++view.size_;
        view.left_nested_ = false;
        if (view.pieces_.front().reversed && extend(view.pieces_.front(), operand)) return;
        add_piece(view, 0, operand, true);
    }

    // Extends a piece by an operand on its stack: pushed when the piece ends at the top, or when no
    // record reaches past the piece (what is past it is dropped); taken as it is when the stack
    // already holds it there. False when another record holds the stack past the piece.
    static bool extend(product_operands::piece &p, law *operand) {
        operand_stack &s = *p.stack;
        if (p.end < s.size() && s.at(p.end) == operand && s.held_past(p.end)) {
            ++p.end;
            return true;
        }
        if (p.end < s.size() && !s.held_past(p.end)) s.truncate(p.end);
        if (p.end != s.size()) return false;
        s.push(operand);
        ++p.end;
        return true;
    }

    static void add_piece(product_operands &view, std::size_t at, law *operand, bool reversed) {
        auto fresh = std::make_shared<operand_stack>();
        fresh->push(operand);
        view.pieces_.insert(view.pieces_.begin() + static_cast<std::ptrdiff_t>(at),
                            {std::move(fresh), 1, reversed});
        if (view.pieces_.size() > max_pieces) flatten(view);
    }

    static void flatten(product_operands &view) {
        auto one = std::make_shared<operand_stack>();
        for (auto const &p : view.pieces_)
            for (std::uint32_t i = 0; i < p.end; ++i) one->push(p.at(i));
        std::uint32_t const n = one->size();
        view.pieces_.assign(1, {std::move(one), n, false});
    }

    product_operands const *keep(law const *l, product_operands const &view) {
        for (auto const &p : view.pieces_) p.stack->hold(p.end);
        l->mark_passed_unchanged(kept_product_mark);
        return &records_.emplace(l, view).first->second;
    }

    // The operands of the product whose left spine runs down to x, and how many of them build
    // pushes; right sides that are long products are kept first where that is cheap.
    std::pair<int, int> count(law const *x, small_list<law const *, 64> const &spine) {
        int total = is_product(x) ? records_.at(x).size_ : 1;
        int pushed = is_product(x) ? 0 : 1;
        for (law const *node : spine) {
            law const *const right = as_product(node)->fright();
            int n = 1;
            if (!is_product(right)) {
                ++pushed;
            } else if (product_operands const *kept = kept_right_side(right)) {
                n = kept->size_;
            } else {
                small_list<law *, 64> walked;
                binary_law::collect_chain(as_product(right), walked);
                n = walked.size();
                pushed += n;
            }
            total += n;
        }
        return {total, pushed};
    }

    // The record of a right side, kept now where that is cheap; right sides nested in right sides
    // past a few are walked, so that a chain nested to the right keeps the call stack short.
    product_operands const *kept_right_side(law const *right) {
        if (nesting_ >= most_nesting) return nullptr;
        ++nesting_;
        product_operands const *kept = operands(right);
        --nesting_;
        return kept;
    }

    bool asked_before(law const *l) {
        if (std::find(asked_.begin(), asked_.end(), l) != asked_.end()) return true;
        asked_[next_asked_++ % asked_.size()] = l;
        return false;
    }

    static constexpr int max_pieces = 4;
    static constexpr int few_pushes = 16;
    static constexpr int most_nesting = 16;
    int nesting_ = 0;
    // The last long products that extend no kept one, by address only.
    std::array<law const *, 16> asked_{};
    std::size_t next_asked_ = 0;
    std::mutex mutex_;
    std::unordered_map<law const *, product_operands> records_;
};

bool may_be_long_product(law const *l) {
    return l && l->type() == times_law::id() && l->tree_size() >= 2 * long_product - 1;
}

product_lookup::product_lookup() : lock_(product_registry::get().mutex()) {}

product_operands const *product_lookup::operands(law const *l) {
    return product_registry::get().operands(l);
}

namespace {
[[maybe_unused]] bool const forgetting_installed = (
    upper_layers().forget_product = [](law const *l) { product_registry::get().forget(l); }, true);
}  // namespace

}  // namespace rules
