#pragma once
// The "lawutil" message module: every error and warning of the library carries one of its codes.
// The module's table is the fixed list of 94 codes that the kernel's other libraries also know by
// position; the codes this library added (bad input of its searches, splines and constructors)
// live in a second table of their own, which reports the same module name, so that the fixed
// table stays exactly as it is.
#include <string>

#include <law/base/errors.h>

// Local codes: positions in the module's table, then (from lawutil_table_size on) positions in
// the table of the library's own codes, counted on from there.
enum lawutil_error : int {
    LAW_EVAL = 0,
    LAW_DERIV = 1,
    LAW_EVALS = 2,
    LAW_EVALV = 3,
    LAW_EVALV_ONE = 4,
    LAW_EVALVM = 5,
    LAW_EVALDV = 6,
    LAW_EVALDV_ONE = 7,
    LAW_EVALMMAT = 8,
    LAW_EVALMT = 9,
    LAW_SYMBOL = 10,
    LAW_DL_NUM = 11,
    LAW_TL_NUM = 12,
    LAW_TL_SYNTAX = 13,
    LAW_DOT_NUM = 14,
    LAW_CROSS_NUM = 15,
    LAW_TWIST_NUM = 16,
    LAW_BASE_C = 17,
    LAW_BASE_P = 18,
    LAW_STEP_NUM = 19,
    LAW_STEP_ODD = 20,
    LAW_STEP_ORDER = 21,
    LAW_MR_NUM = 22,
    LAW_MR = 23,
    LAW_DATA_UNKNOWN = 24,
    LAW_SYNTAX = 25,
    LAW_TIMES = 26,
    LAW_DIVISION = 27,
    LAW_ZERODIVIDE = 28,
    LAW_DATA_SAVE = 29,
    LAW_DATA_CURVE = 30,
    LAW_DATA_WIRE = 31,
    LAW_NO_SAVE = 32,
    LAW_SAVE_APPROX = 33,
    LAW_BAD_RAIL_LAW = 34,
    LAW_BAD_DOMAN = 35,
    LAW_BAD_RANGE = 36,
    LAW_TEST = 37,
    LAW_ARCCOS = 38,
    LAW_ARCSIN = 39,
    LAW_ARCSEC = 40,
    LAW_ARCCSC = 41,
    LAW_LN = 42,
    LAW_LOG = 43,
    LAW_SQRT = 44,
    LAW_TAN = 45,
    LAW_SEC = 46,
    LAW_COT = 47,
    LAW_CSC = 48,
    LAW_COTH = 49,
    LAW_CSCH = 50,
    LAW_ARCCOSH = 51,
    LAW_ARCTANH = 52,
    LAW_ARCSECH = 53,
    LAW_ARCCOTH = 54,
    LAW_ARCCSCH = 55,
    LAW_BAD_BOUNDS = 56,
    LAWS_WARP_INCONSISTENT = 57,
    LAW_LHOSPITAL = 58,
    LAW_VARIABLE_RETURN = 59,
    LAW_DATA_PCURVE = 60,
    LAW_BAD_UNIT_VECTOR = 61,
    LAW_EXPONENT = 62,
    GRAPH_BAD_EDGE = 63,
    GRAPH_MISS_VERTEX = 64,
    GRAPH_MISS_EDGE = 65,
    LAW_DIM = 66,
    LAW_BEND_PARALLEL = 67,
    BOX_WARP_DOMAIN = 68,
    LAW_DEEP_COPY = 69,
    LAW_MULTI_CURVE_DOM = 70,
    LAW_NO_INTR = 71,
    COULD_NOT_FILLET = 72,
    LAW_NO_BSPLINE = 73,
    BAD_SPIRAL_START = 74,
    INVALID_HELIX_TRANSITION_DATA = 75,
    SWEEP_SELF_INT = 76,
    SW_SURFACE_EVAL = 77,
    NO_SW_EVAL_CURVATURE = 78,
    NO_SW_LENGTH_PARAM = 79,
    NO_SW_LENGTH = 80,
    NO_SW_POINT_PERP = 81,
    BAD_SINGULARITIES = 82,
    BS_ACCURACY = 83,
    SW_BAD_ORDER = 84,
    SW_BAD_WEIGHTS = 85,
    BAD_LAW_USE_COUNT = 86,
    BAD_LAW_DATA_USE_COUNT = 87,
    BAD_GVERTEX_COUNT = 88,
    BAD_GEDGE_COUNT = 89,
    BAD_GRAPH_COUNT = 90,
    LAW_SCALE_NUM = 91,
    LAW_POS_NUM = 92,
    LAW_VEC_NUM = 93,
    // The library's own codes: bad input of the numerical searches,
    LAW_BAD_SEARCH_BOX = 94,
    LAW_BAD_SAMPLES = 95,
    // of the splines and of their fitting,
    SW_BAD_KNOTS = 96,
    LAW_BAD_TOLERANCE = 97,
    // of the numerical methods' answers that cannot be given,
    LAW_INTEGRAL_TOLERANCE = 98,
    LAW_INTEGRAL_DIVERGES = 99,
    LAW_NO_VALUE = 100,
    LAW_UNBOUNDED = 101,
    // and of any constructor or function: a law or an array that is needed is null, a path
    // whose tangent vanishes.
    LAW_NULL_LAW = 102,
    LAW_NO_TANGENT = 103,
    // Bad input of the intersections.
    LAW_BAD_SOLID = 104,
    // A root search that ran out of evaluations before it resolved its law.
    LAW_ROOTS_UNRESOLVED = 105,
    // A law that rules build deeper, as they go, than the calling thread's stack can descend.
    LAW_TOO_DEEP = 106,
    // A law whose construction forms derivatives that grow past the work spent on them.
    LAW_TOO_LARGE = 107,
    LAWUTIL_CODE_COUNT = 108
};

// Entries of the fixed table.
inline constexpr int lawutil_table_size = 94;

// The module of the fixed table (lawutil_table_size entries, then the null pair).
message_module const &get_lawutil_main_law_errmod();
// The module of the library's own codes, LAW_BAD_SEARCH_BOX on.
message_module const &get_lawutil_own_errmod();

// The global error number of a local code.
inline int lawutil_code(lawutil_error e) {
    return e < lawutil_table_size ? get_lawutil_main_law_errmod().message_code(e)
                                  : get_lawutil_own_errmod().message_code(e - lawutil_table_size);
}

// The name of a local code ("LAW_NULL_LAW").
char const *lawutil_code_name(lawutil_error e);

// Raises a local code through sys_error; the detail, when given, says what was wrong (which
// argument, which value) and follows the table's message in what().
[[noreturn]] void law_error(lawutil_error e);
[[noreturn]] void law_error(lawutil_error e, std::string const &detail);
void law_warning(lawutil_error e);

// The local code of a raised error, or -1 when it is not one of this module.
int lawutil_local_code(vorn_exception const &e);
