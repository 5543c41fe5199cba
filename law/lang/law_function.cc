#include <law/lang/law_function.h>

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include <law/core/constant_law.h>
#include <law/lang/cpp_literal.h>
#include <law/lang/plain_code.h>

namespace {

struct refused {
    std::string why;
};

// Compositions nest the writer's walks; deeper than this the law is refused, not the stack.
constexpr int max_nesting = 200;
// Nor is a law written in more statements than this (a composition of a composition of ... of
// a shared law writes its parts again at each point, twice as many at each level).
constexpr std::size_t max_statements = 4'000'000;

std::string no_form(law const *l) {
    char const *symbol = l->symbol(law_symbol_default);
    return std::string(symbol ? symbol : l->class_name()) + " (" + l->class_name() +
           ") has no plain C++ form";
}

bool identifier_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::string plain_text(std::string_view form, plain_names const &names) {
    std::string out;
    for (std::size_t i = 0; i < form.size();) {
        if (!identifier_char(form[i])) {
            out += form[i++];
            continue;
        }
        // A whole identifier, or a number (which may hold letters: 1e-10).
        std::size_t end = i;
        while (end < form.size() && (identifier_char(form[end]) || form[end] == '.')) ++end;
        std::string_view const word = form.substr(i, end - i);
        auto const it = std::find_if(names.begin(), names.end(),
                                     [&](auto const &n) { return n.first == word; });
        if (it != names.end())
            out += it->second;
        else
            out += word;
        i = end;
    }
    return out;
}

std::string plain_text_of(plain_value1 const &v, plain_constants constants) {
    plain_names names;
    for (auto const &[name, value] : constants)
        names.emplace_back(name, plain_writer::literal(value));
    if (v.body) return "[](double a) -> double " + plain_text(v.text, names) + "(@1)";
    names.emplace_back("a", "@1");
    return plain_text(v.text, names);
}

std::string plain_text_of(plain_value2 const &v) {
    return plain_text(v.text, {{"a", "@1"}, {"b", "@2"}});
}

std::string plain_writer::literal(double value) {
    std::string v = cpp_double_literal(value);
    if (v.find_first_not_of("-0123456789") == std::string::npos) v += ".0";
    return v[0] == '-' ? "(" + v + ")" : v;
}

std::string plain_writer::value(std::string const &expression) {
    if (statements_.size() >= max_statements) throw refused{"the law is too large to write"};
    statements_.push_back(expression);
    return "v" + std::to_string(statements_.size() - 1);
}

namespace {
// Calls f(word, begin, end) for each identifier (or number) of the expression, where it stands.
template <class F>
void each_word(std::string_view e, F f) {
    for (std::size_t i = 0; i < e.size();) {
        std::size_t end = i;
        while (end < e.size() && (identifier_char(e[end]) || e[end] == '.')) ++end;
        if (end == i) {
            ++i;
            continue;
        }
        f(e.substr(i, end - i), i, end);
        i = end;
    }
}

// Calls f(k, begin, end) for each variable vk that the expression reads, where it stands.
template <class F>
void each_variable(std::string_view e, F f) {
    each_word(e, [&](std::string_view word, std::size_t begin, std::size_t end) {
        if (word.size() > 1 && word[0] == 'v' &&
            word.find_first_not_of("0123456789", 1) == std::string_view::npos)
            f(std::stoul(std::string(word.substr(1))), begin, end);
    });
}

// The expression with each variable vk renamed v(number[k]).
std::string renumbered(std::string_view e, std::vector<std::size_t> const &number) {
    std::string out;
    std::size_t copied = 0;
    each_variable(e, [&](std::size_t k, std::size_t begin, std::size_t end) {
        out.append(e.substr(copied, begin - copied));
        out += "v" + std::to_string(number[k]);
        copied = end;
    });
    return out.append(e.substr(copied));
}
}  // namespace

std::string plain_writer::body_for(plain_values &outputs) const {
    std::vector<bool> needed(statements_.size(), false);
    auto const need = [&](std::size_t k, std::size_t, std::size_t) { needed[k] = true; };
    for (std::string const &o : outputs) each_variable(o, need);
    for (std::size_t k = statements_.size(); k-- > 0;)
        if (needed[k]) each_variable(statements_[k], need);
    std::vector<std::size_t> number(statements_.size(), 0);
    std::string statements;
    std::map<std::string, std::string> called;  // the helpers the statements call
    std::size_t written = 0;
    for (std::size_t k = 0; k < statements_.size(); ++k) {
        if (!needed[k]) continue;
        number[k] = written++;
        statements += "    double const v" + std::to_string(number[k]) + " = " +
                      renumbered(statements_[k], number) + ";\n";
        each_word(statements_[k], [&](std::string_view word, std::size_t, std::size_t) {
            if (auto const h = helpers_.find(std::string(word)); h != helpers_.end())
                called.insert(*h);
        });
    }
    for (std::string &o : outputs) o = renumbered(o, number);
    std::string body;
    for (auto const &[name, text] : called)
        body += "    auto const " + name + " = [](double v) { return " + text + "; };\n";
    return body + statements;
}

void plain_writer::refuse(law const *l) const { throw refused{no_form(l)}; }

// A constant, an input, or a part of no input, which is written as the value the library gives
// it, its members unwritten: a compiler that folds std::cosh(1.5) need not round as the C
// library does at run time. A part that raises is written by its form.
bool plain_writer::written_directly(law const *l, plain_point const &at, plain_values &out) {
    if (auto const *k = law_cast<constant_law>(l)) {
        out = {literal(k->value())};
        return true;
    }
    if (auto const *in = law_cast<identity_law>(l)) {
        std::size_t const i = static_cast<std::size_t>(in->index());
        if (at.id == 0)
            out = {"x[" + std::to_string(i) + "]"};
        else
            out = {i < at.inputs.size() ? at.inputs[i] : "0.0"};
        return true;
    }
    if (l->take_dim() != 0 || l->return_dim() != 1) return false;
    double v;
    try {
        l->evaluate(nullptr, &v);
    } catch (vorn_exception const &) {
        return false;
    }
    out = {literal(v)};
    return true;
}

struct plain_writer::frame {
    law const *l;
    plain_form form;
    std::vector<plain_values> members;
};

plain_values plain_writer::written_by_form(frame const &f) {
    for (plain_helper const &h : f.form.helpers) helpers_.emplace(h.name, h.text);
    if (f.form.write) return f.form.write(*this, f.l, f.members);
    std::string_view const text = f.form.text;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t digits = i + 1;
        while (text[i] == '@' && digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
            ++digits;
        if (digits == i + 1) {
            out += text[i++];
            continue;
        }
        std::size_t const k = std::stoul(std::string(text.substr(i + 1, digits - i - 1))) - 1;
        out += k < f.members.size() ? first(f.members[k]) : "0.0";
        i = digits;
    }
    return {value(out)};
}

plain_values plain_writer::values_at(law const *root, plain_point const &at) {
    if (depth_ >= max_nesting) throw refused{"the law nests too deeply to write"};
    struct nesting {
        int &depth;
        explicit nesting(int &d) : depth(++d) {}
        ~nesting() { --depth; }
    } const nest(depth_);
    std::vector<frame> stack;
    plain_values done;  // the values of the law last met, when `ready`
    // Whether l's values are known at once (into done); else l waits on the stack for its members.
    auto const begin = [&](law const *l) {
        if (auto const it = done_.find({l, at.id}); it != done_.end()) {
            done = it->second;
            return true;
        }
        if (written_directly(l, at, done)) return true;
        frame f{.l = l, .form = {}, .members = {}};
        if (!l->plain_form_of(f.form)) refuse(l);
        for (law const *m : f.form.members)
            if (!m) throw refused{std::string(l->class_name()) + " lacks a member"};
        stack.push_back(std::move(f));
        return false;
    };
    bool ready = begin(root);
    for (;;) {
        if (!ready) {
            frame &top = stack.back();
            if (top.members.size() < top.form.members.size()) {
                ready = begin(top.form.members[top.members.size()]);
                continue;
            }
            done = written_by_form(top);
            done_.emplace(std::pair{top.l, at.id}, done);
            stack.pop_back();
        }
        if (stack.empty()) return done;
        stack.back().members.push_back(std::move(done));
        ready = false;
    }
}

law_function_code law_function(std::span<law const *const> laws, char const *name) {
    plain_writer w;
    std::vector<std::string> outputs;
    try {
        for (law const *l : laws) {
            if (!l) throw refused{"a null law has no value"};
            for (std::string const &v : w.values_at(l, plain_point{})) outputs.push_back(v);
        }
    } catch (refused const &r) {
        return {{}, r.why};
    }
    // A law of no input reads no x.
    std::string const x = "[[maybe_unused]] double const *x";
    std::string const body = w.body_for(outputs);
    if (outputs.size() == 1)
        return {"double " + std::string(name) + "(" + x + ") {\n" + body + "    return " +
                    outputs[0] + ";\n}\n",
                {}};
    std::string code = "void " + std::string(name) + "(" + x + ", double *out) {\n" + body;
    for (std::size_t i = 0; i < outputs.size(); ++i)
        code += "    out[" + std::to_string(i) + "] = " + outputs[i] + ";\n";
    return {code + "}\n", {}};
}
