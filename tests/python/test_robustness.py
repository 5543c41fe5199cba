"""No call can crash the interpreter: bad input of every kind raises a Python error. The random
calls run in a child interpreter, so that a crash fails the test instead of ending the run."""

import math
import os
import subprocess
import sys
import textwrap

import numpy as np
import pytest

import law
from law import X, Y


@pytest.mark.parametrize(
    "call, error",
    [
        (lambda: law.Law(None), TypeError),
        (lambda: law.Law("NULL"), law.LawError),
        (lambda: law.Law("SIN(X"), law.LawError),
        (lambda: law.Law("X", laws=[None]), TypeError),
        (lambda: law.Law("X", data=[3]), TypeError),
        (lambda: law.Law("CUR(LINE1)", data=["LINE speed 3"]), law.LawError),
        (lambda: X + "1", TypeError),
        (lambda: X(2**2000), OverflowError),
        (lambda: X(np.array([1 + 1j])), TypeError),
        (lambda: (X * Y)(np.ones(3), np.ones(4)), ValueError),
        (lambda: (X * Y)(1.0), TypeError),
        (lambda: X(1.0, errors=None), ValueError),
        (lambda: law.sin(), TypeError),
        (lambda: law.sin(X, Y), law.LawError),
        (lambda: law.cur(X), law.LawError),
        (lambda: X.derivative(which=-1), law.LawError),
        (lambda: X.derivative(which=2**40), TypeError),
        (lambda: law.roots(X, 0, math.nan), law.LawError),
        (lambda: law.roots(law.Law("VEC(X,X)"), 0, 1), law.LawError),
        (lambda: law.roots2d(X, 1, 1, 0, 1), law.LawError),
        (lambda: law.roots2d(X, 0, 1, 0, 1, cell=0), law.LawError),
        (lambda: law.bounds(X, 0), law.LawError),
        (lambda: law.bounds(X, 0, "1"), TypeError),
        (lambda: law.frame(law.Law("VEC(X,0,0)"), 0, 1, 0), law.LawError),
        (lambda: law.frame(law.Law("VEC(0,0,0)"), 0, 1), law.LawError),
        (lambda: law.frame(law.Law("VEC(X,0,0)"), 0, math.inf), law.LawError),
        (lambda: law.fit_curve(law.Law("VEC(X,Y)"), 0, 1), law.LawError),
        (lambda: law.fit_curve(X, 0, 1, tol=math.nan), law.LawError),
        (lambda: law.fit_surface(law.Law("VEC(X,Y,0)"), 0, 0, 0, 1), law.LawError),
        (lambda: law.SplineCurve(), TypeError),
    ],
)
def test_bad_input_raises(call, error):
    with pytest.raises(error):
        call()


FUZZ = textwrap.dedent(
    """
    import math, random, sys, warnings
    import numpy as np
    import law
    warnings.simplefilter("ignore")
    rng = random.Random(int(sys.argv[1]))
    values = [None, "X", "", b"\\xff", 0, -1, 3, 2**70, 0.5, -0.0, math.nan, math.inf, -math.inf,
              1e308, [], [1.0, 2.0], [[1.0], [2.0, 3.0]], np.array([]), np.ones((2, 3)),
              np.arange(6.0)[::2], np.array(["a"]), np.array([1j]), np.array([None]),
              np.zeros((0, 3)), np.float32(2), law.X, law.Law("VEC(X,Y,Z)"), law.Law("1/X"),
              law.Law("SQRT(X)*Y"), law.LawData("HELIX"), law.LawData("PLANE"), object()]
    texts = ["X", "SIN(X)", "X/(Y-1)", "VEC(X,Y,X*Y)", "", "((", "LAW1", "CUR(HELIX1)",
             "1E400", "X" * 1000, "SQRT(-X)", "ARCSIN(X)*Y", "VEC()", "MAX(X,)"]
    names = [n for n in law.__all__ if callable(getattr(law, n)) and n not in
             ("Law", "LawData", "LawError", "Frame", "fit_curve", "fit_surface", "frame",
              "roots2d", "integrate")]
    def attempt(call):
        try:
            call()
        except (Exception, RecursionError):
            pass
    def arguments():
        return [rng.choice(values) for _ in range(rng.randint(0, 4))]
    for _ in range(int(sys.argv[2])):
        f = law.Law(rng.choice(texts[:4]))
        attempt(lambda: law.Law(rng.choice(texts), laws=[law.X], data=[law.LawData("LINE")]))
        attempt(lambda: f(*arguments()))
        attempt(lambda: f(*arguments(), errors=rng.choice(["nan", "raise", 1])))
        attempt(lambda: getattr(law, rng.choice(names))(*arguments()))
        attempt(lambda: f.derivative(*arguments()[:2]))
        attempt(lambda: rng.choice([f + rng.choice(values), rng.choice(values) * f, f ** f]))
        attempt(lambda: law.integrate(f, *arguments()))
        attempt(lambda: law.frame(law.Law("VEC(COS(X),X,X*X)"), *arguments()[:2], rng.choice([1, 3, 0, -5, 2**40])))
        attempt(lambda: law.fit_curve(rng.choice([law.Law("SIN(X)"), f]), *arguments()[:3]))
        attempt(lambda: law.LawData(rng.choice(["HELIX pitch", "CHAIN {PLANE}", "UVLINE on {LINE}", "LINE [1"])))
        s = law.fit_curve(law.Law("VEC(X,X*X,1)"), 0, 1)
        attempt(lambda: s(*arguments()))
    print("done")
    """
)


def test_random_calls_never_crash_the_interpreter(tmp_path):
    script = tmp_path / "fuzz.py"
    script.write_text(FUZZ)
    done = subprocess.run([sys.executable, str(script), "7", "300"], capture_output=True,
                          text=True, timeout=300, env=os.environ.copy())
    assert done.returncode == 0 and done.stdout == "done\n", done.stderr[-2000:]
