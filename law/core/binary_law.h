#pragma once
// Family base of the laws of two sub-laws, printed in infix form.
#include <vector>

#include <law/core/law.h>
#include <law/core/singular_points.h>

class binary_law : public law {
    LAW_FAMILY_IDENTITY(binary_law, law)
  public:
    binary_law(law *left, law *right);
    law *fleft() const { return left_; }
    law *fright() const { return right_; }
    virtual int associative() const { return 0; }
    virtual int commutative() const { return 0; }
    // A new law of this class over the two sides.
    virtual law *make_one(law *left, law *right) const;
    // The operands of the maximal chain of laws of op's class below op, left to right (no new
    // references).
    static std::vector<law *> chain_operands(binary_law const *op);

    // The first value of a side at x. Constants and inputs, the most common sides, are read here
    // without a call; any other side is evaluated.
    double left_value(double const *x) const { return left_operand_.value(x); }
    double right_value(double const *x) const { return right_operand_.value(x); }
    // The same into any list with push_back, back, pop_back and empty (no allocation for short
    // chains with a small_list).
    template <class List>
    static void collect_chain(binary_law const *op, List &out);

    // Final: a binary law prints the binary laws below it itself, without recursion.
    LAW_FAMILY_PRINTER final;
    LAW_FAMILY_STRUCTURE
    LAW_MEMBER_DOMAIN_OVERRIDES

  protected:
    ~binary_law() override;
    // The singular points of the sub-laws on [start, end], unsorted.
    std::vector<singular_point> member_singular_points(double start, double end) const;
    int take_size() const override;
    int return_size() const override;

  private:
    // A side with what evaluation needs of it decided once, at construction.
    struct operand {
        enum kind_t : unsigned char { general, constant, input };
        explicit operand(law const *side);
        double value(double const *x) const {
            switch (kind) {
                case constant:
                    return constant_value;
                case input:
                    return x[input_index];
                default:
                    return first_value(side, x);
            }
        }
        law const *side;
        kind_t kind = general;
        int input_index = 0;
        double constant_value = 0;
    };

    law *left_;
    law *right_;
    operand left_operand_;
    operand right_operand_;
};
