#pragma once
// Laws as plain C++ (law_function): how a class says what C++ computes its values, and the
// writer that asks it. Every class that compiles itself into the evaluation tape says it here
// too, next to its tape form, over the values of its members; the writer walks the tree with a
// stack of its own and writes one statement per distinct value.
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include <law/core/binary_law.h>
#include <law/core/law.h>

// The values of a law in the code: one C++ expression each (a literal, x[i] or a variable).
using plain_values = std::vector<std::string>;

// Where a law is written: the caller's x (id 0) or the inner values of a composition.
struct plain_point {
    int id = 0;
    plain_values inputs;  // empty for the caller's x
};

class plain_writer;

// A small function of v that values call, written once: the library's inline function, and for
// plain code the lambda of that body, defined in a function whose statements call it.
struct plain_helper {
    char const *name;
    char const *text;  // an expression over v
};
#define LAW_PLAIN_HELPER(name, ...)                      \
    inline double name(double v) { return __VA_ARGS__; } \
    constexpr plain_helper name##_helper { #name, #__VA_ARGS__ }

// How a law is written: its members, written first at the law's point, then either a text of
// the law's one value over the members' first values @1, @2, ... (first_value's values), or a
// function that makes the law's values from all of the members' values.
struct plain_form {
    using write_fn = plain_values (*)(plain_writer &w, law const *self,
                                      std::span<plain_values const> members);
    std::vector<law const *> members;
    std::string text;
    write_fn write = nullptr;
    std::vector<plain_helper> helpers;  // those the text may call
};

class plain_writer {
  public:
    // The values of l at the point, each law written once at each point.
    plain_values values_at(law const *l, plain_point const &at);
    // A point of the given inputs (a composition's inner values).
    plain_point point(plain_values inputs) { return {next_point_++, std::move(inputs)}; }
    // A statement `double const vN = expression;`, whose variable is returned.
    std::string value(std::string const &expression);
    // Writing cannot go on: l has no plain form (as the writer is called here).
    [[noreturn]] void refuse(law const *l) const;

    // The statements the outputs need, in order, their variables numbered again from v0 (the
    // outputs renamed to match): a value that nothing reads, such as the other components of a
    // vector TERM takes one of, is not written.
    std::string body_for(plain_values &outputs) const;

    // A double literal, never an integer one (1 / 2 would be 0), and bracketed when negative.
    static std::string literal(double value);
    // The first value, as first_value takes it (0 when there is none).
    static std::string first(plain_values const &v) { return v.empty() ? "0.0" : v[0]; }

  private:
    struct frame;
    bool written_directly(law const *l, plain_point const &at, plain_values &out);
    plain_values written_by_form(frame const &f);

    std::map<std::pair<law const *, int>, plain_values> done_;  // by law and point
    std::map<std::string, std::string> helpers_;                // the helpers' texts by name
    std::vector<std::string> statements_;                       // the expression of v0, v1, ...
    int next_point_ = 1;
    int depth_ = 0;
};

// The text with each whole identifier that `names` lists replaced by its text: a form written
// over a and b becomes one over @1 and @2, a named constant its literal.
using plain_names = std::vector<std::pair<std::string, std::string>>;
std::string plain_text(std::string_view form, plain_names const &names);

// A value of one argument (or two) written once as C++ over a (and b): the function the library
// calls, and the same expression as the text of its plain form. A domain check before the
// expression is the library's alone: plain code leaves the checks out.
struct plain_value1 {
    double (*fn)(double);
    char const *text;
    bool body = false;  // text is a function body { ... } over a, not an expression
};
struct plain_value2 {
    double (*fn)(double, double);
    char const *text;
};

// A value that is the expression over a.
#define LAW_VALUE(...)                                                      \
    plain_value1 {                                                          \
        [](double a) -> double { return __VA_ARGS__; }, #__VA_ARGS__, false \
    }
// The same after a check: where `fails` holds, the value raises `code`.
#define LAW_CHECKED_VALUE(fails, code, ...) \
    plain_value1 {                          \
        [](double a) -> double {            \
            if (fails) law_error(code);     \
            return __VA_ARGS__;             \
        },                                  \
            #__VA_ARGS__, false             \
    }
// A value that needs statements: the body of a function of a.
#define LAW_BODY_VALUE(...) \
    plain_value1 { [](double a) -> double __VA_ARGS__, #__VA_ARGS__, true }
// A function of the C library itself, so that compiled code calls it with nothing between.
#define LAW_LIBRARY_VALUE(name) \
    plain_value1 { &::name, "std::" #name "(a)", false }
#define LAW_CHECKED_VALUE2(fails, code, ...) \
    plain_value2 {                           \
        [](double a, double b) -> double {   \
            if (fails) law_error(code);      \
            return __VA_ARGS__;              \
        },                                   \
            #__VA_ARGS__                     \
    }

// The text of a value of one argument over @1 (a body is called there), with the named
// constants' literals.
using plain_constants = std::span<std::pair<std::string_view, double> const>;
std::string plain_text_of(plain_value1 const &v, plain_constants constants = {});
// The text of a value of two arguments over @1 and @2.
std::string plain_text_of(plain_value2 const &v);

// The form of a binary law over its two scalar sides where the tape compiles it so: false (no
// form) for a missing side, a side of other than one value, or a class derived outside.
template <class Law>
bool scalar_binary_plain_form(Law const *l, plain_form &f, std::string text) {
    law const *left = l->fleft(), *right = l->fright();
    if (typeid(*l) != typeid(Law) || !left || !right || left->return_dim() != 1 ||
        right->return_dim() != 1)
        return false;
    f.members = {left, right};
    f.text = std::move(text);
    return true;
}
