"""The Python package against NumPy and numexpr (on one thread) on the evaluation expressions of
bench/eval_cases.def at a million points, and the time of one call at a single point.

usage: eval_bench.py [--readme PATH] [--points N]

Every value of each peer is checked against the law's before it is timed. Times are the CPU
time of the process (the best of several runs), so that other work on the machine counts as
little as possible. --readme rewrites the part of PATH between the Python result markers.
"""

import argparse
import math
import os
import platform
import re
import sys
import time

import numpy as np

import law

try:
    import numexpr
except ImportError:
    sys.exit("eval_bench.py needs numexpr (Debian: python3-numexpr)")

HERE = os.path.dirname(os.path.abspath(__file__))
BEGIN, END = "<!-- python results begin -->", "<!-- python results end -->"

# Each expression of eval_cases.def in numexpr's syntax, which NumPy evaluates too (with the
# names below bound to NumPy's functions): a list for a vector law, one text per output.
PEERS = {
    "poly5_power": "x**5-3*x**4+2*x**3-x**2+4*x-7",
    "poly5_horner": "((((x-3)*x+2)*x-1)*x+4)*x-7",
    "poly10_power": "1+x+x**2/2+x**3/6+x**4/24+x**5/120+x**6/720+x**7/5040+x**8/40320"
                    "+x**9/362880+x**10/3628800",
    "poly10_horner": "1+x*(1+x/2*(1+x/3*(1+x/4*(1+x/5*(1+x/6*(1+x/7*(1+x/8*(1+x/9*(1+x/10)))"
                     "))))))",
    "rational_2_2": "(x**2+1)/(x**2-4*x+5)",
    "rational_3_4": "(3*x**3-2*x+1)/(x**4+x**2+1)",
    "trig_mix": "sin(x)*cos(x)+tan(x/4)",
    "exp_log": "exp(-(x**2)/2)*log(x+1)",
    "sqrt_diff": "sqrt(x**2+1)-x",
    "hyperbolic": "tanh(x)+cosh(x/2)-sinh(x/3)",
    "inverse_trig": "arcsin(x/2)+arccos(x/3)+arctan(x)",
    "gaussian": "exp(-((x-1)**2)/0.2)/sqrt(2*pi*0.1)",
    "fourier8": "sin(x)+sin(2*x)/2+sin(3*x)/3+sin(4*x)/4+sin(5*x)/5+sin(6*x)/6+sin(7*x)/7"
                "+sin(8*x)/8",
    "nested_trig": "sin(cos(sin(cos(x))))",
    "nested_exp_ln": "exp(sin(log(x+2)))",
    "nested_sqrt": "sqrt(1+sqrt(1+sqrt(1+sqrt(1+x))))",
    "composite": "sin(x**2+1)+(x**2+1)",
    "real_powers": "x**2.5+x**0.5-x**(-1.5)",
    "log10_mix": "log10(x+1)*x",
    "comparisons": "where(x<1,1.0,0.0)+2*where(x>=0.5,1.0,0.0)",
    "logic": "where(((x>0.5)&(x<1.5))|(x==1),1.0,0.0)",
    "piecewise": "where(x<0.5,x**2,where(x<1.5,1-x,x/2))",
    "abs_max_min": "abs(x-1)+where(x>1,x,1.0)+where(x**2<0.5,x**2,0.5)",
    "helix": ["cos(x)", "sin(x)", "x/5"],
    "helix_d": ["-sin(x)", "cos(x)", "0.2+0*x"],
    "exp_log_d": "exp(-(x**2)/2)*(1/(x+1)-x*log(x+1))",
}

NUMPY_NAMES = {name: getattr(np, name) for name in (
    "sin", "cos", "tan", "arcsin", "arccos", "arctan", "sinh", "cosh", "tanh", "exp", "log",
    "log10", "sqrt", "abs", "where")}


def read_cases(path):
    """(id, label, dim, differentiated, law text) of each EXPR_CASE of the table."""
    text = open(path, encoding="utf-8").read()
    token = re.compile(r'\s*("(?:[^"\\]|\\.)*"|[^,"\s]+)\s*,')
    cases = []
    for start in (m.end() for m in re.finditer(r"^EXPR_CASE\(", text, re.M)):
        fields, at = [], start
        for _ in range(5):
            m = token.match(text, at)
            fields.append(m.group(1))
            at = m.end()
        case, label, dim, diff, law_text = fields
        cases.append((case, label.strip('"'), int(dim), diff == "true", law_text.strip('"')))
    return cases


def cpu_time(call, repeat):
    best = math.inf
    for _ in range(repeat):
        start = time.process_time()
        call()
        best = min(best, time.process_time() - start)
    return best


def numpy_call(texts, xs):
    names = dict(NUMPY_NAMES, x=xs, pi=math.pi)
    codes = [compile(t, t, "eval") for t in texts]
    if len(codes) == 1:
        return lambda: eval(codes[0], names)
    return lambda: np.stack([eval(c, names) for c in codes], axis=1)


def numexpr_call(texts, xs):
    names = {"x": xs, "pi": math.pi}
    if len(texts) == 1:
        return lambda: numexpr.evaluate(texts[0], local_dict=names)
    return lambda: np.stack([numexpr.evaluate(t, local_dict=names) for t in texts], axis=1)


