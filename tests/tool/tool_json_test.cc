// --json and --precision: every subcommand's JSON output checked against the form that law help
// json gives for it, its numbers against the text output and known answers.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"
#include "tool_runner.h"

namespace {

class ToolJson : public LawTest {};

// A JSON value, or a form: a form's leaf is a type name ("number", "number|null").
struct node {
    enum kind_t { null, boolean, number, string, array, object, type, either } kind = null;
    double num = 0;
    std::string text;         // string, or type names
    std::vector<node> items;  // of an array, or the forms of an either
    std::vector<std::pair<std::string, node>> fields;
    std::vector<bool> optional;  // of fields, in forms
};

// Reads JSON; with forms, also bare type words and "key"? for an optional key. Fails the
// test and returns false on anything else.
class reader {
  public:
    reader(std::string const &text, bool forms) : s_(text), forms_(forms) {}
    bool whole(node &out) {
        if (!value(out)) return false;
        skip();
        return at_ == s_.size();
    }

  private:
    void skip() {
        while (at_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[at_]))) ++at_;
    }
    bool eat(char c) {
        skip();
        if (at_ < s_.size() && s_[at_] == c) return ++at_, true;
        return false;
    }
    bool string_value(std::string &out) {
        if (!eat('"')) return false;
        while (at_ < s_.size() && s_[at_] != '"') {
            char c = s_[at_++];
            if (c == '\\') {
                char const e = s_[at_++];
                c = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
                if (e == 'u') {
                    c = static_cast<char>(std::strtol(s_.substr(at_, 4).c_str(), nullptr, 16));
                    at_ += 4;
                }
            } else if (static_cast<unsigned char>(c) < 0x20) {
                return false;  // raw control characters are not JSON
            }
            out += c;
        }
        return eat('"');
    }
    bool word(node &out) {
        std::size_t const from = at_;
        while (at_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[at_]))) ++at_;
        std::string const w = s_.substr(from, at_ - from);
        if (w == "true" || w == "false") {
            out.kind = node::boolean;
            out.num = w == "true";
        } else if (w == "null") {
            out.kind = node::null;
        } else if (forms_ && !w.empty()) {
            out.kind = node::type;
            out.text = w;
        } else {
            return false;
        }
        return true;
    }
    // In forms, "[number]|null" is either of the two.
    bool value(node &out) {
        if (!one_value(out)) return false;
        if (!forms_ || at_ >= s_.size() || s_[at_] != '|') return true;
        ++at_;
        node alternative;
        if (!value(alternative)) return false;
        out = node{node::either, 0, {}, {out, alternative}, {}, {}};
        return true;
    }
    bool one_value(node &out) {
        skip();
        if (at_ >= s_.size()) return false;
        char const c = s_[at_];
        if (c == '"') return out.kind = node::string, string_value(out.text);
        if (c == '[') {
            ++at_;
            out.kind = node::array;
            if (eat(']')) return true;
            do {
                out.items.emplace_back();
                if (!value(out.items.back())) return false;
            } while (eat(','));
            return eat(']');
        }
        if (c == '{') {
            ++at_;
            out.kind = node::object;
            if (eat('}')) return true;
            do {
                std::string key;
                if (!string_value(key)) return false;
                out.optional.push_back(forms_ && eat('?'));
                if (!eat(':')) return false;
                out.fields.emplace_back(key, node{});
                if (!value(out.fields.back().second)) return false;
            } while (eat(','));
            return eat('}');
        }
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            char *end = nullptr;
            out.kind = node::number;
            out.num = std::strtod(s_.c_str() + at_, &end);
            out.text = s_.substr(at_, static_cast<std::size_t>(end - s_.c_str()) - at_);
            at_ = static_cast<std::size_t>(end - s_.c_str());
            return out.text.find_first_not_of("-+.0123456789eE") == std::string::npos;
        }
        return word(out);
    }

    std::string s_;
    bool forms_;
    std::size_t at_ = 0;
};

