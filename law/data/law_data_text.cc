#include <law/data/law_data_text.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <law/core/law.h>
#include <law/core/lawutil_errors.h>
#include <law/data/affine_law_data.h>
#include <law/data/analytic_curves.h>
#include <law/data/analytic_surfaces.h>
#include <law/data/chain_law_data.h>
#include <law/data/linear_pattern_law_data.h>
#include <law/data/uv_line_law_data.h>
#include <law/lang/str_to_law.h>

namespace {

struct text_failed {
    std::string why;
};

enum class value_kind { numbers, range, data };

struct field {
    std::string key;  // empty for a value without a name
    value_kind kind;
    std::vector<double> numbers;
    law_data_ptr data;
    bool used = false;
};

// The fields of one law data, taken by the builders; what no builder takes is an error.
class fields {
  public:
    fields(std::string name, std::vector<field> list)
        : name_(std::move(name)), list_(std::move(list)) {}

    std::optional<ZEM::vector> find_triple(char const *key) {
        field const *f = take(key, value_kind::numbers, 3);
        if (!f) return std::nullopt;
        return ZEM::vector(f->numbers[0], f->numbers[1], f->numbers[2]);
    }
    ZEM::vector triple(char const *key, ZEM::vector const &otherwise) {
        return find_triple(key).value_or(otherwise);
    }
    ZEM::par_pos pair(char const *key, ZEM::par_pos const &otherwise) {
        field const *f = take(key, value_kind::numbers, 2);
        return f ? ZEM::par_pos(f->numbers[0], f->numbers[1]) : otherwise;
    }
    double number(char const *key, double otherwise) {
        field const *f = take(key, value_kind::numbers, 1);
        return f ? f->numbers[0] : otherwise;
    }
    // The next range without a name.
    ZEM::interval range(ZEM::interval const &otherwise) {
        field const *f = take("", value_kind::range, 2);
        return f ? ZEM::interval(f->numbers[0], f->numbers[1]) : otherwise;
    }
    // The next law data with the given name (empty: without a name); null when none is left.
    law_data *data(char const *key) {
        field const *f = take(key, value_kind::data, 0);
        return f ? f->data.get() : nullptr;
    }
    void check_all_used() const {
        for (field const &f : list_)
            if (!f.used)
                throw text_failed{
                    name_ + " takes no " +
                    (f.key.empty() ? std::string("further value") : "'" + f.key + "'")};
    }

  private:
    field const *take(char const *key, value_kind kind, int count) {
        for (field &f : list_) {
            if (f.used || f.key != key) continue;
            if (f.kind != kind || (count && static_cast<int>(f.numbers.size()) != count))
                throw text_failed{name_ + ": " + (f.key.empty() ? "a value" : "'" + f.key + "'") +
                                  " has the wrong form"};
            f.used = true;
            return &f;
        }
        return nullptr;
    }

    std::string name_;
    std::vector<field> list_;
};

template <class T>
T const *as(law_data const *d) {
    auto const *t = dynamic_cast<T const *>(d);
    if (!t) law_error(LAW_DATA_UNKNOWN);
    return t;
}

using builder = std::function<law_data *(fields &)>;
constexpr double two_pi = 2 * M_PI;
ZEM::vector const x_axis(1, 0, 0), y_axis(0, 1, 0), z_axis(0, 0, 1), zero;

ZEM::position point(fields &f, char const *key) { return ZEM::origin + f.triple(key, zero); }

law_data *build_line(fields &f) {
    ZEM::position const root = point(f, "root");
    ZEM::vector const dir = f.triple("dir", x_axis);
    ZEM::interval const r = f.range({0, 1});
    return new line_law_data(root, dir, r.start_pt(), r.end_pt());
}
law_data *build_helix(fields &f) {
    ZEM::position const centre = point(f, "centre");
    ZEM::vector const axis = f.triple("axis", z_axis), major = f.triple("major", x_axis);
    double const pitch = f.number("pitch", 1);
    ZEM::interval const r = f.range({0, two_pi});
    return new helix_law_data(centre, axis, major, pitch, r.start_pt(), r.end_pt());
}
law_data *build_circle(fields &f) {
    ZEM::position const centre = point(f, "centre");
    ZEM::vector const axis = f.triple("axis", z_axis), major = f.triple("major", x_axis);
    ZEM::interval const r = f.range({0, two_pi});
    return new circle_law_data(centre, axis, major, r.start_pt(), r.end_pt());
}
law_data *build_plane(fields &f) {
    ZEM::position const root = point(f, "root");
    ZEM::vector const u = f.triple("u", x_axis), v = f.triple("v", y_axis);
    ZEM::interval const ur = f.range({0, 1}), vr = f.range({0, 1});
    return new plane_law_data(root, u, v, ur, vr);
}
law_data *build_sphere(fields &f) {
    ZEM::position const centre = point(f, "centre");
    double const radius = f.number("radius", 1);
    ZEM::vector const pole = f.triple("pole", z_axis), meridian = f.triple("meridian", x_axis);
    ZEM::interval const ur = f.range({0, two_pi}), vr = f.range({-M_PI / 2, M_PI / 2});
    return new sphere_law_data(centre, radius, pole, meridian, ur, vr);
}
law_data *build_chain(fields &f) {
    std::vector<base_curve_law_data const *> segments;
    while (law_data const *d = f.data("")) segments.push_back(as<base_curve_law_data>(d));
    return new chain_law_data(segments.data(), static_cast<int>(segments.size()));
}
law_data *build_uv_line(fields &f) {
    ZEM::par_pos const root = f.pair("root", {0, 0}), dir = f.pair("dir", {1, 0});
    ZEM::interval const r = f.range({0, 1});
    law_data const *on = f.data("on");
    law_data_ptr const plane = on ? law_data_ptr() : adopt<law_data>(new plane_law_data);
    return new uv_line_law_data(as<base_surface_law_data>(on ? on : plane.get()), root, dir,
                                r.start_pt(), r.end_pt());
}
law_data *build_pattern(fields &f) {
    std::vector<ZEM::vector> steps;
    std::vector<ZEM::interval> ranges;
    while (std::optional<ZEM::vector> const s = f.find_triple("along")) {
        steps.push_back(*s);
        ranges.push_back(f.range({0, 1}));
    }
    if (steps.empty()) {
        steps.push_back(x_axis);
        ranges.push_back(f.range({0, 1}));
    }
    return new linear_pattern_law_data(steps.data(), ranges.data(), static_cast<int>(steps.size()));
}
law_data *build_transform(fields &f) {
    ZEM::matrix const a(f.triple("x", x_axis), f.triple("y", y_axis), f.triple("z", z_axis));
    ZEM::vector const move = f.triple("move", zero);
    ZEM::transf const t(a, move, f.number("scale", 1));
    return new affine_law_data(&t);
}

struct named_builder {
    char const *name;
    builder make;
};

std::vector<named_builder> const &builders() {
    static std::vector<named_builder> const all = {
        {"LINE", build_line},           {"HELIX", build_helix},
        {"CIRCLE", build_circle},       {"PLANE", build_plane},
        {"SPHERE", build_sphere},       {"CHAIN", build_chain},
        {"UVLINE", build_uv_line},      {"LINEAR_PATTERN", build_pattern},
        {"TRANSFORM", build_transform},
    };
    return all;
}

// One walk over the text; each read_ function starts at pos_ past any blank.
class reader {
  public:
    explicit reader(std::string_view text) : s_(text) {}

