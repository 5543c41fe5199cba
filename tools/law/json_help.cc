// "law help json": the form of each subcommand's --json output.
#include "output_format.h"
#include "syntax.h"

namespace law_tool {

namespace {
// Each form is a JSON object on one line; a word stands for a value of that type, [T] for an
// array of T, "key"? for a key that only some runs give, and T|null for a value that may be
// missing. The tool's tests read these lines and check every subcommand's output against them.
constexpr char json_help[] =
    "JSON output (--json)\n"
    "\n"
    "With --json a subcommand prints its results as one JSON object on one line (law eval with\n"
    "'-' prints one a point). Numbers are written as the text output writes them, rounded by\n"
    "--precision when given; a number that is not finite is null. Errors and notes still go to\n"
    "standard error as text, with the exit status of the text output. The forms, a word\n"
    "standing for a value of that type, [T] for an array of them, \"key\"? for a key given only\n"
    "when the option that asks for it is:\n"
    "\n"
    "eval      {\"point\": [number|null], \"values\": [number]}\n"
    "eval -    {\"line\": integer, \"point\": [number|null], \"values\": [number]}\n"
    "roots     {\"roots\": [number], \"values\"?: [number]}\n"
    "solve     {\"roots\": [number], \"values\"?: [number]}\n"
    "min       {\"x\": number, \"value\": number}\n"
    "max       {\"x\": number, \"value\": number}\n"
    "bounds    {\"bounds\": [[number]]}\n"
    "roots2d   {\"zeros\": [[number]]}\n"
    "integrate {\"value\": number, \"method\": string, \"error\"?: number, \"evaluations\"?: "
    "integer,\n"
    "           \"intervals\"?: integer, \"levels\"?: integer, \"tolerance_met\": boolean}\n"
    "fit       {\"degree\": integer, \"control_points\": integer, \"knots\": integer,\n"
    "           \"accuracy\": number, \"measured\": number, \"measured_at\": integer,\n"
    "           \"within_tolerance\": boolean, \"exact_derivatives\": boolean,\n"
    "           \"time_ms\": number, \"knot_vector\"?: [number], \"control_polygon\"?: "
    "[[number]]}\n"
    "fit2      {\"control_net\": [integer], \"knots_s\": [number], \"knots_t\": [number],\n"
    "           \"accuracy\": number, \"tolerance\": number, \"measured\": number,\n"
    "           \"measured_at\": integer, \"within_tolerance\": boolean,\n"
    "           \"exact_derivatives\": boolean, \"time_ms\": number}\n"
    "frame     {\"frames\": [{\"t\": number, \"point\": [number], \"tangent\": [number],\n"
    "           \"normal\": [number]|null, \"minrot\": [number]}]}\n"
    "info      {\"expression\": string, \"inputs\": integer, \"outputs\": integer|null,\n"
    "           \"class\": string, \"kind\": string, \"domains\": [[number|null]|null],\n"
    "           \"memory\": integer, \"nodes\": integer, \"distinct_nodes\": integer}\n"
    "intersect {\"case\": string, \"branches\": [{\"interval\": [number], \"law\": string,\n"
    "           \"points\"?: [[number]]}]}\n"
    "code      {\"code\": string}\n"
    "\n"
    "In bounds each output has its [low, high]; in roots2d each zero is [x, y]; in fit the\n"
    "control polygon (with --dump) has [x, y, z] a point; in info each input has its domain\n"
    "[low, high] (null for an end at infinity) or null when unknown, and outputs is null for a\n"
    "law whose number of values depends on its inputs (CONIC_LINE); in intersect each branch\n"
    "has its interval [t0, t1] and, with --points, its points [t, x, y, z].\n";
}  // namespace

void print_json_help(std::FILE *out) { std::fputs(json_help, out); }

}  // namespace law_tool