node parsed(std::string const &text, bool forms = false) {
    node n;
    EXPECT_TRUE(reader(text, forms).whole(n))
        << "not " << (forms ? "a form" : "JSON") << ": " << text;
    return n;
}

bool is_type(node const &v, std::string const &name) {
    switch (v.kind) {
        case node::null:
            return name == "null";
        case node::boolean:
            return name == "boolean";
        case node::string:
            return name == "string";
        case node::number:
            return name == "number" ||
                   (name == "integer" && v.text.find_first_of(".eE") == std::string::npos);
        default:
            return false;
    }
}

// Whether v has the form f; where it differs, why.
bool matches(node const &v, node const &f, std::string const &path, std::string &why) {
    if (f.kind == node::either) {
        std::string first;
        return matches(v, f.items[0], path, first) || matches(v, f.items[1], path, why);
    }
    if (f.kind == node::type) {
        if (is_type(v, f.text)) return true;
        why = path + " is not " + f.text;
        return false;
    }
    if (v.kind == node::null && f.kind != node::null) {
        why = path + " is null";
        return false;
    }
    if (v.kind != f.kind) {
        why = path + " has the wrong type";
        return false;
    }
    if (f.kind == node::array) {
        for (std::size_t i = 0; i < v.items.size(); ++i)
            if (!matches(v.items[i], f.items.at(0), path + "[" + std::to_string(i) + "]", why))
                return false;
        return true;
    }
    if (f.kind != node::object) return true;
    for (auto const &[key, value] : v.fields) {
        auto const it = std::find_if(f.fields.begin(), f.fields.end(),
                                     [&](auto const &g) { return g.first == key; });
        if (it == f.fields.end()) {
            why = path + "." + key + " is not in the form";
            return false;
        }
        if (!matches(value, it->second, path + "." + key, why)) return false;
    }
    for (std::size_t i = 0; i < f.fields.size(); ++i) {
        std::string const &key = f.fields[i].first;
        bool const given = std::any_of(v.fields.begin(), v.fields.end(),
                                       [&](auto const &g) { return g.first == key; });
        if (!given && !f.optional[i]) {
            why = path + "." + key + " is missing";
            return false;
        }
    }
    return true;
}

// The forms of law help json, by the words that start their lines ("eval", "eval -").
std::map<std::string, node> forms() {
    tool_run const r = run_law({"help", "json"});
    EXPECT_EQ(r.status, 0);
    std::map<std::string, node> out;
    std::string name, text;
    auto flush = [&] {
        if (!name.empty()) out[name] = parsed(text, true);
        name.clear();
        text.clear();
    };
    for (std::string const &line : lines_of(r.out)) {
        std::size_t const brace = line.find('{');
        if (!line.empty() && line[0] != ' ' && brace != std::string::npos && brace > 0 &&
            line[brace - 1] == ' ') {
            flush();
            name = line.substr(0, line.find_last_not_of(' ', brace - 1) + 1);
            text = line.substr(brace);
        } else if (!name.empty() && line.rfind("   ", 0) == 0) {
            text += line;
        } else {
            flush();
        }
    }
    flush();
    return out;
}

node const *field(node const &o, std::string const &key) {
    for (auto const &[k, v] : o.fields)
        if (k == key) return &v;
    return nullptr;
}

struct json_case {
    std::string form;
    std::vector<std::string> args;
    std::string input = {};
};

