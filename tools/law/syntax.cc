#include "syntax.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include <law/lang/law_list.h>
#include <law/law.h>

namespace law_tool {
namespace {

struct meaning {
    char const *name;
    char const *text;
};

// One line for each name the library registers. A name registered without a line here shows
// as undescribed, and a test fails.
constexpr meaning meanings[] = {
    {"OR", "A OR B: 1 when either is nonzero, else 0"},
    {"AND", "A AND B: 1 when both are nonzero, else 0"},
    {"<", "A<B: 1 when A is less than B, else 0"},
    {">", "A>B: 1 when A is greater than B, else 0"},
    {"<=", "A<=B: 1 when A is at most B, else 0"},
    {">=", "A>=B: 1 when A is at least B, else 0"},
    {"=", "A=B: 1 when A equals B, else 0"},
    {"!=", "A!=B: 1 when A differs from B, else 0"},
    {"+", "A+B: sum (of vectors too)"},
    {"-", "A-B: difference; a leading -A negates"},
    {"*", "A*B: product; a number times a vector scales it (two vectors: use DOT)"},
    {"/", "A/B: quotient"},
    {"^", "A^B: A to the power B"},
    {"O", "A O B: composition, A with its inputs replaced by the outputs of B"},
    {"NOT", "NOT A: 1 when A is 0, else 0"},
    {"EVEN?", "EVEN?(A): 1 when A is an even whole number, else 0"},
    {"ODD?", "ODD?(A): 1 when A is an odd whole number, else 0"},
    {"INT?", "INT?(A): 1 when A is a whole number, else 0"},
    {"PRIME?", "PRIME?(A): 1 when A is a whole odd prime or 1 (2 gives 0), else 0"},
    {"SET", "SET(A): 1 when A is positive, else 0"},
    {"LN", "LN(A): natural logarithm, for A > 0"},
    {"EXP", "EXP(A): e to the power A"},
    {"FLOOR", "FLOOR(A): largest whole number at most A"},
    {"CEIL", "CEIL(A): smallest whole number at least A"},
    {"RAND", "RAND(A): a pseudo-random number in [0, 1) that depends on A"},
    {"SIN", "SIN(A): sine (radians)"},
    {"COS", "COS(A): cosine"},
    {"TAN", "TAN(A): tangent"},
    {"COT", "COT(A): cotangent"},
    {"SEC", "SEC(A): secant, 1/COS(A)"},
    {"CSC", "CSC(A): cosecant, 1/SIN(A)"},
    {"ARCSIN", "ARCSIN(A): inverse sine, for -1 <= A <= 1"},
    {"ARCCOS", "ARCCOS(A): inverse cosine, for -1 <= A <= 1"},
    {"ARCCOT", "ARCCOT(A): inverse cotangent"},
    {"ARCSEC", "ARCSEC(A): inverse secant"},
    {"ARCCSC", "ARCCSC(A): inverse cosecant"},
    {"SINH", "SINH(A): hyperbolic sine"},
    {"COSH", "COSH(A): hyperbolic cosine"},
    {"TANH", "TANH(A): hyperbolic tangent"},
    {"COTH", "COTH(A): hyperbolic cotangent"},
    {"SECH", "SECH(A): hyperbolic secant"},
    {"CSCH", "CSCH(A): hyperbolic cosecant"},
    {"ARCSINH", "ARCSINH(A): inverse hyperbolic sine"},
    {"ARCCOSH", "ARCCOSH(A): inverse hyperbolic cosine, for A >= 1"},
    {"ARCTANH", "ARCTANH(A): inverse hyperbolic tangent, for -1 < A < 1"},
    {"ARCCOTH", "ARCCOTH(A): inverse hyperbolic cotangent"},
    {"ARCSECH", "ARCSECH(A): inverse hyperbolic secant"},
    {"ARCCSCH", "ARCCSCH(A): inverse hyperbolic cosecant"},
    {"ABS", "ABS(A): absolute value"},
    {"SQRT", "SQRT(A): square root, for A >= 0"},
    {"NORM", "NORM(V): the vector V scaled to length 1 (SIZE gives the length)"},
    {"FRENET", "FRENET(C): unit principal normal of the curve C"},
    {"SURFNORM", "SURFNORM(S): normal dS/du x dS/dv of the surface S"},
    {"SIZE", "SIZE(V): length of the vector V, SQRT(V*V)"},
    {"PI", "PI: 3.141592653589793"},
    {"E", "E: 2.718281828459045 (E followed by a number is a variable: E2)"},
    {"TRUE", "TRUE: 1"},
    {"FALSE", "FALSE: 0"},
    {"D", "D(F,V,N): the N-th numerical derivative of F in the input the variable V names"},
    {"MAX", "MAX(A,B,...): largest of the arguments"},
    {"MIN", "MIN(A,B,...): smallest of the arguments"},
    {"VEC", "VEC(A,B,...): the vector of the arguments, one output each"},
    {"TERM", "TERM(V,K): component K of the vector V, counted from 1"},
    {"DOMAIN", "DOMAIN(F,A,B): F restricted to inputs from A to B"},
    {"PDOMAIN", "PDOMAIN(F,A,B): DOMAIN that survives simplification"},
    {"DOT", "DOT(A,B): dot product of two vectors"},
    {"ARCTAN", "ARCTAN(A): inverse tangent; ARCTAN(Y,X): the angle of (X, Y) in (-PI, PI]"},
    {"CROSS", "CROSS(A,B): cross product of two 3-vectors"},
    {"LOG", "LOG(A): logarithm to base 10; LOG(A,B): to base B"},
    {"MOD", "MOD(A,B): remainder A-FLOOR(A/B)*B, with the sign of B: MOD(-1,3) is 2"},
    {"STEP", "STEP(F0,S1,F1,...): F0, then Fi from X = Si on"},
    {"PIECEWISE", "PIECEWISE(C1,V1,C2,V2,...[,ELSE]): Vi for the first true Ci"},
    {"TWIST", "TWIST(V,P,A): V turned about the unit tangent of the path P by the angle A"},
    {"SURFVEC", "SURFVEC(S,P,W): the tangent dS/du*W1+dS/dv*W2 of the surface S at P"},
    {"MINROT", "MINROT(P,V[,T0,T1]): V carried along the path P with least rotation"},
    {"BEND", "BEND(O,A,D,R): space bent about the axis A, the line O+tD onto radius R"},
    {"UNBEND", "UNBEND(O,A,D,R): the inverse of BEND(O,A,D,R)"},
    {"CONIC_LINE", "CONIC_LINE(P,V,A,B): where the line P+tV meets the torus of radii A, B"},
    {"CONIC_TROUGH_LINE",
     "CONIC_TROUGH_LINE(P,V,A,B): where the line P+tV meets x^2/A^2+y^2/B^2=1"},
    {"CYCLIDE", "CYCLIDE(A,C,MU[,U,V]): the Dupin cyclide at (U, V), or at (X, Y)"},
    {"DCYCLIDE", "DCYCLIDE(A,C,MU[,U,V]): dP/du and dP/dv of the cyclide, six values"},
    {"CYCLIDE_PERP", "CYCLIDE_PERP(A,C,MU[,P]): (u, v) of the cyclide point nearest P"},
    {"MULTI_CUR", "MULTI_CUR(C1,C2,...[,S0]): the curves one after another, from S0"},
    {"MULTI_CURVEPERP", "MULTI_CURVEPERP(C1,...[,S0]): the chain parameter nearest (X,Y,Z)"},
    {"SCALETRANS", "SCALETRANS(A,T): A times the scaling of the transform T"},
    {"VECTRANS", "VECTRANS(V,T): the vector V transformed by T (13 values)"},
    {"POSTRANS", "POSTRANS(P,T): the position P transformed by T (13 values)"},
    {"MAP", "MAP(F,R): F reparametrised onto [0, 1] over the parameter range R"},
    {"CUR", "CUR(C): the point of the curve C at T"},
    {"MTRAIL", "MTRAIL(C): the point of the curve C at T, as the rail of a sweep"},
    {"WIRE", "WIRE(W): the point of the wire W at T"},
    {"PCUR", "PCUR(P): the parameters (U, V) of the parameter curve P at T"},
    {"SURF", "SURF(S): the point of the surface S at (U, V)"},
    {"CURC", "CURC(C): the curvature of the curve C at T"},
    {"GAUSCUR", "GAUSCUR(S): the Gaussian curvature of the surface S at (U, V)"},
    {"MEANCUR", "MEANCUR(S): the mean curvature of the surface S at (U, V)"},
    {"MAXCUR", "MAXCUR(S): the larger principal curvature of the surface S at (U, V)"},
    {"MINCUR", "MINCUR(S): the smaller principal curvature of the surface S at (U, V)"},
    {"BS", "BS(S): the point of the spline approximation of the surface S at (U, V)"},
    {"CURI", "CURI(C): |C(S)-C(T)|^2/(S-T)^2 at (S, T), small where C meets itself"},
    {"CURD", "CURD(C): |C(S)-C(T)| at (S, T)"},
    {"PATTRANS", "PATTRANS(P): the 13 values of the transform of the pattern P at X"},
    {"DCUR", "DCUR(C,N): the N-th derivative of the curve C at T"},
    {"DWIRE", "DWIRE(W,N): the N-th derivative of the wire W at T"},
    {"DPCUR", "DPCUR(P,N): the N-th derivative of the parameter curve P at T"},
    {"DSURF", "DSURF(S,M,N): the derivative of S, M times in U and N times in V"},
    {"TRANS", "TRANS(F,T): the point F moved by the transform T"},
    {"ROTATE", "ROTATE(F,T): the direction F turned by the transform T, not moved"},
    {"CURVEPERP", "CURVEPERP(C,P[,G]): the parameter of the foot on the curve C from the point P"},
    {"SURFPERP", "SURFPERP(S,P[,G]): the parameters of the foot on the surface S from P"},
    {"LENGTH", "LENGTH(C,A,B): the arc length of the curve C from the parameter A to B"},
    {"LENGTH_PARAM", "LENGTH_PARAM(C,A,L): the parameter of C reached from A after length L"},
    {"SPLINE_LAW", "SPLINE_LAW(D): the spline that the spline law data D holds, by its parameter"},
};

constexpr char rules[] =
    "The law syntax\n"
    "\n"
    "Letters may be written in either case and blanks are ignored (so 'X 2' is X2).\n"
    "\n"
    "Inputs: X, U and T are input 0; Y and V input 1; Z input 2. Any letter followed by a\n"
    "number n is input n-1: X1 is X, A3 is input 2, and E2 and X2 are inputs, not numbers.\n"
    "A law takes as many inputs as the highest one it names.\n"
    "\n"
    "Numbers: 3, 0.5, .5, 1E-5, 2E+3. The exponent needs its sign: a digit, E and a digit with\n"
    "no sign between reads as a product with a variable, so 1e2 is 1*E2; write 1E+2.\n"
    "\n"
    "Implicit multiplication: a digit followed by a letter multiplies, 2X is 2*X and\n"
    "3SIN(X) is 3*SIN(X); nothing else does. Two operands in a row (XY, MAX(X,Y)Z) keep only\n"
    "the last one; write X*Y.\n"
    "\n"
    "Precedence, loosest first: OR, AND, NOT, comparisons (< > <= >= = !=), + -, * /, ^, O,\n"
    "then function names and a leading minus, which bind tightest. Operators of equal\n"
    "precedence group to the left, ^ too, and a leading minus binds tighter than ^:\n"
    "  -X^2 is (-X)^2 (write -(X^2)), 2^3^2 is (2^3)^2 = 64, X-Y-Z is (X-Y)-Z, NOT X=Y is\n"
    "  NOT(X=Y), SIN X+1 is SIN(X)+1.\n"
    "An empty operand reads as 0: X+ is X+0, SIN() is SIN(0), MAX(X,) is MAX(X,0).\n"
    "The tool notes dropped text, empty operands, 1E2 and a leading minus before ^ on standard\n"
    "error; --strict refuses them.\n"
    "\n"
    "A product of two vectors raises LAW_TIMES: DOT(A,B) is their dot product. D(F,V,N) takes\n"
    "a variable for V (D(F,Y,2) is the second derivative in input 1) and differentiates by\n"
    "numerical differences; N is 1 when left out.\n"
    "\n"
    "Comparisons and logic give 1 for true and 0 for false, and take any nonzero value as\n"
    "true: (X>0) AND (Y<1), PIECEWISE(X<0, -X, X).\n"
    "\n"
    "References: LAW1, LAW2, ... are the laws given with --law, in order (LAW alone is LAW1).\n"
    "A law-data name followed by a number refers to law data that a program hands the parser;\n"
    "the tool hands it those given with --data, numbered after the laws ('law help data').\n"
    "\n"
    "Example:\n"
    "  law eval '-X^2' 3                  prints  9\n"
    "  law eval '-(X^2)' 3                prints  -9\n"
    "  law eval '2^3^2'                   prints  64\n"
    "  law eval '2X+1E+2' 3               prints  106\n"
    "  law eval 'X*Y' 3 5                 prints  15\n"
    "  law eval '(X>0) AND (Y<1)' 2 0.5   prints  1\n"
    "  law eval 'LAW1^2' --law 'X+1' 2    prints  9\n"
    "  law eval 'CUR(LINE1)' 2 --data LINE   prints  2 0 0\n"
    "  law eval '2*VEC(1,2)'              prints  2 4\n"
    "  law eval 'DOT(VEC(1,2),VEC(3,4))'  prints  11\n"
    "  law eval 'FLOOR(D(X*Y^3,Y,2)+0.5)' 1 2   prints  12\n"
    "\n";

// Operators first, then functions, constants and laws of law data.
int family_rank(law const *p) {
    if (law_cast<binary_law>(p)) return 0;
    if (law_cast<constant_law>(p)) return 2;
    if (law_cast<unary_data_law>(p) || law_cast<multiple_data_law>(p)) return 3;
    return 1;
}

constexpr char const *family_names[] = {"operator", "function", "constant", "of law data"};

}  // namespace

char const *name_meaning(std::string_view name) {
    auto const *it = std::find_if(std::begin(meanings), std::end(meanings),
                                  [&](meaning const &m) { return name == m.name; });
    return it == std::end(meanings) ? nullptr : it->text;
}

void print_syntax(std::FILE *out) {
    std::fputs(rules, out);
    std::vector<law const *> names;
    for (law_list const *node = law_list::head(); node; node = node->next()) {
        law const *p = node->prototype();
        if (p && p->symbol(law_symbol_default) && *p->symbol(law_symbol_default))
            names.push_back(p);
    }
    // The registry runs from the latest registration; the list reads in the order of the classes.
    std::reverse(names.begin(), names.end());
    std::stable_sort(names.begin(), names.end(),
                     [](law const *a, law const *b) { return family_rank(a) < family_rank(b); });
    std::fputs("Names, as the library registers them:\n", out);
    int width = 0;
    for (law const *p : names)
        width = std::max(width, static_cast<int>(std::strlen(p->symbol(law_symbol_default))));
    for (law const *p : names) {
        char const *name = p->symbol(law_symbol_default);
        char const *text = name_meaning(name);
        std::fprintf(out, "  %-*s %-12s %s\n", width, name, family_names[family_rank(p)],
                     text ? text : "(not described)");
    }
}

}  // namespace law_tool
