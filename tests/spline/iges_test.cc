// The IGES file of a fitted curve read as the format lays it down: fixed 80-column records with
// section letters and sequence numbers, a terminate record that counts them, parameters never
// split across records, units of millimetres at scale 1, and the curve's numbers unchanged.
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"

namespace {

std::vector<std::string> records(std::string const &text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Free-format fields of a section's data columns, reading Hollerith strings whole.
std::vector<std::string> fields_of(std::string const &data) {
    std::vector<std::string> out;
    std::string cur;
    for (std::size_t i = 0; i < data.size(); ++i) {
        char const ch = data[i];
        if (ch == ',' || ch == ';') {
            out.push_back(cur);
            cur.clear();
            if (ch == ';') break;
            continue;
        }
        if (ch == 'H' && !cur.empty() && cur.find_first_not_of("0123456789") == std::string::npos) {
            std::size_t const n = std::stoul(cur);
            cur = data.substr(i + 1, n);
            i += n;
            continue;
        }
        if (ch != ' ') cur += ch;
    }
    return out;
}

}  // namespace

class Iges : public LawTest {};

TEST_F(Iges, RationalBsplineCurveFollowsTheFixedFormat) {
    law_ptr const helix = adopt(str_to_law("VEC(COS(X), SIN(X), 0.2*X)"));
    std::unique_ptr<sw_curve> const c(law_to_sw_curve(helix.get(), ZEM::interval(0, 6), 1e-6));
    iges_writer w("helix.igs", "20261206.120000");
    EXPECT_EQ(add_iges_curve(w, *c, "HELIX"), 1);
    auto const lines = records(w.text());

    std::map<char, int> count;
    std::string const order = "SGDPT";
    std::size_t section = 0;
    std::string global, params;
    for (auto const &r : lines) {
        ASSERT_EQ(r.size(), 80u) << r;
        char const letter = r[72];
        while (section < order.size() && order[section] != letter) ++section;
        ASSERT_LT(section, order.size()) << "section out of order: " << r;
        ++count[letter];
        EXPECT_EQ(std::atoi(r.substr(73).c_str()), count[letter]) << r;
        if (letter == 'G') global += r.substr(0, 72);
        if (letter == 'P') {
            EXPECT_EQ(std::atoi(r.substr(64, 8).c_str()), 1) << "directory pointer";
            std::string const data = r.substr(0, 64);
            std::size_t const end = data.find_last_not_of(' ');
            // Each record ends on a delimiter: no parameter runs on into the next.
            EXPECT_TRUE(data[end] == ',' || data[end] == ';') << r;
            params += data;
        }
    }
    EXPECT_EQ(count['T'], 1);
    char term[40];
    std::snprintf(term, sizeof term, "S%7dG%7dD%7dP%7d", count['S'], count['G'], count['D'],
                  count['P']);
    EXPECT_EQ(lines.back().substr(0, 32), term);
    EXPECT_EQ(count['D'], 2);

    auto const g = fields_of(global);
    ASSERT_GE(g.size(), 25u);
    EXPECT_EQ(g[0], ",");
    EXPECT_EQ(g[1], ";");
    EXPECT_EQ(g[3], "helix.igs");
    EXPECT_EQ(std::strtod(g[12].c_str(), nullptr), 1.0);  // model space scale
    EXPECT_EQ(g[13], "2");                                // units flag: millimetres
    EXPECT_EQ(g[14], "MM");
    EXPECT_EQ(g[22], "11");  // version 5.3

    // Directory entry: type 126, parameters from record 1, their record count, form 0.
    auto const &d1 = lines[count['S'] + count['G']];
    auto const &d2 = lines[count['S'] + count['G'] + 1];
    EXPECT_EQ(std::atoi(d1.substr(0, 8).c_str()), 126);
    EXPECT_EQ(std::atoi(d1.substr(8, 8).c_str()), 1);
    EXPECT_EQ(std::atoi(d2.substr(24, 8).c_str()), count['P']);
    EXPECT_EQ(std::atoi(d2.substr(32, 8).c_str()), 0);

    // Parameters: type, upper index, degree, four flags, then the packed block read back exactly.
    auto const p = fields_of(params);
    ASSERT_EQ(p.size(), 7u + c->get_data_size());
    EXPECT_EQ(p[0], "126");
    EXPECT_EQ(std::atoi(p[1].c_str()), c->get_K() - 1);
    EXPECT_EQ(std::atoi(p[2].c_str()), 3);
    EXPECT_EQ(p[5], "1");  // polynomial
    for (int i = 0; i < c->get_data_size(); ++i) {
        EXPECT_NE(p[7 + i].find('.'), std::string::npos) << p[7 + i];
        EXPECT_EQ(std::strtod(p[7 + i].c_str(), nullptr), c->get_IGES_DATA()[i]) << i;
    }
}