TEST_F(ToolJson, EverySubcommandPrintsItsForm) {
    std::map<std::string, node> const all = forms();
    std::vector<json_case> const cases = {
        {"eval", {"eval", "VEC(X*Y,X-Y)", "3", "-2"}},
        {"eval -", {"eval", "Y", "-"}, "1 2\n# no point\n\n3 4\ninf 1\n"},
        {"roots", {"roots", "SIN(X)", "1", "10", "--values"}},
        {"roots", {"roots", "X^2+1", "-1", "1"}},
        {"solve", {"solve", "X^2", "X+2", "-5", "5"}},
        {"min", {"min", "(X-1)^2+3", "-4", "4"}},
        {"max", {"max", "X*(1-X)", "0", "1", "--method", "nmax"}},
        {"bounds", {"bounds", "VEC(SIN(X),X)", "0", "10"}},
        {"bounds", {"bounds", "X*Y", "-1", "1", "0", "2"}},
        {"roots2d", {"roots2d", "VEC(X^2+Y^2-4,X*Y-1)", "-3", "3", "-3", "3"}},
        {"integrate", {"integrate", "EXP(-X)", "0", "inf"}},
        {"integrate", {"integrate", "SIN(X)", "0", "PI", "--method", "romberg"}},
        {"fit", {"fit", "SIN(X)", "0", "PI", "--tol", "1e-4"}},
        {"fit", {"fit", "VEC(X,2*X,1-X)", "0", "1", "--dump"}},
        {"fit2", {"fit2", "VEC(X,Y,X*Y)", "0", "1", "0", "1"}},
        {"frame", {"frame", "VEC(COS(X),SIN(X),X)", "0", "1", "--samples", "3"}},
        {"frame", {"frame", "VEC(X,0,0)", "0", "1", "--samples", "2"}},
        {"info", {"info", "SQRT(X)+LN(Y)"}},
        {"info", {"info", "X+Y+Z"}},
        {"intersect", {"intersect", "--sphere", "0,0,0,2", "--cylinder", "1,0,0,0,0,1,1"}},
        {"intersect",
         {"intersect", "--sphere", "0,0,0,2", "--cylinder", "0,0,-5,0,0,1,1", "--points", "3"}},
        {"info", {"info", "CONIC_LINE(VEC(-5,0,0),VEC(1,0,0),2,1)"}},
        {"code", {"code", "X+1"}},
        {"code", {"code", "X*Y", "--function", "g", "--deriv"}},
    };
    std::map<std::string, int> checked;
    for (json_case const &c : cases) {
        auto const form = all.find(c.form);
        ASSERT_NE(form, all.end()) << "law help json has no form for " << c.form;
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        tool_run const r = run_law(args, c.input);
        ASSERT_EQ(r.status, 0) << c.args[0] << " " << c.args[1] << ": " << r.err;
        std::vector<std::string> const lines = lines_of(r.out);
        ASSERT_FALSE(lines.empty()) << c.args[1];
        EXPECT_TRUE(c.form == "eval -" || lines.size() == 1) << r.out;
        for (std::string const &line : lines) {
            std::string why;
            EXPECT_TRUE(matches(parsed(line), form->second, c.form, why)) << why << "\n" << line;
        }
        ++checked[c.form];
    }
    // Every subcommand that takes --json has its form, and every form is checked.
    for (auto const &[name, form] : all) EXPECT_TRUE(checked.count(name)) << name;
    for (char const *name : {"print", "deriv", "simplify", "plot", "plot2", "repl"})
        EXPECT_EQ(run_law({name, "X", "--json"}).status, 2) << name;
}

