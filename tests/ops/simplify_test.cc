#include <string>
#include <vector>

#include "law/lang/str_to_law.h"
#include "law/ops/law_builders.h"
#include "law_test.h"

namespace {

class Simplify : public LawTest {};

law_ptr parse(std::string const &text) {
    law_ptr l = adopt(str_to_law(text.c_str()));
    EXPECT_TRUE(l) << "cannot read " << text;
    return l;
}

std::string simplified(std::string const &text, int level = 1) {
    law_ptr l = parse(text);
    if (!l) return "<unreadable>";
    return adopt(law_simplify(l.get(), level, 0))->text();
}

TEST_F(Simplify, Examples) {
    struct row {
        char const *in;
        char const *out;
    };
    std::vector<row> const rows = {
        {"x-x", "0"},       {"x*2", "2*X"}, {"2+x+3", "5+X"},
        {"x/x", "1"},       {"x^1", "X"},   {"x^0", "1"},
        {"(x^2)^3", "X^6"}, {"x-y", "X-Y"}, {"cos(x)^2+sin(x)^2", "1"},
    };
    for (auto const &r : rows) EXPECT_EQ(simplified(r.in), r.out) << r.in;
}

}  // namespace