def evaluation_rows(points, repeat):
    cases = read_cases(os.path.join(HERE, "..", "eval_cases.def"))
    missing = [c[0] for c in cases if c[0] not in PEERS]
    if missing:
        sys.exit(f"eval_bench.py has no NumPy form of {', '.join(missing)}")
    xs = np.linspace(0.1, 1.9, points)
    rows = []
    for case, label, dim, differentiated, text in cases:
        f = law.Law(text)
        if differentiated:
            f = f.derivative()
        texts = PEERS[case] if isinstance(PEERS[case], list) else [PEERS[case]]
        calls = {"law": lambda: f(xs), "NumPy": numpy_call(texts, xs),
                 "numexpr": numexpr_call(texts, xs)}
        expected = calls["law"]()
        assert expected.shape == ((points,) if dim == 1 else (points, dim)), case
        for peer in ("NumPy", "numexpr"):
            got = np.broadcast_to(calls[peer](), expected.shape)
            if not np.allclose(got, expected, rtol=1e-12, atol=1e-12):
                sys.exit(f"{case}: {peer} and the law disagree")
        times = {name: cpu_time(call, repeat) for name, call in calls.items()}
        rows.append((label, times))
    return rows


def per_call_ns(call, arg, loops=200000):
    best = math.inf
    for _ in range(5):
        start = time.process_time()
        for _ in range(loops):
            call(arg)
        best = min(best, time.process_time() - start)
    return best / loops * 1e9


def scalar_rows():
    empty = lambda x: x  # noqa: E731
    trig = law.Law("SIN(X)*COS(X)+TAN(X/4)")
    return [
        ("law.X(0.7)", per_call_ns(law.X, 0.7)),
        ("law.Law('SIN(X)*COS(X)+TAN(X/4)')(0.7)", per_call_ns(trig, 0.7)),
        ("law.Law('X*Y+2')(0.7, 0.3)", per_call_ns(lambda x: law.Law.__call__(two, x, 0.3), 0.7)),
        ("a Python function that returns its argument", per_call_ns(empty, 0.7)),
        ("math.sin(0.7)", per_call_ns(math.sin, 0.7)),
        ("numpy.sin(0.7)", per_call_ns(np.sin, 0.7)),
    ]


two = law.Law("X*Y+2")


def report(points, repeat):
    numexpr.set_num_threads(1)
    rows = evaluation_rows(points, repeat)
    lines = [
        f"Python {platform.python_version()}, NumPy {np.__version__}, numexpr "
        f"{numexpr.__version__} (one thread), law {law.__version__}; "
        f"load average {os.getloadavg()[0]:.1f} at the start.",
        "",
        f"Evaluation at {points:,} points in [0.1, 1.9] (`f(xs)` against the same formula in "
        "NumPy and in numexpr; CPU milliseconds, the best of "
        f"{repeat} runs; a ratio below 1 is the law ahead):",
        "",
        "| expression | law ms | NumPy ms | numexpr ms | law / NumPy | law / numexpr |",
        "|---|---:|---:|---:|---:|---:|",
    ]
    log_np = log_ne = 0.0
    behind_numpy = []
    for label, t in rows:
        r_np, r_ne = t["law"] / t["NumPy"], t["law"] / t["numexpr"]
        log_np += math.log(r_np)
        log_ne += math.log(r_ne)
        if r_np > 1:
            behind_numpy.append(label)
        lines.append(f"| {label} | {t['law'] * 1e3:.2f} | {t['NumPy'] * 1e3:.2f} | "
                     f"{t['numexpr'] * 1e3:.2f} | {r_np:.2f} | {r_ne:.2f} |")
    g_np, g_ne = math.exp(log_np / len(rows)), math.exp(log_ne / len(rows))
    lines.append(f"| **geometric mean** | | | | **{g_np:.2f}** | **{g_ne:.2f}** |")
    lines += [
        "",
        f"Aims: at most NumPy's time on every expression ({len(rows) - len(behind_numpy)} of "
        f"{len(rows)} met), at most numexpr's on the geometric mean "
        f"({'met' if g_ne <= 1 else 'not met'}: {g_ne:.2f}).",
        "",
        "One call at a single point (nanoseconds per call, CPU time of 200,000 calls, the best "
        "of 5):",
        "",
        "| call | ns |",
        "|---|---:|",
    ]
    for label, ns in scalar_rows():
        lines.append(f"| `{label}` | {ns:.0f} |")
    return "\n".join(lines) + "\n"


def write_readme(path, text):
    with open(path, encoding="utf-8") as f:
        readme = f.read()
    begin, end = readme.find(BEGIN), readme.find(END)
    if begin < 0 or end < begin:
        sys.exit(f"{path} has no Python result markers")
    readme = readme[:begin + len(BEGIN)] + "\n" + text + readme[end:]
    with open(path, "w", encoding="utf-8") as f:
        f.write(readme)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--readme")
    parser.add_argument("--points", type=int, default=10**6)
    parser.add_argument("--repeat", type=int, default=5)
    args = parser.parse_args()
    text = report(args.points, args.repeat)
    print(text)
    if args.readme:
        write_readme(args.readme, text)
        print(f"eval_bench.py: wrote {args.readme}", file=sys.stderr)


if __name__ == "__main__":
    main()
