#pragma once
// Random laws over every registered prototype (the generator grows as classes register
// themselves), for property tests.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "law_test.h"

namespace generated {

enum family { leaf_constant, unary, binary, multiple, unary_data, multiple_data, family_count };

inline family family_of(law const *p) {
    if (p->isa(binary_law::id())) return binary;
    if (p->isa(unary_law::id())) return unary;
    if (p->isa(multiple_law::id())) return multiple;
    if (p->isa(unary_data_law::id())) return unary_data;
    if (p->isa(multiple_data_law::id())) return multiple_data;
    return leaf_constant;  // named constants, and anything the parser builds as a
                           // leaf
}

// Random laws over the registered prototypes, with non-negative constants (a
// negative literal reads back as a negated constant, a law of another class).
class law_generator {
  public:
    explicit law_generator(unsigned seed) : rng_(seed) {
        for (law_list const *n = law_list::head(); n; n = n->next()) {
            law const *p = n->prototype();
            if (p && p->symbol(law_symbol_default) &&
                (p->isa(constant_law::id()) || family_of(p) != leaf_constant))
                prototypes_.push_back(p);
        }
        for (law_data_list const *n = law_data_list::head(); n; n = n->next())
            if (n->prototype()) data_.push_back(adopt(n->prototype()->deep_copy()));
    }
    std::size_t prototype_count() const { return prototypes_.size(); }
    std::vector<law const *> const &prototypes() const { return prototypes_; }

    // A law of the prototype's class over random members below it; null when the class
    // refused the members drawn.
    law_ptr make_rooted(law const *p, int depth) {
        try {
            return build(p, depth - 1);
        } catch (vorn_exception const &) {
            return {};
        }
    }

    law_ptr make(int depth) {
        if (depth <= 0 || pick(4) == 0) return leaf();
        for (int attempt = 0; attempt < 8; ++attempt) {
            law const *p = prototypes_[pick(prototypes_.size())];
            try {
                if (law_ptr l = build(p, depth - 1)) return l;
            } catch (vorn_exception const &) {
                // this class refuses these operands; try another
            }
        }
        return leaf();
    }

  private:
    // v rounded to 15 digits: the printer writes 16, so the law reads back bit for bit and a
    // value at the edge of a domain (ARCCOS of a unit value) stays on the same side of it.
    static double printable(double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.15g", v);
        return std::strtod(buf, nullptr);
    }

    std::size_t pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
    }

    law_ptr leaf() {
        switch (pick(3)) {
            case 0: {
                double const nice[] = {0, 1, 2, 0.5, 3.25, 10, 1e-3, 1e+21};
                double const v =
                    pick(2) ? nice[pick(8)] : std::uniform_real_distribution<double>(0, 10)(rng_);
                return make_law<constant_law>(printable(v));
            }
            case 1: {
                struct {
                    int index;
                    char letter;
                } const vars[] = {{0, 'X'}, {1, 'Y'}, {2, 'Z'}, {3, 'X'}, {2, 'A'}};
                auto const &v = vars[pick(5)];
                return make_law<identity_law>(v.index, v.letter);
            }
            default: {
                law const *p = prototypes_[pick(prototypes_.size())];
                if (family_of(p) != leaf_constant) return make_law<identity_law>(0, 'X');
                return adopt(static_cast<constant_law const *>(p)->make_one(0.0));
            }
        }
    }

    law_ptr three_values(int depth) {
        law_ptr const parts[] = {make(depth), make(depth), make(depth)};
        law *subs[] = {parts[0].get(), parts[1].get(), parts[2].get()};
        return make_law<vector_law>(subs, 3);
    }

    law_data_ptr some_data(int depth) {
        if (data_.empty() || pick(2)) return adopt<law_data>(new law_law_data(make(depth).get()));
        return data_[pick(data_.size())];
    }

    law_ptr build(law const *p, int depth) {
        switch (family_of(p)) {
            case unary:
                return adopt(static_cast<unary_law const *>(p)->make_one(make(depth).get()));
            case binary:
                return adopt(static_cast<binary_law const *>(p)->make_one(make(depth).get(),
                                                                          make(depth).get()));
            case multiple: {
                // Now and then every member is a vector of three values, which the geometric
                // classes (CROSS) need of each side.
                bool const vectors = pick(4) == 0;
                std::vector<law_ptr> held;
                std::vector<law *> subs;
                for (std::size_t i = 0, n = 1 + pick(3); i < n; ++i) {
                    held.push_back(vectors ? three_values(depth) : make(depth));
                    subs.push_back(held.back().get());
                }
                return adopt(static_cast<multiple_law const *>(p)->make_one(
                    subs.data(), static_cast<int>(subs.size())));
            }
            case unary_data: {
                if (data_.empty()) return nullptr;
                return adopt(static_cast<unary_data_law const *>(p)->make_one(
                    data_[pick(data_.size())].get()));
            }
            case multiple_data: {
                std::vector<law_data_ptr> held;
                std::vector<law_data *> subs;
                for (std::size_t i = 0, n = 1 + pick(3); i < n; ++i) {
                    held.push_back(some_data(depth));
                    subs.push_back(held.back().get());
                }
                return adopt(static_cast<multiple_data_law const *>(p)->make_one(
                    subs.data(), static_cast<int>(subs.size())));
            }
            default:
                return leaf();
        }
    }

    std::mt19937 rng_;
    std::vector<law const *> prototypes_;
    std::vector<law_data_ptr> data_;
};

}  // namespace generated
