// "law help data": the texts of the curves, surfaces, wires, patterns and transforms that
// --data reads (read_law_data), with the defaults of every field.
#include "syntax.h"

namespace law_tool {

namespace {
constexpr char data_help[] =
    "Law data for --data\n"
    "\n"
    "Curves, surfaces, wires, patterns and transforms that laws read, written as a name and\n"
    "fields. A field left out takes the default shown; a value is a number or an expression of\n"
    "no input (2*PI), a tuple (a, b, c), a range [a, b] or law data in braces. A law names the\n"
    "n-th law data of the command line, counted after the --law laws, by its name and n.\n"
    "\n"
    "  LINE root (0, 0, 0) dir (1, 0, 0) [0, 1]\n"
    "  CIRCLE centre (0, 0, 0) axis (0, 0, 1) major (1, 0, 0) [0, 2*PI]\n"
    "  HELIX centre (0, 0, 0) axis (0, 0, 1) major (1, 0, 0) pitch 1 [0, 2*PI]\n"
    "  PLANE root (0, 0, 0) u (1, 0, 0) v (0, 1, 0) [0, 1] [0, 1]\n"
    "  SPHERE centre (0, 0, 0) radius 1 pole (0, 0, 1) meridian (1, 0, 0) [0, 2*PI] [-PI/2, PI/2]\n"
    "  CHAIN {LINE} {CIRCLE} ...   a wire: curves end to end, each over its own range\n"
    "  UVLINE root (0, 0) dir (1, 0) [0, 1] on {PLANE}   a line in a surface's parameters\n"
    "  LINEAR_PATTERN along (1, 0, 0) [0, 1] ...   a translation by X1 steps along the first\n"
    "                              vector, X2 along the second, ...\n"
    "  TRANSFORM x (1, 0, 0) y (0, 1, 0) z (0, 0, 1) move (0, 0, 0) scale 1   p -> p A s + move,\n"
    "                              the rows of A the images of the axes\n"
    "\n"
    "The laws over them are listed under 'of law data' in 'law help syntax'.\n"
    "\n"
    "Example:\n"
    "  law eval 'CURC(CIRCLE1)' 0 --data 'CIRCLE major (4, 0, 0)'   prints  0.25\n"
    "  law eval 'LENGTH(HELIX1,0,2*PI)' --data 'HELIX pitch 0'      prints  6.283185307179586\n"
    "  law eval 'GAUSCUR(SPHERE1)' 1 0.5 --data 'SPHERE radius 2'   prints  0.25\n"
    "  law eval 'WIRE(CHAIN1)' 1.5 --data 'CHAIN {LINE} {LINE root (1, 0, 0) dir (0, 1, 0)}'\n"
    "                                                               prints  1 0.5 0\n"
    "  law eval 'TRANS(VEC(X,0,0),TRANSFORM1)' 2 --data 'TRANSFORM move (0, 0, 1) scale 3'\n"
    "                                                               prints  6 0 1\n";
}  // namespace

void print_data_help(std::FILE *out) { std::fputs(data_help, out); }

}  // namespace law_tool
