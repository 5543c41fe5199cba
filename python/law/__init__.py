"""law: mathematical function objects ("laws") for geometry, from Python.

A law maps take_dim real inputs to return_dim real outputs. Read one from text or build it
from the inputs X, Y, Z, numbers, operators and functions; evaluate it at numbers or over NumPy
arrays; differentiate, simplify, integrate and search it; fit curves and surfaces by splines.

    >>> import law
    >>> f = law.Law("SIN(X)*Y")
    >>> f(0.5, 2.0)
    0.958851077208406
    >>> g = law.sin(law.X) ** 2 + 1
    >>> g.derivative().text
    '2*COS(X)*SIN(X)'

Every function of the law syntax ('law help syntax') is here in lower case over laws: law.sin,
law.exp, law.max, law.vec, law.cur, ...; a name ending in '?' reads is_...: law.is_prime.
Failures raise law.LawError, whose code names the library's error ("LAW_ZERODIVIDE").
"""

import builtins as _builtins
import keyword as _keyword

from ._errors import LawError
from . import _law
from ._law import (
    Frame,
    Law,
    LawData,
    SplineCurve,
    SplineSurface,
    __version__,
    bounds,
    fit_curve,
    fit_surface,
    frame,
    integrate,
    maximize,
    minimize,
    roots,
    roots2d,
)

X = Law("X")
Y = Law("Y")
Z = Law("Z")

__all__ = [
    "Frame", "Law", "LawData", "LawError", "SplineCurve", "SplineSurface", "X", "Y", "Z",
    "bounds", "fit_curve", "fit_surface", "frame", "integrate", "maximize", "minimize",
    "roots", "roots2d",
]


def _python_name(name):
    """The Python name of a registered name: lower case, 'EVEN?' as 'is_even', a keyword
    with '_' after it ('NOT' as 'not_'); None for a name that cannot be one ('-')."""
    base = name.lower()
    if base.endswith("?"):
        base = "is_" + base[:-1]
    if not base.isidentifier():
        return None
    return base + "_" if _keyword.iskeyword(base) else base


def _function(name, python, meaning):
    def function(*args):
        return _law._apply(name, *args)

    function.__name__ = function.__qualname__ = python
    function.__module__ = __name__
    function.__doc__ = (
        f"{meaning}\n\nlaw.{python}(a, ...) is the law {name}(a, ...); its arguments are laws, "
        "numbers or LawData."
    )
    return function


def _registered():
    """(python name, registered name, kind, meaning) of each function and constant of the
    registry, in the registry's order."""
    out = []
    for name, kind, meaning in _law._names():
        python = _python_name(name) if kind == "function" else name
        if kind != "operator" and python and python not in globals():
            out.append((python, name, kind, meaning))
    return out


_REGISTERED = _registered()
for _python, _name, _kind, _meaning in _REGISTERED:
    globals()[_python] = (
        Law(_name) if _kind == "constant" else _function(_name, _python, _meaning)
    )
    # law.max and law.abs are there, but "from law import *" leaves Python's own max and abs.
    if not hasattr(_builtins, _python):
        __all__.append(_python)
del _python, _name, _kind, _meaning
