#include <law/core/lawutil_errors.h>

namespace {
constexpr message_entry lawutil_table[] = {
    {"LAW_EVAL", "Law class does not have an evaluate function"},
    {"LAW_DERIV", "Law class does not have a derivative function"},
    {"LAW_EVALS", "EvaluateS was called on a multidimensional law"},
    {"LAW_EVALV", "EvaluateV does not return a vector"},
    {"LAW_EVALV_ONE", "EvaluateV does not take one value"},
    {"LAW_EVALVM", "EvaluateVM does not return a vector"},
    {"LAW_EVALDV", "EvaluateDV does not return a vector"},
    {"LAW_EVALDV_ONE", "EvaluateDV does not take one value"},
    {"LAW_EVALMMAT", "EvaluateMMAT does not return a matrix"},
    {"LAW_EVALMT", "EvaluateMT does not return a transf"},
    {"LAW_SYMBOL", "Law class does not have symbol function"},
    {"LAW_DL_NUM", "Wrong number of parts in derivative_law"},
    {"LAW_TL_NUM", "Wrong number of parts in coord_law"},
    {"LAW_TL_SYNTAX", "Coord_law syntax error"},
    {"LAW_DOT_NUM", "Too many parts to dot law"},
    {"LAW_CROSS_NUM", "Too many parts to cross law"},
    {"LAW_TWIST_NUM", "Wrong number of parts in twist_law"},
    {"LAW_BASE_C", "Base must be a constant"},
    {"LAW_BASE_P", "Base must be positive"},
    {"LAW_STEP_NUM", "Wrong number of arguments in step law"},
    {"LAW_STEP_ODD", "Odd member of step law is not constant"},
    {"LAW_STEP_ORDER", "Steps constants are out of order"},
    {"LAW_MR_NUM", "Wrong number of parts in min_rotation_law"},
    {"LAW_MR", "Value out of bounds in min_rotation_law"},
    {"LAW_DATA_UNKNOWN", "Unknown law_data type"},
    {"LAW_SYNTAX", "Bad syntax"},
    {"LAW_TIMES", "One side of times must be a scalar"},
    {"LAW_DIVISION", "Right side of division must be a scalar"},
    {"LAW_ZERODIVIDE", "Divide by zero"},
    {"LAW_DATA_SAVE", "Law_data type cannot save"},
    {"LAW_DATA_CURVE", "Law_data_curve eval too many derivatives"},
    {"LAW_DATA_WIRE", "Law_data_wire eval too many derivatives"},
    {"LAW_NO_SAVE", "Law may not be saved untill the next version"},
    {"LAW_SAVE_APPROX", "This has been saved as a b-spline"},
    {"LAW_BAD_RAIL_LAW", "The rail law is not perpendicular to the path"},
    {"LAW_BAD_DOMAN", "The law function has an incorrect domain"},
    {"LAW_BAD_RANGE", "The law function has an incorrect range"},
    {"LAW_TEST", "One of the law test functions failed"},
    {"LAW_ARCCOS", "Out of the domain of the arccos [-1,1]"},
    {"LAW_ARCSIN", "Out of the domain of the arcsin [-1,1]"},
    {"LAW_ARCSEC", "Out of the domain of the arcsec x<-1 or x>1"},
    {"LAW_ARCCSC", "Out of the domain of the arccsc x<-1 or x>1"},
    {"LAW_LN", "Out of the domain of the natural log x>0"},
    {"LAW_LOG", "Out of the domain of the log x>0"},
    {"LAW_SQRT", "Out of the domain of the sqrt x>0"},
    {"LAW_TAN", "Out of the domain of the tan x!=pi*(n+.5)"},
    {"LAW_SEC", "Out of the domain of the sec x!=pi*(n+.5)"},
    {"LAW_COT", "Out of the domain of the cot x!=n*pi"},
    {"LAW_CSC", "Out of the domain of the csc x!=n*pi"},
    {"LAW_COTH", "Out of the domain of the coth x!=0"},
    {"LAW_CSCH", "Out of the domain of the csch x!=0"},
    {"LAW_ARCCOSH", "Out of the domain of the arccosh x>=1"},
    {"LAW_ARCTANH", "Out of the domain of the arctanh -1<x<1"},
    {"LAW_ARCSECH", "Out of the domain of the arcsech 0<x<=1"},
    {"LAW_ARCCOTH", "Out of the domain of the arccoth x<-1 or x>1"},
    {"LAW_ARCCSCH", "Out of the domain of the arccsch x!=0"},
    {"LAW_BAD_BOUNDS", "The domain is not a finite interval"},
    {"LAWS_WARP_INCONSISTENT",
     "A boundary vertex in a partial_space_warp is transformed to 2 different places"},
    {"LAW_LHOSPITAL", "Division of zero by zero that cannot be resolved"},
    {"LAW_VARIABLE_RETURN", "Return dim was called on a variable return law"},
    {"LAW_DATA_PCURVE", "Law_data_pcurve eval too many derivatives"},
    {"LAW_BAD_UNIT_VECTOR", "The vector returned was not a unit vector"},
    {"LAW_EXPONENT", "Out of domain of pow function"},
    {"GRAPH_BAD_EDGE", "A bad edge was added to a graph"},
    {"GRAPH_MISS_VERTEX", "The vertex was not in the graph"},
    {"GRAPH_MISS_EDGE", "The edge was not in the graph"},
    {"LAW_DIM", "Bad law dimensions"},
    {"LAW_BEND_PARALLEL", "Bending axis and direction are parallel."},
    {"BOX_WARP_DOMAIN", "The domain of box-warp-law is 0<x<1 in all 3 dimensions"},
    {"LAW_DEEP_COPY", "This law may not be deep copied"},
    {"LAW_MULTI_CURVE_DOM", "The total domain does not equal inputs"},
    {"LAW_NO_INTR", "The intr component is not linked in the executable"},
    {"COULD_NOT_FILLET", "The requested fillet could not be made"},
    {"LAW_NO_BSPLINE", "The given curve or surface does not have a bspline approximation"},
    {"BAD_SPIRAL_START",
     "The start of the spiral is specified on the normal axis, use a zero start radius to "
     "accomplish"},
    {"INVALID_HELIX_TRANSITION_DATA",
     "Zero thread distance and angle gives an invalid helix-transition"},
    {"SWEEP_SELF_INT", "The sweep results in self-intersecting surface"},
    {"SW_SURFACE_EVAL", "Attempt to evaluate an sw_surface outside its range"},
    {"NO_SW_EVAL_CURVATURE", "sw_curve::eval_curvature not implemented"},
    {"NO_SW_LENGTH_PARAM", "sw_curve::length_param not implemented"},
    {"NO_SW_LENGTH", "sw_curve::length not implemented"},
    {"NO_SW_POINT_PERP", "sw_curve::point_perp not implemented"},
    {"BAD_SINGULARITIES", "The singularites on the law are bad"},
    {"BS_ACCURACY", "The bs3_surface is not within the requested tolerance."},
    {"SW_BAD_ORDER", "A Bezier curve must be at least order 1"},
    {"SW_BAD_WEIGHTS", "The weights of a Bezier curve must be strictly positive."},
    {"BAD_LAW_USE_COUNT", "The law destructor was called with a non-zero use count."},
    {"BAD_LAW_DATA_USE_COUNT", "The law_data destructor was called with a non-zero use count."},
    {"BAD_GVERTEX_COUNT", "The gvertex destructor was called with a non-zero use count."},
    {"BAD_GEDGE_COUNT", "The gedge destructor was called with a non-zero use count."},
    {"BAD_GRAPH_COUNT", "The graph destructor was called with a non-zero use count."},
    {"LAW_SCALE_NUM", "Wrong number of arguments in scaletrans law"},
    {"LAW_POS_NUM", "Wrong number of arguments in postrans law"},
    {"LAW_VEC_NUM", "Wrong number of arguments in vectrans law"},
    // Codes of this library's own, after the fixed table.
    {"LAW_BAD_SEARCH_BOX", "The search box is empty or inverted"},
    {"LAW_BAD_SAMPLES", "The number of samples must be at least one"},
    {"SW_BAD_KNOTS", "The knots of a spline must be numbers that do not decrease"},
    {"LAW_BAD_TOLERANCE", "The tolerance must be a positive number"},
    {"LAW_INTEGRAL_TOLERANCE", "The integral did not reach the requested tolerance"},
    {"LAW_INTEGRAL_DIVERGES", "The integral does not seem to converge"},
    {"LAW_NO_VALUE", "The law has no value where one is needed"},
    {"LAW_UNBOUNDED", "The law is unbounded on the interval"},
    {"LAW_BAD_SOLID",
     "A sphere or cylinder needs finite numbers, a positive radius and an axis of nonzero length"},
    {nullptr, nullptr}};

}  // namespace

message_module const &get_lawutil_main_law_errmod() {
    static message_module const module("lawutil", lawutil_table);
    return module;
}

// Built at load time; a raise from another file's start-up builds it earlier.
[[maybe_unused]] static message_module const &lawutil_main_law_errmod =
    get_lawutil_main_law_errmod();

void law_error(lawutil_error e) { sys_error(lawutil_code(e)); }

void law_warning(lawutil_error e) { sys_warning(lawutil_code(e)); }

int lawutil_local_code(vorn_exception const &e) {
    int const local = e.code() - lawutil_code(LAW_EVAL);
    return local >= 0 && local < LAWUTIL_CODE_COUNT ? local : -1;
}