TEST_F(ToolJson, NumbersAreTheTextOutputsAndTheKnownAnswers) {
    node const roots = parsed(run_law({"roots", "SIN(X)", "1", "10", "--json"}).out);
    node const *xs = field(roots, "roots");
    ASSERT_TRUE(xs && xs->items.size() == 3);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(xs->items[k].num, (k + 1) * std::numbers::pi, 1e-14);
    EXPECT_EQ(field(roots, "values"), nullptr);

    // The text numbers, read as JSON, are the same doubles.
    std::vector<std::string> const text = lines_of(run_law({"roots", "SIN(X)", "1", "10"}).out);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(xs->items[k].text, text[k]);

    node const stream = parsed(lines_of(run_law({"eval", "X/Y", "-", "--json"}, "1 4\n").out)[0]);
    EXPECT_EQ(field(stream, "line")->num, 1);
    EXPECT_EQ(field(stream, "values")->items.at(0).num, 0.25);
    // A point read from "inf" has no JSON number.
    node const inf = parsed(run_law({"eval", "1/X", "-", "--json"}, "inf\n").out);
    EXPECT_EQ(field(inf, "point")->items.at(0).kind, node::null);

    node const frame = parsed(
        run_law({"frame", "VEC(COS(X),SIN(X),0)", "0", "PI", "--samples", "2", "--json"}).out);
    node const &last = field(frame, "frames")->items.at(1);
    EXPECT_NEAR(field(last, "point")->items.at(0).num, -1, 1e-15);
    EXPECT_NEAR(field(last, "normal")->items.at(0).num, 1, 1e-12);  // towards the centre

    node const info = parsed(run_law({"info", "SQRT(X)", "--json"}).out);
    node const &domain = field(info, "domains")->items.at(0);
    ASSERT_EQ(domain.kind, node::array);
    EXPECT_EQ(domain.items.at(0).num, 0);
    EXPECT_EQ(domain.items.at(1).kind, node::null);

    node const code = parsed(run_law({"code", "X*Y", "--function", "g", "--json"}).out);
    EXPECT_EQ(field(code, "code")->text, run_law({"code", "X*Y", "--function", "g"}).out);
}

// The README's copy of the forms is the tool's.
TEST_F(ToolJson, ReadmeShowsTheForms) {
    std::ifstream in(LAW_SOURCE_DIR "/README.md");
    std::stringstream readme;
    readme << in.rdbuf();
    std::string const forms = run_law({"help", "json"}).out;
    ASSERT_FALSE(forms.empty());
    EXPECT_NE(readme.str().find("```text\n" + forms + "```"), std::string::npos)
        << "README.md's copy of law help json differs";
}

TEST_F(ToolJson, FailuresStayOnStandardError) {
    tool_run const r = run_law({"roots", "1/X", "-1", "X", "--json"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("law: ", 0), 0u) << r.err;
}

TEST_F(ToolJson, NumbersArePlainWhereThatIsShortAndRoundedOnRequest) {
    struct {
        std::vector<std::string> args;
        char const *out;
    } const cases[] = {
        {{"eval", "100000"}, "100000"},
        {{"eval", "1234567"}, "1234567"},
        {{"eval", "0.0001"}, "0.0001"},
        {{"eval", "0.00001"}, "1e-05"},
        {{"eval", "2^50"}, "1125899906842624"},
        {{"eval", "10^17"}, "1e+17"},
        {{"eval", "-1/3"}, "-0.3333333333333333"},
        {{"eval", "PI", "--precision", "5"}, "3.1416"},
        {{"eval", "123456", "--precision", "2"}, "120000"},
        {{"eval", "1/3", "--precision", "17"}, "0.3333333333333333"},
        {{"eval", "VEC(PI,2/3)", "--precision", "3", "--json"},
         "{\"point\":[],\"values\":[3.14,0.667]}"},
        {{"roots", "SIN(X)", "1", "4", "--precision", "4"}, "3.142"},
    };
    for (auto const &c : cases) {
        tool_run const r = run_law(c.args);
        EXPECT_EQ(r.status, 0) << c.args[1] << ": " << r.err;
        EXPECT_EQ(r.out, std::string(c.out) + "\n") << c.args[1];
    }
    EXPECT_EQ(run_law({"eval", "PI", "--precision", "0"}).status, 2);
    EXPECT_EQ(run_law({"eval", "PI", "--precision", "18"}).status, 2);
    EXPECT_NE(run_law({"eval", "PI", "--precision", "x"}).err.find("--precision"),
              std::string::npos);
}

}  // namespace
