#pragma once
// The operands of long products, for the rules that pair the factors of a product's two sides.
// The derivative of a nesting (ABS(ABS(...)), a tower of functions) meets its inner derivative at
// every level, one factor longer each time; walking that product at each meeting made nesting
// quadratic. A long product's operands are kept on stacks that the products extending it share:
// a product that extends a kept one by a factor pushes the factor, and the operands are found
// through an index of their bases by structure hash instead of a walk. A product's record goes
// when the product does.
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

class law;

namespace rules {

// Operands pushed one by one, with their positions by the hash of their base (a power's left
// side, any other law itself) and of themselves: for each hash the first and last position, and
// from each position the next and the one before of the same hash.
class operand_stack {
  public:
    std::uint32_t size() const { return static_cast<std::uint32_t>(entries_.size()); }
    law *at(std::uint32_t i) const { return entries_[i].operand; }
    void push(law *operand);
    // Drops the operands from n on.
    void truncate(std::uint32_t n);
    // Whether one of the first n operands is a constant or a power with a constant exponent.
    bool unplain_below(std::uint32_t n) const { return below(unplain_, n); }
    // Whether one of the first n operands has a hash with its lowest bit set, which equal laws
    // need not share.
    bool unhashed_below(std::uint32_t n) const { return below(unhashed_, n); }
    // Calls visit(i) for the positions i < n whose base (or, when `whole`, whose operand) hashes
    // as h, ascending (descending when `down`), while visit returns true; false when stopped.
    template <class Visit>
    bool each(std::uint64_t h, bool whole, std::uint32_t n, bool down, Visit visit) const {
        if (!down) {
            for (std::uint32_t i = tables_[whole].end(h, 0); i < n;
                 i = entries_[i].link[whole].next)
                if (!visit(i)) return false;
            return true;
        }
        std::uint32_t i = tables_[whole].end(h, 1);
        while (i != none && i >= n) i = entries_[i].link[whole].previous;
        for (; i != none; i = entries_[i].link[whole].previous)
            if (!visit(i)) return false;
        return true;
    }
    // A record of a product whose operands are the first n of this stack, made or gone.
    void hold(std::uint32_t n);
    void release(std::uint32_t n);
    // Whether a record's operands reach past the first n; operands past every record can go.
    bool held_past(std::uint32_t n) const { return records_ending_.size() > n + 1; }

  private:
    static constexpr std::uint32_t none = ~std::uint32_t{0};
    static bool below(std::vector<std::uint32_t> const &ascending, std::uint32_t n) {
        return !ascending.empty() && ascending.front() < n;
    }
    struct neighbours {
        std::uint32_t next = none, previous = none;
    };
    // The hashes are kept: an operand past every record may be gone when it is dropped.
    struct entry {
        law *operand;
        std::uint64_t hash[2];  // of the base, of the operand
        neighbours link[2];
    };
    // The first and last position of each hash, open addressing.
    class heads {
      public:
        // The first (k = 0) or last (k = 1) position of h.
        std::uint32_t end(std::uint64_t h, int k) const;
        // The slot of h, made when missing.
        std::uint32_t *ends(std::uint64_t h);
        // The slot of h, which is there.
        std::uint32_t *existing(std::uint64_t h) { return slots_[find(h)].ends; }

      private:
        struct slot {
            std::uint64_t hash = 0;
            std::uint32_t ends[2] = {none, none};
            bool used = false;
        };
        std::size_t find(std::uint64_t h) const;
        void grow();
        std::vector<slot> slots_;
        std::size_t used_ = 0;
    };
    std::vector<entry> entries_;
    heads tables_[2];
    std::vector<std::uint32_t> unplain_, unhashed_;
    // The records whose operands end at each size, with no trailing zero.
    std::vector<int> records_ending_;
};

// The operands of one long product, in the order of its chain: prefixes of a few stacks.
class product_operands {
  public:
    struct piece {
        std::shared_ptr<operand_stack> stack;
        std::uint32_t end = 0;  // the stack's operands [0, end)
        // Read from the top down: a product growing on its left pushes its new operands.
        bool reversed = false;
        // The k-th operand in the product's order.
        law *at(std::uint32_t k) const { return stack->at(reversed ? end - 1 - k : k); }
        // Calls visit(k, operand), k ascending in the product's order, for the operands whose
        // base (or, when `whole`, the operand itself) hashes as h; false when visit stopped.
        template <class Visit>
        bool each(std::uint64_t h, bool whole, Visit visit) const {
            return stack->each(h, whole, end, reversed, [&](std::uint32_t i) {
                return visit(reversed ? end - 1 - i : i, stack->at(i));
            });
        }
        bool same(piece const &other) const {
            return stack == other.stack && end == other.end && reversed == other.reversed;
        }
    };
    int size() const { return size_; }
    std::vector<piece> const &pieces() const { return pieces_; }
    // Whether each right side down the left spine is one operand: ((f0 * f1) * f2) * ...
    bool left_nested() const { return left_nested_; }
    // Whether the hashes tell the operands apart (see operand_stack::unhashed_below).
    bool hashed() const;
    // Calls visit(i, operand), i ascending, for the operands whose base (or, when `whole`, the
    // operand itself) hashes as h; visit returns false to stop.
    template <class Visit>
    void like(std::uint64_t h, bool whole, Visit visit) const {
        int offset = 0;
        for (piece const &p : pieces_) {
            auto const go_on = [&](std::uint32_t k, law *operand) {
                return visit(offset + static_cast<int>(k), operand);
            };
            if (!p.each(h, whole, go_on)) return;
            offset += static_cast<int>(p.end);
        }
    }

  private:
    friend class product_registry;
    std::vector<piece> pieces_;
    int size_ = 0;
    bool left_nested_ = true;
};

// The kept products, under one lock for as long as a lookup lives: the rules' lookups are a few
// probes, and no law is made or released meanwhile.
class product_lookup {
  public:
    product_lookup();
    // The operands of l when it is a product (a chain of times) of at least long_product
    // operands, kept until l goes; null otherwise.
    product_operands const *operands(law const *l);

  private:
    std::unique_lock<std::mutex> lock_;
};

// Products of fewer operands are walked: their walk costs less than the record.
inline constexpr int long_product = 64;

// Whether l may be a product of long_product operands or more, told without a lock.
bool may_be_long_product(law const *l);

}  // namespace rules
