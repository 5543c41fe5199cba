// The table of subcommands: names, usage, help texts and options.
#include "arguments.h"
#include "tool.h"

namespace law_tool {
namespace {

constexpr option_def law_option{"law", 0, option_kind::value};
constexpr option_def data_option{"data", 0, option_kind::value};
constexpr option_def strict_option{"strict", 0, option_kind::flag};
constexpr option_def timeout_option{"timeout", 0, option_kind::value};

constexpr option_def reading_options[] = {law_option, data_option, strict_option};
// What every subcommand takes besides the laws' options.
constexpr option_def shared_options[] = {law_option, data_option, strict_option, timeout_option};
constexpr option_def deriv_options[] = {law_option,
                                        data_option,
                                        strict_option,
                                        {"wrt", 0, option_kind::value},
                                        {"order", 0, option_kind::value},
                                        {"level", 0, option_kind::value}};
constexpr option_def simplify_options[] = {law_option,
                                           data_option,
                                           strict_option,
                                           {"level", 0, option_kind::value},
                                           {"trace", 0, option_kind::optional_value}};
constexpr option_def integrate_options[] = {law_option,
                                            data_option,
                                            strict_option,
                                            {"method", 0, option_kind::value},
                                            {"tol", 0, option_kind::value},
                                            {"rel-tol", 0, option_kind::value},
                                            {"min-level", 0, option_kind::value},
                                            {"max-level", 0, option_kind::value},
                                            {"verbose", 'v', option_kind::flag}};
constexpr option_def plot_options[] = {law_option,
                                       data_option,
                                       strict_option,
                                       {"output", 'o', option_kind::value},
                                       {"deriv", 0, option_kind::flag},
                                       {"samples", 0, option_kind::value},
                                       {"roots", 0, option_kind::flag},
                                       {"extrema", 0, option_kind::flag},
                                       {"fit", 0, option_kind::value},
                                       {"view", 0, option_kind::value},
                                       {"frames", 0, option_kind::flag}};
constexpr option_def fit_options[] = {law_option,
                                      data_option,
                                      strict_option,
                                      {"tol", 0, option_kind::value},
                                      {"strategy", 0, option_kind::value},
                                      {"dump", 0, option_kind::flag},
                                      {"iges", 0, option_kind::value},
                                      {"step", 0, option_kind::value},
                                      {"fast-euler", 0, option_kind::flag},
                                      {"keep", 0, option_kind::flag},
                                      {"method", 0, option_kind::value}};
constexpr option_def frame_options[] = {
    law_option, data_option, strict_option, {"samples", 0, option_kind::value}};
constexpr option_def roots_options[] = {law_option,
                                        data_option,
                                        {"values", 0, option_kind::flag},
                                        {"method", 0, option_kind::value},
                                        {"keep", 0, option_kind::flag}};
constexpr option_def extremum_options[] = {
    law_option, data_option, strict_option, {"method", 0, option_kind::value}};
constexpr option_def bounds_options[] = {
    law_option, data_option, {"tol", 0, option_kind::value}, {"method", 0, option_kind::value}};
constexpr option_def roots2d_options[] = {
    law_option, data_option, {"quadtree", 0, option_kind::flag}, {"cell", 0, option_kind::value}};

constexpr option_def fit2_options[] = {law_option,
                                       data_option,
                                       strict_option,
                                       {"tol", 0, option_kind::value},
                                       {"iges", 0, option_kind::value},
                                       {"step", 0, option_kind::value},
                                       {"obj", 0, option_kind::value},
                                       {"fast-euler", 0, option_kind::flag},
                                       {"keep", 0, option_kind::flag}};
constexpr option_def plot2_options[] = {law_option,
                                        data_option,
                                        strict_option,
                                        {"tol", 0, option_kind::value},
                                        {"output", 'o', option_kind::value},
                                        {"error", 0, option_kind::flag}};

constexpr option_def intersect_options[] = {
    {"sphere", 0, option_kind::value}, {"cylinder", 0, option_kind::value},
    {"points", 0, option_kind::value}, {"output", 'o', option_kind::value},
    {"tol", 0, option_kind::value},    {"step", 0, option_kind::value},
    {"iges", 0, option_kind::value}};

constexpr option_def code_options[] = {law_option,
                                       data_option,
                                       {"name", 0, option_kind::value},
                                       {"prefix", 0, option_kind::value},
                                       {"function", 0, option_kind::value},
                                       {"deriv", 0, option_kind::flag}};

constexpr char law_option_help[] =
    "  --law TEXT        a law that EXPR names LAW1, LAW2, ... (repeatable, in order)\n"
    "  --data TEXT       a curve, surface, wire, pattern or transform that EXPR names by its\n"
    "                    kind and number, numbered after the laws: with no --law the first\n"
    "                    --data 'HELIX ...' is HELIX1 (repeatable; law help data lists them)\n"
    "  --strict          refuse a law whose reading drops text (XY), reads an empty operand\n"
    "                    as 0 (X+) or reads 1E2 as 1*E2; without it these are noted\n"
    "  --timeout S       stop with an error after S seconds (Ctrl-C stops at once); work past a\n"
    "                    second shows its time on standard error when that is a terminal\n"
    "  EXPR or TEXT written @FILE is the text of FILE, @- that of standard input\n";

constexpr command table[] = {
    {"print", "print EXPR", "read a law and print it in the default syntax",
     "Options:\n"
     "%s"
     "Example:\n"
     "  law print 'sin(x)^2 + 2x'      prints  SIN(X)^2+2*X\n",
     reading_options, run_print},
    {"eval", "eval EXPR [V ...] | eval EXPR -",
     "evaluate a law at a point, or at every point read from standard input",
     "Values may be numbers or expressions of no input such as PI/2. With '-', each line of\n"
     "standard input is one point of whitespace-separated numbers; each output line holds the\n"
     "values at that point, separated by single spaces. Values past the law's inputs are not\n"
     "read.\n"
     "Options:\n"
     "%s"
     "Example:\n"
     "  law eval 'X*Y' 3 -2               prints  -6\n"
     "  seq 1 3 | law eval 'X^2' -        prints  1\n"
     "                                            4\n"
     "                                            9\n"
     "  law eval 'X*Y' 3 -2 --json        prints  {\"point\":[3,-2],\"values\":[-6]}\n"
     "  law eval PI --precision 5         prints  3.1416\n",
     reading_options, run_eval, true},
    {"deriv", "deriv EXPR [--wrt I] [--order N] [--level L]",
     "print the symbolic derivative of a law",
     "The derivative is the one the library keeps for the law, simplified by the rules of level\n"
     "1; --level 2 simplifies it further, polynomial parts included.\n"
     "Options:\n"
     "  --wrt I           differentiate with respect to input I (0 for X, 1 for Y, ...; default "
     "0)\n"
     "  --order N         differentiate N times (default 1)\n"
     "  --level L         simplification level of the result (1 or 2; default 1)\n"
     "%s"
     "Example:\n"
     "  law deriv 'X^3' --order 2         prints  6*X\n"
     "  law deriv 'X^2*Y' --wrt 1         prints  X^2\n"
     "  law deriv '1/X'                   prints  -(X^-2)\n"
     "  law deriv 'X^3' --timeout 5       prints  3*X^2\n"
     "  law deriv '(X+1)/(X-1)' --level 2 prints  -(2*(-1+X)^-2)\n",
     deriv_options, run_deriv},
    {"simplify", "simplify EXPR [--level L] [--trace[=N]]", "simplify a law by the rewrite rules",
     "Prints what the rules make of the law. Level 2 adds the deep rules and brings the\n"
     "polynomial parts (sums, products, quotients and whole powers of other laws) to a\n"
     "canonical form, so that polynomial identities give 0 and common factors cancel.\n"
     "DOMAIN(F,A,B) simplifies to F, PDOMAIN keeps its domain; a program's law::simplify also\n"
     "restricts the rules' form to the law's domain when the rules lost it.\n"
     "Options:\n"
     "  --level L         simplification level (default 1; 2 adds the deep and polynomial rules)\n"
     "  --trace[=N]       print the rules applied on standard error (N > 2 prints every node)\n"
     "%s"
     "Example:\n"
     "  law simplify 'X*2 + 3X' --trace   prints  5*X\n"
     "  law simplify '(X+1)^2-(X^2+2*X+1)' --level 2\n"
     "                                    prints  0\n"
     "  law simplify '(X^2-1)/(X-1)' --level 2\n"
     "                                    prints  1+X\n"
     "  law simplify 'DOMAIN(X,0,1)'      prints  X\n",
     simplify_options, run_simplify},
    {"integrate",
     "integrate EXPR A B [--method M] [--tol T] [--rel-tol R] [--min-level M] [--max-level K] "
     "[--verbose]",
     "integrate a law of one input from A to B",
     "A and B may be numbers, expressions of no input such as PI/2, inf or -inf. The first\n"
     "line is the integral, the second its estimated error and the evaluations of the law.\n"
     "By default the integral is adaptive: Gauss-Kronrod rules (10 and 21 points) on pieces\n"
     "cut at the law's kinks, jumps and poles, the piece of largest error bisected, with\n"
     "extrapolation towards a singular end (QUADPACK's QAGS), and infinite limits mapped onto\n"
     "(0, 1] (QAGI). When the tolerance cannot be met it says why, with the best estimate,\n"
     "and exits 1.\n"
     "Options:\n"
     "  --method M        adaptive (the default, the library's Nintegrate_adaptive) or romberg\n"
     "                    (its Nintegrate, finite limits)\n"
     "  --tol T           the absolute error allowed (default 1e-10); for romberg, the largest\n"
     "                    difference between two levels\n"
     "  --rel-tol R       adaptive: the error allowed relative to the integral (default 1e-10)\n"
     "  --min-level M     romberg: run more than M levels (default 2)\n"
     "  --max-level K     romberg: run at most K levels, each doubling the samples (default 20,\n"
     "                    at most 30)\n"
     "  -v, --verbose     also print the intervals (adaptive) or the levels (romberg) used\n"
     "%s"
     "Example:\n"
     "  law integrate 'ABS(SIN(X))' 0 10*PI     prints  20\n"
     "                                          error: 2.2e-13 (estimated), evaluations: 210\n"
     "  law integrate 'EXP(-X)' 0 inf           prints  1\n"
     "                                          error: 5.8e-11 (estimated), evaluations: 135\n"
     "  law integrate 'SIN(X)' 0 PI --method romberg   prints  1.9999999999999996\n",
     integrate_options, run_integrate, true},
    {"roots", "roots EXPR A B [--method M] [--values] [--keep]",
     "print the roots of a law of one input in [A, B]",
     "The roots are printed in ascending order, one per line. A and B may be numbers or\n"
     "expressions of no input such as PI/2. By default every root is found: the law is\n"
     "resolved by Chebyshev interpolants on pieces cut at its kinks, jumps, poles and the ends\n"
     "of its domain, the roots come from their colleague matrices and are checked and polished\n"
     "on the law (close pairs, tangent roots, fast oscillations and roots beside poles are\n"
     "found; a pole is not a root). A stretch where the law is zero is noted on standard\n"
     "error and its left end printed. A law too busy to resolve in the evaluations the search\n"
     "allows (SIN(X) on [0, 1E6]) is an error, since roots may be missing.\n"
     "Options:\n"
     "  --method M        chebyshev (the default, the library's Nroot_all) or nroot (its Nroot)\n"
     "  --values          also print the law's value at each root\n"
     "  --keep            print the roots of a search that could not resolve the law everywhere,\n"
     "                    with a warning\n"
     "%s"
     "Example:\n"
     "  law roots 'SIN(X)' 1 10           prints  3.141592653589793\n"
     "                                            6.283185307179586\n"
     "                                            9.42477796076938\n"
     "  law roots '(X-1)*(X-1.000001)' 0 3   prints  1\n"
     "                                          1.000001\n"
     "  law roots '(X-0.5)/(X-1)' 0 2     prints  0.5\n"
     "  law roots 'SIN(X)' 1 7 --json     prints  "
     "{\"roots\":[3.141592653589793,6.283185307179586]}\n",
     roots_options, run_roots, true},
    {"solve", "solve F G A B [--method M] [--values] [--keep]",
     "print the parameters in [A, B] where F equals G",
     "The parameters are printed in ascending order, one per line: the roots of F-G, found as\n"
     "law roots finds them.\n"
     "Options:\n"
     "  --method M        chebyshev (the default, the library's Nsolve_all) or nroot (Nsolve)\n"
     "  --values          also print the value of F at each\n"
     "  --keep            print what a search that could not resolve F-G everywhere found\n"
     "%s"
     "Example:\n"
     "  law solve 'X^2' 'X+2' -5 5         prints  -1\n"
     "                                             2\n",
     roots_options, run_solve, true},
    {"min", "min EXPR A B [--method M]",
     "print where a law of one input is smallest in [A, B], and the value",
     "Prints the parameter and the law's value there, separated by a space. By default the\n"
     "candidates are the ends, the law's kinks, jumps and singular points, and the turning\n"
     "points of its Chebyshev interpolants, polished on its derivative; a law that falls\n"
     "without bound towards a pole is an error that names it.\n"
     "Options:\n"
     "  --method M        chebyshev (the default, the library's Nmin_global) or nmin (Nmin)\n"
     "%s"
     "Example:\n"
     "  law min '(X-1)^2+3' -4 4           prints  1 3\n"
     "  law min 'ABS(X-0.3)' -1 1          prints  0.3 0\n",
     extremum_options, run_min, true},
    {"max", "max EXPR A B [--method M]",
     "print where a law of one input is largest in [A, B], and the value",
     "Prints the parameter and the law's value there, separated by a space, found as law min\n"
     "finds the smallest.\n"
     "Options:\n"
     "  --method M        chebyshev (the default, the library's Nmax_global) or nmax (Nmax)\n"
     "%s"
     "Example:\n"
     "  law max 'X*(1-X)' 0 1              prints  0.5 0.25\n"
     "  law max '1-ABS(X-0.3)' -1 1        prints  0.3 1\n",
     extremum_options, run_max, true},
    {"bounds", "bounds EXPR [LO HI ...] [--method M] [--tol T]",
     "print the range of each output of a law over a box of its inputs",
     "Give a LO HI pair for each input, or none to use the law's domain (which must then be\n"
     "finite). Each output's range is printed as 'LOW HIGH' on a line of its own. For a law\n"
     "of one input the range is that of its values: the smallest and largest, found as law\n"
     "min and max find them; a law that grows without bound is an error that names where.\n"
     "For more inputs, or with --method sampled, it is the library's law::bounds: samples\n"
     "refined where the law bends, widened by the sampling error.\n"
     "Options:\n"
     "  --method M        chebyshev (the default for one input, the library's law_range) or\n"
     "                    sampled (law::bounds)\n"
     "  --tol T           sampled: refine while the law bends by more than T (default 0.001)\n"
     "%s"
     "Example:\n"
     "  law bounds 'SIN(X)' 0 10           prints  -1 1\n"
     "  law bounds 'X*Y' -1 1 0 2\n",
     bounds_options, run_bounds, true},
    {"roots2d", "roots2d EXPR X0 X1 Y0 Y1 [--quadtree [--cell S]]",
     "print every zero of a law of two inputs in a box",
     "A law of two outputs is a system of two equations; a law of more outputs has a zero where\n"
     "all of them vanish; a law of one output, where it touches zero without changing sign. The\n"
     "box is divided into cells: a cell goes where interval arithmetic shows that the law cannot\n"
     "vanish in it, and is settled where the interval Newton test shows one zero, which\n"
     "Newton's method then finds to full precision. Each zero is printed as 'X Y' on a line of\n"
     "its own, ascending in X. Zeros along a curve are an error, not a list of points.\n"
     "Options:\n"
     "  --quadtree        instead search for the minima of the sum of squares of the outputs\n"
     "                    from the cells of a quadtree that reach zero (Nroot2D; to about\n"
     "                    1e-4; it can miss zeros)\n"
     "  --cell S          with --quadtree, divide the box into cells no wider across than S\n"
     "                    (default an eighth of the box's diagonal)\n"
     "%s"
     "Example:\n"
     "  law roots2d 'VEC(X^2+Y^2-4,X*Y-1)' -3 3 -3 3\n"
     "                                   prints  -1.9318516525781364 -0.5176380902050416\n"
     "                                           -0.5176380902050416 -1.9318516525781364\n"
     "                                           0.5176380902050415 1.9318516525781366\n"
     "                                           1.9318516525781366 0.5176380902050415\n",
     roots2d_options, run_roots2d, true},
    {"plot",
     "plot EXPR A B [-o FILE.svg] [--deriv] [--samples N] [--roots] [--extrema] [--fit T] "
     "[--view V] [--frames]",
     "draw a law of one input over [A, B] as an SVG picture",
     "A law of 2 or 3 outputs is drawn as a plane curve of its first two outputs, or a space\n"
     "curve (3 outputs) in a projection.\n"
     "Options:\n"
     "  -o, --output FILE write the picture to FILE, and say so (- for standard output)\n"
     "  --deriv           also draw the derivative, with a legend\n"
     "  --samples N       start from N evenly spaced samples (default 200), refined where the\n"
     "                    curve bends\n"
     "  --roots           mark the roots (a law of one output)\n"
     "  --extrema         mark the local minima and maxima (a law of one output)\n"
     "  --fit T           also draw the spline fitted within T (as law fit does), its control\n"
     "                    polygon, and a dot at each knot\n"
     "  --view V          how a space curve is drawn: plane (its x and y, the default),\n"
     "                    isometric (z up, x and y 120 degrees apart) or oblique (x across, z\n"
     "                    up, y receding at half length)\n"
     "  --frames          draw the frame that turns least about the tangent (its normal and\n"
     "                    binormal, see law frame) as short arrows along a space curve; the\n"
     "                    view is then isometric unless given\n"
     "%s"
     "Example:\n"
     "  law plot 'SIN(X)/X' -10 10 --deriv -o sinc.svg\n"
     "  law plot 'X^3-3*X' -2.5 2.5 --roots --extrema -o cubic.svg\n"
     "  law plot 'SIN(3*X)*X' 0 3 --fit 0.01 -o fit.svg\n"
     "  law plot 'VEC(COS(X),SIN(X),X/4)' 0 4*PI --frames -o helix.svg\n",
     plot_options, run_plot},
    {"frame", "frame CURVE A B [--samples N]",
     "print the frames along a space curve at evenly spaced parameters",
     "CURVE is a law of one input and three outputs. At N parameters from A to B (default 5)\n"
     "one line gives the parameter t, the point, the unit tangent, the Frenet normal (the unit\n"
     "principal normal, or none where the curve does not bend) and the normal that turns\n"
     "least about the tangent (MINROT of the curve from the Frenet normal at A, refined by\n"
     "double reflection). Numbers have 12 significant digits.\n"
     "Options:\n"
     "  --samples N       the number of parameters (default 5)\n"
     "%s"
     "Example:\n"
     "  law frame 'VEC(X,0,0)' 0 1 --samples 2\n"
     "      prints  t 0  point 0 0 0  tangent 1 0 0  normal none  minrot 0 1 0\n"
     "              t 1  point 1 0 0  tangent 1 0 0  normal none  minrot 0 1 0\n",
     frame_options, run_frame, true},
    {"fit",
     "fit EXPR A B [--tol T] [--strategy S] [--method M] [--dump] [--iges FILE] [--step FILE] "
     "[--fast-euler] [--keep]",
     "fit a curve law of one input by a cubic B-spline within a tolerance",
     "EXPR is a law of one input and three outputs, a curve in space; a law of one output f is\n"
     "fitted as the plane curve (t, f(t), 0). Prints the degree, the number of control points\n"
     "and of knots, the accuracy (sw_curve_accuracy: the largest distance between law and\n"
     "spline at 2K+2 even parameters), the largest distance measured here at many parameters\n"
     "in every span, the derivatives it took (exact where the law has them, else differences)\n"
     "and the time. A fit that strays farther than the tolerance by either figure is an error\n"
     "(exit status 1): a law with a jump (FLOOR(X)) has no such fit.\n"
     "Options:\n"
     "  --tol T           the distance the spline may stray from the law (default 0.001)\n"
     "  --strategy S      0: fit to T/2 and remove the knots that stay within tolerance\n"
     "                    (default); 1: keep every knot; 2: remove every knot that can go\n"
     "  --dump            also print the spline: its knots beside its control points\n"
     "  --iges FILE       write the spline as an IGES rational B-spline curve (entity 126,\n"
     "                    millimetres)\n"
     "  --step FILE       write the spline as a STEP file (AP214, B_SPLINE_CURVE_WITH_KNOTS,\n"
     "                    millimetres); - writes it to standard output\n"
     "  --fast-euler      take one-sided differences even where exact derivatives exist\n"
     "  --keep            keep a fit that misses the tolerance: say so, dump and write it,\n"
     "                    and exit with status 0\n"
     "  --method M        pieces (the default, the library's law_to_sw_curve_in_pieces: each\n"
     "                    piece between the law's kinks and singular points fitted alone) or\n"
     "                    whole (law_to_sw_curve over [A, B] at once)\n"
     "%s"
     "Example:\n"
     "  law fit 'VEC(X, 2*X, 1-X)' 0 1 --strategy 1 | head -3\n"
     "                                    prints  degree: 3\n"
     "                                            control points: 4\n"
     "                                            knots: 8\n"
     "  law fit 'SIN(X)' 0 PI --tol 1e-6 --step sine.stp | head -1\n"
     "                                    prints  degree: 3\n",
     fit_options, run_fit, true},
    {"fit2",
     "fit2 EXPR S0 S1 T0 T1 [--tol T] [--iges FILE] [--step FILE] [--obj FILE] [--fast-euler] "
     "[--keep]",
     "fit a law of two inputs over a box by a bicubic B-spline surface",
     "EXPR maps (X, Y) to a point in space. The fit is a bicubic polynomial B-spline surface\n"
     "within the tolerance of the law over [S0, S1] x [T0, T1]; it prints the size of the\n"
     "control net, the knots with their multiplicities, the accuracy the fitting reports, the\n"
     "largest distance between law and surface measured here on a grid in every patch, the\n"
     "derivatives it took and the time the fit took. The fit takes the law's exact partial\n"
     "derivatives where the law has them, else one-sided differences. A fit that strays\n"
     "farther than the tolerance by either figure is an error (exit status 1), and writes no\n"
     "file.\n"
     "Options:\n"
     "  --tol T           the distance tolerance (default 0.001; not positive takes 0.001)\n"
     "  --iges FILE       write the surface as an IGES rational B-spline surface (entity 128)\n"
     "  --step FILE       write the surface as a STEP file (AP214, B_SPLINE_SURFACE_WITH_KNOTS,\n"
     "                    millimetres); - writes it to standard output\n"
     "  --obj FILE        write a triangulated mesh of the surface (Wavefront OBJ)\n"
     "  --fast-euler      take one-sided differences even where exact derivatives exist\n"
     "  --keep            keep a fit that misses the tolerance: say so, write its files and\n"
     "                    exit with status 0\n"
     "%s"
     "Example:\n"
     "  law fit2 'VEC(X,Y,X*Y)' 0 1 0 1 | head -2   prints  control net: 4 x 4\n"
     "                                                      knots in s: 0 x4, 1 x4\n"
     "  law fit2 'VEC(COS(X)*COS(Y),SIN(X)*COS(Y),SIN(Y))' 0 1.5 -1 1 --tol 1e-5 "
     "--step sphere.stp --obj sphere.obj\n",
     fit2_options, run_fit2, true},
    {"plot2", "plot2 EXPR S0 S1 T0 T1 [-o FILE.svg] [--tol T] [--error]",
     "draw the surface fit of a law of two inputs as a shaded wireframe",
     "The bicubic fit of fit2 drawn in isometric projection, each patch a mesh of shaded quads.\n"
     "Options:\n"
     "  -o, --output FILE write the picture to FILE, and say so (- for standard output)\n"
     "  --tol T           the fitting tolerance (default 0.001)\n"
     "  --error           colour each patch by its fitting error, blue none to red the tolerance\n"
     "%s"
     "Example:\n"
     "  law plot2 'VEC(X,Y,SIN(X)*COS(Y))' 0 6 0 6 -o waves.svg\n"
     "  law plot2 'VEC(X,Y,SIN(X)*COS(Y))' 0 6 0 6 --tol 1e-4 --error -o waves-error.svg\n",
     plot2_options, run_plot2},
    {"intersect",
     "intersect --sphere CX,CY,CZ,R --cylinder PX,PY,PZ,AX,AY,AZ,r [--points N] [-o FILE.svg] "
     "[--step FILE] [--iges FILE] [--tol T]",
     "intersect a sphere and a cylinder: each branch as a law of one parameter",
     "The sphere has centre (CX, CY, CZ) and radius R; the cylinder passes through (PX, PY, PZ)\n"
     "along the axis (AX, AY, AZ) with radius r; values may be expressions such as 2*SQRT(2).\n"
     "Prints the case (empty, one tangent point, one tangent circle, two circles, two loops,\n"
     "one loop or figure-eight) and each branch as its interval and its law of T, which\n"
     "law eval, law plot and law fit take as they are. A tangent point is a constant law\n"
     "over [0, 0]; closeness within 1e-6 counts as touching.\n"
     "Options:\n"
     "  --points N        print instead N evenly spaced points of each branch, one per line:\n"
     "                    BRANCH T X Y Z\n"
     "  -o, --output FILE draw the branches in isometric view as an SVG picture\n"
     "  --step FILE       write the branches fitted by cubic B-splines as a STEP file (a point\n"
     "                    as a point); - writes it to standard output\n"
     "  --iges FILE       the same as an IGES file\n"
     "  --tol T           the distance the fitted branches may stray (default 1e-6)\n"
     "Example:\n"
     "  law intersect --sphere 0,0,0,2 --cylinder 1,0,0,0,0,1,1 | head -1\n"
     "                                    prints  intersection: figure-eight, 1 branch\n"
     "  law intersect --sphere 0,0,0,2 --cylinder 0,0,-5,0,0,1,1 --points 1\n"
     "                                    prints  1 0 1 0 1.7320508075688772\n"
     "                                            2 0 1 0 -1.7320508075688772\n"
     "  law intersect --sphere 0,0,0,2 --cylinder 1,0,0,0,0,1,1 -o viviani.svg --step "
     "viviani.stp\n",
     intersect_options, run_intersect, true},
    {"info", "info EXPR", "describe a law: inputs, outputs, class, domains, size",
     "Options:\n"
     "%s"
     "Example:\n"
     "  law info 'SQRT(X)+LN(Y)'\n",
     reading_options, run_info, true},
    {"code", "code EXPR [--name N] [--prefix P] | code EXPR --function NAME [--deriv]",
     "print the C++ code that rebuilds a law, or the law as a plain C++ function",
     "The first line builds the law into the variable N; every other law the code makes is held\n"
     "by P followed by a number and released in the clean-up section.\n"
     "With --function, a function of plain arithmetic and <cmath> that needs no library:\n"
     "double NAME(double const *x), or void NAME(double const *x, double *out) for a law of\n"
     "several outputs. It computes what the law does where the law raises no error (it has no\n"
     "domain checks; a 0/0 the law resolves by L'Hopital's rule is NaN). Every law the library\n"
     "compiles for evaluation has a plain form: the operators, the functions, comparisons and\n"
     "logic (AND, OR, NOT), ARCTAN of one or two members, LOG, MOD, MIN, MAX, PIECEWISE, VEC,\n"
     "TERM, DOT, CROSS and compositions (O). Laws of law data and classes the library does not\n"
     "compile (NORM, D, ...) are refused.\n"
     "Options:\n"
     "  --name N          the variable of the law (default f; an array element such as out[2]\n"
     "                    is assigned, not declared)\n"
     "  --prefix P        the start of the other variables' names (default p)\n"
     "  --function NAME   write the law as the function NAME instead\n"
     "  --deriv           with --function, also NAME_gradient: the partial derivatives by each\n"
     "                    input, as a second function of the same form\n"
     "%s"
     "Example:\n"
     "  law code 'X+1'\n"
     "  law code 'X*Y+SIN(X)' --function g --deriv\n"
     "  law code 'PIECEWISE(X<0,ARCTAN(Y,X),MOD(X,2))' --function h\n",
     code_options, run_code, true},
    {"repl", "repl", "the interactive session ('law' alone on a terminal starts it too)",
     "Each line is an expression, printed with its value at the current point, or a command\n"
     "(':help' in the session describes each): :let F = EXPR names a law for later lines, ans\n"
     "is the last result, :at sets the point, :deriv and :simplify give a result without\n"
     "changing the current expression, :roots, :integrate, :min, :max, :plot and :fit run\n"
     "their subcommand on it, :names lists the names, :quit leaves (end of input does too).\n"
     "On a terminal Ctrl-C cancels the line being typed.\n"
     "Options:\n"
     "%s"
     "Example:\n"
     "  printf 'X^2\\n:at 3\\nX^2\\n:deriv\\n' | law repl\n"
     "      prints  X^2   (takes 1 input; set them with :at)\n"
     "              point: 3\n"
     "              X^2 = 9\n"
     "              2*X = 6\n"
     "  printf ':let F = X^2-2\\n:deriv\\n:roots 0 3\\n' | law repl\n"
     "      prints  F = X^2-2   (takes 1 input; set them with :at)\n"
     "              2*X   (takes 1 input; set them with :at)\n"
     "              1.4142135623730951\n",
     reading_options, run_repl},
};

}  // namespace

std::span<command const> commands() { return table; }

std::span<option_def const> law_reading_options() { return shared_options; }

char const *law_option_text() { return law_option_help; }

}  // namespace law_tool
