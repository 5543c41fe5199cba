#include <law/lang/law_function.h>

#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <law/core/constant_law.h>
#include <law/lang/cpp_literal.h>
#include <law/lang/law_members.h>

namespace {

// The formula of each class the function writer knows, over its operands @1 and @2 as the class
// evaluates it (tests compare the compiled formulas with the laws bit for bit). A folding
// formula takes any number of members, left to right, @1 being the value so far.
struct formula {
    int id;
    char const *text;
    bool folds = false;
};
constexpr formula formulas[] = {
    {law_id::plus_law, "@1 + @2"},
    {law_id::minus_law, "@1 - @2"},
    {law_id::times_law, "@1 * @2"},
    {law_id::division_law, "@1 / @2"},
    {law_id::exponent_law, "std::pow(@1, @1 < 0 ? std::floor(@2 + 0.5) : @2)"},
    {law_id::negate_law, "-@1"},
    {law_id::less_than_law, "@1 < @2 ? 1.0 : 0.0"},
    {law_id::greater_than_law, "@1 > @2 ? 1.0 : 0.0"},
    {law_id::less_than_or_equal_law, "@1 <= @2 ? 1.0 : 0.0"},
    {law_id::greater_than_or_equal_law, "@1 >= @2 ? 1.0 : 0.0"},
    {law_id::equal_law, "@1 == @2 ? 1.0 : 0.0"},
    {law_id::not_equal_law, "@1 != @2 ? 1.0 : 0.0"},
    {law_id::and_law, "@1 != 0 && @2 != 0 ? 1.0 : 0.0"},
    {law_id::or_law, "@1 != 0 || @2 != 0 ? 1.0 : 0.0"},
    {law_id::not_law, "@1 == 0 ? 1.0 : 0.0"},
    {law_id::sin_law, "std::sin(@1)"},
    {law_id::cos_law, "std::cos(@1)"},
    {law_id::tan_law, "std::tan(@1)"},
    {law_id::sec_law, "1 / std::cos(@1)"},
    {law_id::csc_law, "1 / std::sin(@1)"},
    {law_id::exp_law, "std::exp(@1)"},
    {law_id::natural_log_law, "std::log(@1)"},
    {law_id::sqrt_law, "@1 < 0 ? 0 : std::sqrt(@1)"},
    {law_id::sinh_law, "std::sinh(@1)"},
    {law_id::cosh_law, "std::cosh(@1)"},
    {law_id::tanh_law, "std::tanh(@1)"},
    {law_id::arcsinh_law, "std::log(std::sqrt(@1 * @1 + 1) + @1)"},
    {law_id::arctanh_law, "0.5 * std::log((1 + @1) / (1 - @1))"},
    {law_id::cot_law, "std::tan(1.5707963267948966 - @1)"},
    {law_id::arcsin_law, "std::asin(@1 < -1 ? -1.0 : 1 < @1 ? 1.0 : @1)"},
    {law_id::arccos_law, "std::acos(@1 < -1 ? -1.0 : 1 < @1 ? 1.0 : @1)"},
    {law_id::arccot_law, "@1 == 0 ? 1.5707963267948966 : std::atan(1 / @1) + 3.141592653589793"},
    {law_id::arcsec_law,
     "(@1 < 0 ? -1.0 : 1.0) * std::acos(1 / @1 < -1 ? -1.0 : 1 < 1 / @1 ? 1.0 : 1 / @1)"},
    {law_id::arccsc_law,
     "@1 < 0 ? -3.141592653589793 - std::asin(1 / @1 < -1 ? -1.0 : 1 < 1 / @1 ? 1.0 : 1 / @1) "
     ": std::asin(1 / @1 < -1 ? -1.0 : 1 < 1 / @1 ? 1.0 : 1 / @1)"},
    {law_id::sech_law, "std::fabs(@1) > 200 ? 0.0 : 1 / std::cosh(@1)"},
    {law_id::csch_law, "std::fabs(@1) > 200 ? 0.0 : 1 / std::sinh(@1)"},
    {law_id::coth_law, "1 / std::tanh(@1)"},
    {law_id::arccosh_law, "@1 <= 1 ? 0.0 : std::log(std::sqrt(@1 * @1 - 1) + @1)"},
    {law_id::arccoth_law, "0.5 * std::log((@1 + 1) / (@1 - 1))"},
    {law_id::arcsech_law, "std::log((1 + std::sqrt(1 - @1 * @1)) / @1)"},
    {law_id::arccsch_law,
     "std::log((@1 > 0 ? 1 + std::sqrt(@1 * @1 + 1) : 1 - std::sqrt(@1 * @1 + 1)) / @1)"},
    {law_id::set_law, "@1 > 0 ? 1.0 : 0.0"},
    {law_id::abs_law, "std::fabs(@1)"},
    {law_id::floor_law, "std::floor(@1)"},
    {law_id::ceil_law, "std::ceil(@1)"},
    {law_id::max_law, "@2 - @1 > 0 ? @2 : @1", true},
    {law_id::min_law, "-(@2 - @1) > 0 ? @2 : @1", true},
};

formula const *formula_of(int id) {
    for (formula const &f : formulas)
        if (f.id == id) return &f;
    return nullptr;
}

struct refused {
    std::string why;
};

// Writes one statement per distinct node, after the statements of its operands, walking with a
// stack of its own.
class function_writer {
  public:
    std::vector<std::string> const &values_of(law const *root) {
        std::vector<std::pair<law const *, bool>> todo{{root, false}};
        while (!todo.empty()) {
            auto [l, operands_done] = todo.back();
            todo.pop_back();
            if (values_.count(l)) continue;
            if (!operands_done && folded(l)) continue;
            if (operands_done) {
                values_[l] = write(l);
                continue;
            }
            todo.push_back({l, true});
            std::vector<law const *> const members = law_members(l);
            // The first operand on top, so that statements come in the order of evaluation.
            for (auto m = members.rbegin(); m != members.rend(); ++m) todo.push_back({*m, false});
        }
        return values_.at(root);
    }
    std::string const &body() const { return body_; }