    law_data_ptr whole() {
        law_data_ptr d = data();
        skip();
        if (pos_ < s_.size()) fail("unexpected text at ");
        return d;
    }

  private:
    [[noreturn]] void fail(std::string const &why) const {
        throw text_failed{why + "'" + std::string(s_.substr(pos_, 40)) + "'"};
    }
    void skip() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    bool at(char c) {
        skip();
        return pos_ < s_.size() && s_[pos_] == c;
    }
    void expect(char c) {
        if (!at(c)) fail(std::string("'") + c + "' expected at ");
        ++pos_;
    }
    std::string word() {
        skip();
        std::size_t const b = pos_;
        while (pos_ < s_.size() &&
               (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
            ++pos_;
        return std::string(s_.substr(b, pos_ - b));
    }
    bool word_next() {
        skip();
        return pos_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[pos_]));
    }

    double number() {
        skip();
        std::size_t const b = pos_;
        int depth = 0;
        while (pos_ < s_.size() && !std::isspace(static_cast<unsigned char>(s_[pos_])) &&
               (depth > 0 ||
                (s_[pos_] != ',' && s_[pos_] != ')' && s_[pos_] != ']' && s_[pos_] != '}'))) {
            depth += s_[pos_] == '(' ? 1 : s_[pos_] == ')' ? -1 : 0;
            ++pos_;
        }
        std::string const t(s_.substr(b, pos_ - b));
        if (t.empty()) fail("number expected at ");
        char *end = nullptr;
        double const v = std::strtod(t.c_str(), &end);
        if (end && *end == '\0') return v;
        law_ptr const l = adopt(str_to_law(t.c_str()));
        if (!l || l->take_dim() != 0 || l->return_dim() != 1)
            throw text_failed{"'" + t + "' is not a number"};
        double const none = 0;
        return l->evaluateM_R(&none);
    }
    std::vector<double> numbers(char close) {
        std::vector<double> out{number()};
        while (at(',')) {
            ++pos_;
            out.push_back(number());
        }
        expect(close);
        return out;
    }

    field value(std::string key) {
        skip();
        if (!key.empty() && (pos_ == s_.size() || s_[pos_] == '}'))
            throw text_failed{"'" + key + "' has no value after it"};
        field f{std::move(key), value_kind::numbers, {}, {}};
        if (at('(')) {
            ++pos_;
            f.numbers = numbers(')');
        } else if (at('[')) {
            ++pos_;
            f.kind = value_kind::range;
            f.numbers = numbers(']');
            if (f.numbers.size() != 2) fail("a range has two ends, before ");
        } else if (at('{')) {
            ++pos_;
            f.kind = value_kind::data;
            f.data = data();
            expect('}');
        } else {
            f.numbers = {number()};
        }
        return f;
    }

    law_data_ptr data() {
        skip();
        std::size_t const start = pos_;
        std::string name = word();
        for (char &c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        named_builder const *b = nullptr;
        for (named_builder const &n : builders())
            if (name == n.name) b = &n;
        if (!b) {
            pos_ = start;
            fail("law data name expected at ");
        }
        std::vector<field> list;
        while (!at('}') && (skip(), pos_ < s_.size()))
            list.push_back(value(word_next() ? word() : std::string()));
        fields f(name, std::move(list));
        law_data_ptr made;
        try {
            made = adopt(b->make(f));
        } catch (vorn_exception const &e) {
            throw text_failed{name + ": " + e.what()};
        }
        f.check_all_used();
        return made;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

}  // namespace

law_data *read_law_data(char const *text) {
    if (!text) {
        TEST_set_error("no text to read");
        return nullptr;
    }
    try {
        return reader(text).whole().release();
    } catch (text_failed const &f) {
        TEST_set_error(f.why.c_str());
        return nullptr;
    }
}

std::string law_data_text(law_data const &d) {
    T4_ostream out;
    d.print(out);
    return out.str();
}
