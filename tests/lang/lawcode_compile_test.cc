// The generated code compiles and rebuilds its law: random laws over every parsable class, one
// function each in one translation unit compiled against the installed headers.
#include <bit>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "compiled_code.h"
#include "law_generator.h"
#include "law_test.h"

namespace {

class LawCodeCompiles : public LawTest {};

// Laws of law data have no constructor calls (their lines are empty), so their code cannot stand
// alone.
bool holds_law_data(law const *l) {
    VOID_LIST found;
    l->hasa(unary_data_law::id(), found);
    l->hasa(multiple_data_law::id(), found);
    return found.count() > 0;
}

std::set<std::string> classes_in(law const *l) {
    VOID_LIST found;
    l->hasa(law::id(), found);
    std::set<std::string> names;
    for (int i = 0; i < found.count(); ++i)
        names.insert(static_cast<law const *>(found[i])->class_name());
    return names;
}

// What the law gives at x: the bits of its values, or the code of the error it raises.
std::vector<std::uint64_t> outcome(law const *l, double const *x) {
    std::vector<double> y(static_cast<std::size_t>(std::max(1, l->return_dim())));
    try {
        l->evaluate(x, y.data());
    } catch (vorn_exception const &e) {
        return {0xe000u + static_cast<std::uint64_t>(lawutil_local_code(e))};
    }
    std::vector<std::uint64_t> bits;
    for (double v : y) bits.push_back(std::bit_cast<std::uint64_t>(v));
    return bits;
}

TEST_F(LawCodeCompiles, RandomLawsRebuildFromTheirGeneratedCode) {
    allow_blocks_in_prototype_caches();
    constexpr int wanted = 600;
    generated::law_generator gen(17);
    std::vector<law_ptr> laws;
    std::string source = "#include <law/law.h>\n\n";
    int skipped = 0;
    // Classes the random laws rarely reach (a component needs a constant index, the geometric
    // constructions members of given shapes), and leaves.
    char const *const written[] = {"TERM(VEC(X,Y,Z),2)",
                                   "PI*E-TRUE+FALSE",
                                   "-0.5*X^-2",
                                   "TWIST(VEC(0,1,0),VEC(X,X^2,0),X)",
                                   "SURFVEC(VEC(X,Y,X*Y),VEC(X^2,X),VEC(2*X,1))",
                                   "MINROT(VEC(X,X^2,0),VEC(0,0,1),0,1)",
                                   "BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)",
                                   "UNBEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)",
                                   "CONIC_TROUGH_LINE(VEC(X,0,0),VEC(1,0,0),2,1)",
                                   "CYCLIDE(2,1,1.5)",
                                   "DCYCLIDE(2,1,1.5)",
                                   "CYCLIDE_PERP(2,1,1.5)",
                                   "MULTI_CUR(PDOMAIN(VEC(X,0,0),0,1),PDOMAIN(VEC(1,X,0),0,2))",
                                   "MULTI_CURVEPERP(PDOMAIN(VEC(X,0,0),0,1),3)",
                                   "SCALETRANS(X,VEC(1,0,0,0,1,0,0,0,1,0,0,0,2))",
                                   "VECTRANS(VEC(X,0,0),VEC(1,0,0,0,1,0,0,0,1,0,0,0,2))",
                                   "POSTRANS(VEC(X,0,0),VEC(1,0,0,0,1,0,0,0,1,0,0,0,2))"};
    for (int k = 0; static_cast<int>(laws.size()) < wanted; ++k) {
        law_ptr l = k < std::ssize(written) ? adopt(str_to_law(written[k])) : gen.make(4);
        if (holds_law_data(l.get())) {
            ++skipped;
            continue;
        }
        std::string const name = "rebuild_" + std::to_string(laws.size());
        lawcode const code(l.get(), "result", "t");
        source +=
            "law *" + name + "() {\n" + captured([&] { code.print(); }) + "    return result;\n}\n";
        laws.push_back(std::move(l));
    }
    source += "\n" + function_table("law *(*const law_rebuilders[])()", "rebuild_", laws.size());

    compiled_code const compiled(source);
    ASSERT_TRUE(compiled.loaded()) << compiled.errors().substr(0, 4000);
    auto const rebuilders = compiled.symbol<law *(*const *)()>("law_rebuilders");
    ASSERT_TRUE(rebuilders);

    double const points[][4] = {{0.3, 0.7, 1.1, 2.5}, {-0.4, 1.9, 0.05, -3}, {2, 0.5, -1.5, 4}};
    std::set<std::string> met;
    for (std::size_t i = 0; i < laws.size(); ++i) {
        law const *original = laws[i].get();
        SCOPED_TRACE(original->text());
        // The original's own caches (derivatives a 0/0 asks for) fill before the count.
        std::vector<std::vector<std::uint64_t>> expected;
        for (auto const &x : points) expected.push_back(outcome(original, x));
        long const alive = law::live_count();
        law *rebuilt = rebuilders[i]();
        ASSERT_TRUE(rebuilt);
        EXPECT_TRUE(original->same(original, rebuilt));
        EXPECT_EQ(rebuilt->type(), original->type());
        for (std::size_t k = 0; k < std::size(points); ++k)
            EXPECT_EQ(outcome(rebuilt, points[k]), expected[k]);
        rebuilt->remove();
        EXPECT_EQ(law::live_count(), alive) << "the clean-up left a law alive";
        for (std::string const &c : classes_in(original)) met.insert(c);
    }
    // Every class the generator draws from, but the laws of law data and those whose number of
    // values is not fixed, was rebuilt at least once.
    for (law_list const *n = law_list::head(); n; n = n->next()) {
        law const *p = n->prototype();
        if (p->isa(unary_data_law::id()) || p->isa(multiple_data_law::id())) continue;
        if (p->isa(conic_line_law::id())) continue;
        EXPECT_TRUE(met.count(p->class_name())) << p->class_name() << " never generated";
    }
    RecordProperty("laws_with_law_data_skipped", skipped);
    RecordProperty("source_bytes", static_cast<int>(source.size()));
}

}  // namespace