  private:
    // A double literal, never an integer one (1 / 2 would be 0), and bracketed when negative.
    static std::string literal(double value) {
        std::string v = cpp_double_literal(value);
        if (v.find_first_not_of("-0123456789") == std::string::npos) v += ".0";
        return v[0] == '-' ? "(" + v + ")" : v;
    }

    // A part of no input is written as the value the library gives it, its members unwritten: a
    // compiler that folds std::cosh(1.5) need not round as the C library does at run time. A
    // part that raises is written as its formula.
    bool folded(law const *l) {
        if (law_isa<constant_law>(l) || l->take_dim() != 0 || l->return_dim() != 1) return false;
        double v;
        try {
            l->evaluate(nullptr, &v);
        } catch (vorn_exception const &) {
            return false;
        }
        values_[l] = {literal(v)};
        return true;
    }

    std::vector<std::string> write(law const *l) {
        if (auto const *k = law_cast<constant_law>(l)) return {literal(k->value())};
        if (law_isa<identity_law>(l)) return {"x[" + std::to_string(l->take_dim() - 1) + "]"};
        std::vector<law const *> const members = law_members(l);
        for (law const *m : members)
            if (!m) throw refused{std::string(l->class_name()) + " lacks a member"};
        if (l->type() == law_id::vector_law) {
            std::vector<std::string> out;
            for (law const *m : members) out.push_back(values_.at(m).at(0));
            return out;
        }
        formula const *const f = formula_of(l->type());
        for (law const *m : members)
            if (m->return_dim() != 1) throw refused{std::string(l->class_name()) + " of vectors"};
        if (!f || l->return_dim() != 1 || members.empty() || (!f->folds && members.size() > 2))
            throw refused{no_form(l)};
        std::vector<std::string> operands;
        for (law const *m : members) operands.push_back(values_.at(m).at(0));
        if (!f->folds) return {statement(substituted(f->text, operands[0], operands.back()))};
        std::string so_far = operands[0];
        for (std::size_t i = 1; i < operands.size(); ++i)
            so_far = statement(substituted(f->text, so_far, operands[i]));
        return {so_far};
    }

    std::string statement(std::string const &value) {
        std::string const v = "v" + std::to_string(count_++);
        body_ += "    double const " + v + " = " + value + ";\n";
        return v;
    }

    static std::string substituted(std::string_view f, std::string const &first,
                                   std::string const &second) {
        std::string out;
        for (std::size_t i = 0; i < f.size(); ++i) {
            if (f[i] == '@' && i + 1 < f.size())
                out += f[++i] == '1' ? first : second;
            else
                out += f[i];
        }
        return out;
    }

    static std::string no_form(law const *l) {
        char const *symbol = l->symbol(law_symbol_default);
        return std::string(symbol ? symbol : l->class_name()) + " (" + l->class_name() +
               ") has no plain C++ form";
    }

    std::unordered_map<law const *, std::vector<std::string>> values_;
    std::string body_;
    int count_ = 0;
};

}  // namespace

law_function_code law_function(std::span<law const *const> laws, char const *name) {
    function_writer w;
    std::vector<std::string> outputs;
    try {
        for (law const *l : laws) {
            if (!l) throw refused{"a null law has no value"};
            for (std::string const &v : w.values_of(l)) outputs.push_back(v);
        }
    } catch (refused const &r) {
        return {{}, r.why};
    }
    // A law of no input reads no x.
    std::string const x = "[[maybe_unused]] double const *x";
    if (outputs.size() == 1)
        return {"double " + std::string(name) + "(" + x + ") {\n" + w.body() + "    return " +
                    outputs[0] + ";\n}\n",
                {}};
    std::string code = "void " + std::string(name) + "(" + x + ", double *out) {\n" + w.body();
    for (std::size_t i = 0; i < outputs.size(); ++i)
        code += "    out[" + std::to_string(i) + "] = " + outputs[i] + ";\n";
    return {code + "}\n", {}};
}
