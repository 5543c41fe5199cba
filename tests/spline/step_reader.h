#pragma once
// A reader of the exchange structure of STEP files for the tests, written from the format's
// grammar alone: the header and data sections, each instance "#n=..." parsed into values
// (numbers, strings, enumerations, references, lists, typed parameters), simple and complex
// instances alike. It refuses what the grammar does not allow, so that a test of a written file
// fails where a reader would.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace step_test {

struct value {
    enum kind_t { number, integer, string, enumeration, reference, list, typed, unset, derived };
    kind_t kind = unset;
    double real = 0;           // number, integer
    std::string text;          // string, enumeration (without dots), typed (its keyword)
    int ref = 0;               // reference
    std::vector<value> items;  // list, typed (its parameters)

    double as_real() const {
        if (kind != number && kind != integer) throw std::runtime_error("not a number");
        return real;
    }
};

// One partial entity: its keyword and parameters.
struct record {
    std::string keyword;
    std::vector<value> params;
};

// An instance is one record, or several for a complex instance (in the order written).
struct instance {
    std::vector<record> records;
    bool complex = false;
    record const *part(std::string const &keyword) const {
        for (auto const &r : records)
            if (r.keyword == keyword) return &r;
        return nullptr;
    }
};

class parser {
  public:
    explicit parser(std::string text) : s_(std::move(text)) {}

    value parse_value() {
        skip();
        char const c = peek();
        value v;
        if (c == '#') {
            ++i_;
            v.kind = value::reference;
            v.ref = static_cast<int>(digits());
        } else if (c == '\'') {
            v.kind = value::string;
            v.text = quoted();
        } else if (c == '.') {
            ++i_;
            v.kind = value::enumeration;
            while (std::isupper(static_cast<unsigned char>(peek())) || peek() == '_')
                v.text += s_[i_++];
            expect('.');
        } else if (c == '$') {
            ++i_;
            v.kind = value::unset;
        } else if (c == '*') {
            ++i_;
            v.kind = value::derived;
        } else if (c == '(') {
            v.kind = value::list;
            v.items = parse_params();
        } else if (c == '-' || c == '+' || std::isdigit(static_cast<unsigned char>(c))) {
            v = parse_number();
        } else if (std::isupper(static_cast<unsigned char>(c))) {
            v.kind = value::typed;
            v.text = keyword();
            v.items = parse_params();
        } else {
            fail("a value");
        }
        return v;
    }

    // "(v,v,...)"
    std::vector<value> parse_params() {
        skip();
        expect('(');
        std::vector<value> out;
        skip();
        if (peek() == ')') {
            ++i_;
            return out;
        }
        for (;;) {
            out.push_back(parse_value());
            skip();
            if (peek() == ',') {
                ++i_;
                continue;
            }
            expect(')');
            return out;
        }
    }

    instance parse_instance() {
        skip();
        instance in;
        if (peek() == '(') {
            in.complex = true;
            ++i_;
            for (skip(); peek() != ')'; skip()) {
                std::string k = keyword();
                in.records.push_back({k, parse_params()});
            }
            ++i_;
        } else {
            std::string k = keyword();
            in.records.push_back({k, parse_params()});
        }
        skip();
        if (i_ != s_.size()) fail("the end of the instance");
        return in;
    }

