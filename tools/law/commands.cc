// The table of subcommands: names, usage, help texts and options.
#include "arguments.h"
#include "tool.h"

namespace law_tool {
namespace {

constexpr option_def law_option{"law", 0, option_kind::value};
constexpr option_def strict_option{"strict", 0, option_kind::flag};

constexpr option_def reading_options[] = {law_option, strict_option};
constexpr option_def deriv_options[] = {
    law_option, strict_option, {"wrt", 0, option_kind::value}, {"order", 0, option_kind::value}};
constexpr option_def simplify_options[] = {law_option,
                                           strict_option,
                                           {"level", 0, option_kind::value},
                                           {"trace", 0, option_kind::optional_value}};
constexpr option_def integrate_options[] = {law_option,
                                            strict_option,
                                            {"tol", 0, option_kind::value},
                                            {"min-level", 0, option_kind::value},
                                            {"max-level", 0, option_kind::value},
                                            {"verbose", 'v', option_kind::flag}};
constexpr option_def plot_options[] = {law_option,
                                       strict_option,
                                       {"output", 'o', option_kind::value},
                                       {"deriv", 0, option_kind::flag},
                                       {"samples", 0, option_kind::value}};

constexpr char law_option_help[] =
    "  --law TEXT        a law that EXPR names LAW1, LAW2, ... (repeatable, in order)\n"
    "  --strict          refuse a law whose reading drops text (XY), reads an empty operand\n"
    "                    as 0 (X+) or reads 1E2 as 1*E2; without it these are noted\n"
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
     "                                            9\n",
     reading_options, run_eval},
    {"deriv", "deriv EXPR [--wrt I] [--order N]", "print the symbolic derivative of a law",
     "Options:\n"
     "  --wrt I           differentiate with respect to input I (0 for X, 1 for Y, ...; default "
     "0)\n"
     "  --order N         differentiate N times (default 1)\n"
     "%s"
     "Example:\n"
     "  law deriv 'X^3' --order 2         prints  6*X\n"
     "  law deriv 'X^2*Y' --wrt 1         prints  X^2\n",
     deriv_options, run_deriv},
    {"simplify", "simplify EXPR [--level L] [--trace[=N]]", "simplify a law by the rewrite rules",
     "Options:\n"
     "  --level L         simplification level (default 1; 2 adds the deep rules)\n"
     "  --trace[=N]       print the rules applied on standard error (N > 2 prints every node)\n"
     "%s"
     "Example:\n"
     "  law simplify 'X*2 + 3X' --trace   prints  5*X\n",
     simplify_options, run_simplify},
    {"integrate", "integrate EXPR A B [--tol T] [--min-level M] [--max-level K] [--verbose]",
     "integrate a law of one input from A to B (Romberg)",
     "A and B may be numbers or expressions of no input such as PI/2.\n"
     "Options:\n"
     "  --tol T           stop when two levels agree within T (default 1e-10)\n"
     "  --min-level M     run more than M levels (default 2)\n"
     "  --max-level K     run at most K levels, each doubling the samples (default 20, at most\n"
     "                    30)\n"
     "  -v, --verbose     also print the levels used\n"
     "%s"
     "Example:\n"
     "  law integrate 'X^2' 0 3            prints  9\n"
     "  law integrate 'SIN(X)' 0 PI        prints  1.9999999999999996\n",
     integrate_options, run_integrate},
    {"plot", "plot EXPR A B [-o FILE.svg] [--deriv] [--samples N]",
     "draw a law of one input over [A, B] as an SVG picture",
     "A law of 2 or 3 outputs is drawn as a plane curve of its first two outputs.\n"
     "Options:\n"
     "  -o, --output FILE write the picture to FILE (default plot.svg)\n"
     "  --deriv           also draw the derivative, with a legend\n"
     "  --samples N       start from N evenly spaced samples (default 200), refined where the\n"
     "                    curve bends\n"
     "%s"
     "Example:\n"
     "  law plot 'SIN(X)/X' -10 10 --deriv -o sinc.svg\n",
     plot_options, run_plot},
    {"info", "info EXPR", "describe a law: inputs, outputs, class, domains, size",
     "Options:\n"
     "%s"
     "Example:\n"
     "  law info 'SQRT(X)+LN(Y)'\n",
     reading_options, run_info},
    {"repl", "repl", "the interactive session ('law' alone on a terminal starts it too)",
     "Each line is an expression, printed with its value at the current point, or a command:\n"
     "  :at V ...         set the current point (numbers or expressions such as PI/4)\n"
     "  :deriv [I]        the derivative of the last expression with respect to input I\n"
     "  :simplify         the simplified form of the last expression\n"
     "  :help             this list\n"
     "  :quit             leave (end of input does too)\n"
     "  Ctrl-C            on a terminal, cancel the line being typed\n"
     "Options:\n"
     "%s"
     "Example:\n"
     "  printf 'X^2\\n:at 3\\nX^2\\n:deriv\\n' | law repl\n"
     "      prints  X^2   (takes 1 input; set them with :at)\n"
     "              point: 3\n"
     "              X^2 = 9\n"
     "              2*X = 6\n",
     reading_options, run_repl},
};

}  // namespace

std::span<command const> commands() { return table; }

char const *law_option_text() { return law_option_help; }

}  // namespace law_tool
