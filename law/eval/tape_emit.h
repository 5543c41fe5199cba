#pragma once
// How the operator and function laws compile themselves into a tape: the scalar formula of a
// binary or unary law over the compiled values of its sides. A law of a class derived from them
// outside the library may evaluate differently, so only the exact class compiles its formula.
#include <typeinfo>

#include <law/core/binary_law.h>
#include <law/core/unary_law.h>
#include <law/eval/tape_builder.h>

enum class side_order { left_first, right_first };

// The operation of a binary law over its two scalar sides, taken in the order the law's evaluate
// takes them; false (the law's own evaluate) when a side is missing or gives other than one value.
template <class Law>
bool binary_side_operation(Law const *l, side_operation &f, side_operation::emit_fn emit,
                           side_order order = side_order::left_first) {
    law const *left = l->fleft(), *right = l->fright();
    if (typeid(*l) != typeid(Law) || !left || !right || left->return_dim() != 1 ||
        right->return_dim() != 1)
        return false;
    f.right_first = order == side_order::right_first;
    f.sides[0] = f.right_first ? right : left;
    f.sides[1] = f.right_first ? left : right;
    f.count = left == right ? 1 : 2;
    f.emit = emit;
    return true;
}

// formula(b, s) for each value s of the sub-law of a unary law.
template <class Law, class Formula>
tape_values emit_each_value(Law const *l, tape_builder &b, tape_point const &at, Formula formula) {
    if (typeid(*l) != typeid(Law) || !l->fsub()) return b.call_law(l, at);
    tape_values v = b.values_of(l->fsub(), at);
    for (int &s : v.slots) s = formula(b, s);
    return v;
}