  private:
    [[noreturn]] void fail(char const *what) const {
        throw std::runtime_error(std::string("expected ") + what + " at " + std::to_string(i_) +
                                 " in " + s_.substr(0, 200));
    }
    char peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
    void skip() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    }
    void expect(char c) {
        if (peek() != c) fail(std::string(1, c).c_str());
        ++i_;
    }
    long digits() {
        std::size_t const start = i_;
        while (std::isdigit(static_cast<unsigned char>(peek()))) ++i_;
        if (start == i_) fail("digits");
        return std::atol(s_.substr(start, i_ - start).c_str());
    }
    std::string keyword() {
        std::string k;
        while (std::isupper(static_cast<unsigned char>(peek())) ||
               std::isdigit(static_cast<unsigned char>(peek())) || peek() == '_')
            k += s_[i_++];
        if (k.empty()) fail("a keyword");
        return k;
    }
    std::string quoted() {
        expect('\'');
        std::string out;
        for (;;) {
            if (i_ >= s_.size()) fail("the end of a string");
            char const c = s_[i_++];
            if (c == '\'') {
                if (peek() != '\'') return out;
                ++i_;
            }
            if (c < 32 || c > 126) fail("a printable character");
            out += c;
        }
    }
    // REAL: sign, digits, a point, digits, an exponent; INTEGER without the point.
    value parse_number() {
        std::size_t const start = i_;
        if (peek() == '-' || peek() == '+') ++i_;
        digits();
        value v;
        v.kind = value::integer;
        if (peek() == '.') {
            v.kind = value::number;
            ++i_;
            while (std::isdigit(static_cast<unsigned char>(peek()))) ++i_;
            if (peek() == 'E') {
                ++i_;
                if (peek() == '-' || peek() == '+') ++i_;
                digits();
            }
        }
        v.real = std::strtod(s_.substr(start, i_ - start).c_str(), nullptr);
        return v;
    }

    std::string s_;
    std::size_t i_ = 0;
};

// A whole file: the header instances and the data instances by number.
struct file {
    std::vector<instance> header;
    std::map<int, instance> data;

    instance const &at(int n) const {
        auto const it = data.find(n);
        if (it == data.end()) throw std::runtime_error("no instance #" + std::to_string(n));
        return it->second;
    }
    // The numbers of the instances with a record of that keyword.
    std::vector<int> find(std::string const &keyword) const {
        std::vector<int> out;
        for (auto const &[n, in] : data)
            if (in.part(keyword)) out.push_back(n);
        return out;
    }
};

// Splits the text into statements ending in ';' outside strings.
inline std::vector<std::string> statements(std::string const &text) {
    std::vector<std::string> out(1);
    bool in_string = false;
    for (char const c : text) {
        if (c == '\'') in_string = !in_string;
        if (c == ';' && !in_string) {
            out.push_back({});
            continue;
        }
        if (c == '\n' && !in_string) {
            out.back() += ' ';
            continue;
        }
        out.back() += c;
    }
    for (auto &s : out) {
        std::size_t const a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
        s = a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
    }
    if (out.back().empty()) out.pop_back();
    return out;
}

inline void collect_refs(value const &v, std::vector<int> &out) {
    if (v.kind == value::reference) out.push_back(v.ref);
    for (auto const &item : v.items) collect_refs(item, out);
}

// Parses a file; raises std::runtime_error for anything out of the format.
inline file read(std::string const &text) {
    auto const st = statements(text);
    file f;
    std::size_t k = 0;
    auto expect = [&](std::string const &what) {
        if (k >= st.size() || st[k] != what)
            throw std::runtime_error("expected " + what + ", read " + (k < st.size() ? st[k] : ""));
        ++k;
    };
    expect("ISO-10303-21");
    expect("HEADER");
    for (; k < st.size() && st[k] != "ENDSEC"; ++k)
        f.header.push_back(parser(st[k]).parse_instance());
    expect("ENDSEC");
    expect("DATA");
    for (; k < st.size() && st[k] != "ENDSEC"; ++k) {
        std::string const &s = st[k];
        std::size_t const eq = s.find('=');
        if (s[0] != '#' || eq == std::string::npos) throw std::runtime_error("bad instance " + s);
        int const n = std::atoi(s.substr(1, eq - 1).c_str());
        if (!f.data.emplace(n, parser(s.substr(eq + 1)).parse_instance()).second)
            throw std::runtime_error("instance #" + std::to_string(n) + " twice");
    }
    expect("ENDSEC");
    expect("END-ISO-10303-21");
    if (k != st.size()) throw std::runtime_error("text after the end");
    return f;
}

// Every reference in the data section names an instance of it.
inline std::vector<int> dangling_refs(file const &f) {
    std::vector<int> out;
    for (auto const &[n, in] : f.data)
        for (auto const &r : in.records)
            for (auto const &p : r.params) {
                std::vector<int> refs;
                collect_refs(p, refs);
                for (int ref : refs)
                    if (!f.data.count(ref)) out.push_back(ref);
            }
    return out;
}

}  // namespace step_test
