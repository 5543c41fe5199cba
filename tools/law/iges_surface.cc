// The IGES file of a surface: start, global, one directory entry, the parameters of entity 128
// and the terminate line, each line 80 columns with its section letter and number.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "numbers.h"
#include "surface_fit.h"

namespace law_tool {
namespace {

class iges_lines {
  public:
    void add(char section, std::string const &data) {
        char tail[16];
        std::snprintf(tail, sizeof tail, "%c%7d", section, ++count(section));
        std::string line = data;
        line.resize(72, ' ');
        text_ += line + tail + "\n";
    }
    // Free-format fields packed into lines of width columns, each ending in a delimiter.
    void add_fields(char section, std::vector<std::string> const &fields, int width,
                    std::string const &suffix = {}) {
        std::string line;
        for (std::string const &f : fields) {
            if (!line.empty() && line.size() + f.size() > static_cast<std::size_t>(width)) {
                line.resize(static_cast<std::size_t>(width), ' ');
                add(section, line + suffix);
                line.clear();
            }
            line += f;
        }
        line.resize(static_cast<std::size_t>(width), ' ');
        add(section, line + suffix);
    }
    int &count(char section) { return counts_[std::string_view("SGDPT").find(section)]; }
    std::string const &text() const { return text_; }

  private:
    int counts_[5] = {0, 0, 0, 0, 0};
    std::string text_;
};

std::string hollerith(std::string const &s) { return std::to_string(s.size()) + "H" + s; }

std::string real(double v) {
    std::string t = number_text(v);
    if (t.find_first_of(".eEn") == std::string::npos) t += ".0";
    return t;
}

std::vector<std::string> parameters(sw_surface const &S) {
    std::vector<std::string> p{"128"};
    auto add = [&p](std::string v) { p.push_back(v); };
    for (int v : {S.get_K1(), S.get_K2(), S.get_degree1(), S.get_degree2(), S.get_closed1(),
                  S.get_closed2(), S.get_polynomial(), S.get_periodic1(), S.get_periodic2()})
        add(std::to_string(v));
    double const *k1 = S.get_knot_vector1(), *k2 = S.get_knot_vector2(), *w = S.get_weights();
    for (int i = 0; i < S.get_num_knots1(); ++i) add(real(k1[i]));
    for (int i = 0; i < S.get_num_knots2(); ++i) add(real(k2[i]));
    int const n = S.get_num_control_points1() * S.get_num_control_points2();
    for (int i = 0; i < n; ++i) add(real(w[i]));
    ZEM::position const *pts = S.get_control_points();
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c) add(real(pts[i][c]));
    for (double v : {S.get_min_s(), S.get_max_s(), S.get_min_t(), S.get_max_t()}) add(real(v));
    for (std::string &f : p) f += ",";
    p.back().back() = ';';
    return p;
}

std::string field8(std::string const &v) { return std::string(8 - v.size(), ' ') + v; }

}  // namespace

std::string iges_text(sw_surface const &S, std::string const &source) {
    iges_lines out;
    out.add('S', "Bicubic B-spline surface fitted to " + source.substr(0, 36));
    std::vector<std::string> global;
    for (std::string const &g : {std::string("1H,"),    std::string("1H;"),
                                 hollerith("law"),      hollerith("surface.igs"),
                                 hollerith("law fit2"), hollerith("1"),
                                 std::string("32"),     std::string("38"),
                                 std::string("6"),      std::string("308"),
                                 std::string("15"),     hollerith("law"),
                                 std::string("1.0"),    std::string("2"),
                                 hollerith("MM"),       std::string("1"),
                                 std::string("0.01"),   hollerith("20261206.000000"),
                                 std::string("1e-06"),  std::string("0.0"),
                                 hollerith(""),         hollerith(""),
                                 std::string("11"),     std::string("0")})
        global.push_back(g + ",");
    global.back().back() = ';';
    out.add_fields('G', global, 72);

    iges_lines body;
    body.add_fields('P', parameters(S), 64, field8("1"));
    int const lines = body.count('P');
    out.add('D', field8("128") + field8("1") + field8("0") + field8("0") + field8("0") +
                     field8("0") + field8("0") + field8("0") + "00000000");
    out.add('D', field8("128") + field8("0") + field8("0") + field8(std::to_string(lines)) +
                     field8("0") + field8("") + field8("") + field8("") + field8("0"));
    std::string text = out.text() + body.text();
    char term[80];
    std::snprintf(term, sizeof term, "S%7dG%7dD%7dP%7d", out.count('S'), out.count('G'),
                  out.count('D'), lines);
    std::string last = term;
    last.resize(72, ' ');
    return text + last + "T      1\n";
}

}  // namespace law_tool
