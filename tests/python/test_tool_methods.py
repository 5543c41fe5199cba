"""The package's numerics, frames and fits give what the law tool gives for the same request
(the package calls the tool's default methods: a change of default in one fails here until the
other follows), and the closed forms where they are known."""

import math

import numpy as np
import pytest

import law
from law import X, Y


def numbers(text):
    return [float(v) for v in text.split()]


def test_integrals(tool):
    cases = [("SIN(X)", 0, math.pi, 2.0), ("X^2", 0, 3, 9.0), ("EXP(X)", 0, 1, math.e - 1),
             ("1/(1+X^2)", 0, 1, math.pi / 4)]
    for text, a, b, exact in cases:
        value = law.integrate(law.Law(text), a, b)
        assert value == pytest.approx(exact, rel=1e-10)
        assert value == numbers(tool("integrate", text, repr(a), repr(b)).splitlines()[0])[0]
    # What Romberg's method gets wrong, and infinite limits.
    for text, a, b, exact in [("ABS(SIN(X))", 0, 10 * math.pi, 20.0), ("LN(X)", 0, 1, -1.0),
                              ("EXP(-X)", 0, math.inf, 1.0)]:
        value = law.integrate(law.Law(text), a, b)
        assert value == pytest.approx(exact, rel=1e-10)
        assert value == numbers(tool("integrate", text, repr(a), repr(b)).splitlines()[0])[0]
    with pytest.raises(law.LawError, match="one input and one output"):
        law.integrate(X * Y, 0, 1)
    with pytest.raises(law.LawError) as e:
        law.integrate(X, 0, math.inf)
    assert e.value.code == "LAW_INTEGRAL_DIVERGES"


def test_roots_and_extrema(tool):
    for text, a, b, exact in [("SIN(X)", 1, 10, [math.pi, 2 * math.pi, 3 * math.pi]),
                              ("(X-1)*(X-2)*(X-3)", 0, 4, [1, 2, 3]), ("X^2+1", -1, 1, [])]:
        r = law.roots(law.Law(text), a, b)
        assert isinstance(r, np.ndarray) and r.tolist() == numbers(tool("roots", text, str(a), str(b)))
        np.testing.assert_allclose(r, exact, rtol=1e-9)
    for search, name, text, a, b, exact in [(law.minimize, "min", "X^2-1", -1, 2, (0, -1)),
                                            (law.maximize, "max", "X*(1-X)", 0, 1, (0.5, 0.25)),
                                            (law.minimize, "min", "COS(X)", 0, 6, (math.pi, -1))]:
        x, value = search(law.Law(text), a, b)
        assert [x, value] == numbers(tool(name, text, str(a), str(b)))
        assert (x, value) == pytest.approx(exact, abs=1e-7)


def test_roots_of_a_law_too_busy_to_resolve_are_an_error_unless_kept(tool):
    busy = law.Law("SIN(X)")  # 31,831 roots on [0, 1E5]
    with pytest.raises(law.LawError) as e:
        law.roots(busy, 0, 1e5)
    assert e.value.code == "LAW_ROOTS_UNRESOLVED" and "keep=True" in str(e.value)
    with pytest.warns(RuntimeWarning, match="roots may be missing"):
        kept = law.roots(busy, 0, 1e5, keep=True)
    assert kept.tolist() == numbers(tool("roots", "SIN(X)", "0", "1E5", "--keep"))
    np.testing.assert_allclose(kept, np.pi * np.round(kept / np.pi), rtol=1e-9, atol=1e-9)


def test_what_the_older_methods_got_wrong(tool):
    assert len(law.roots(law.Law("SIN(100*X)"), 0, 10)) == 319
    assert law.roots(law.Law("(X-0.5)/(X-1)"), 0, 2).tolist() == [0.5]
    assert law.minimize(law.Law("ABS(X-0.3)"), -1, 1) == (0.3, 0.0)
    with pytest.raises(law.LawError) as e:
        law.bounds(law.Law("1/X"), -1, 1)
    assert e.value.code == "LAW_UNBOUNDED" and "near 0" in str(e.value)
    assert tool("min", "ABS(X-0.3)", "-1", "1").split() == ["0.3", "0"]


def test_plane_zeros(tool):
    text = "VEC(X^2+Y^2-4,X*Y-1)"
    zeros = law.roots2d(law.Law(text), -3, 3, -3, 3)
    assert zeros.shape[1] == 2
    assert zeros.ravel().tolist() == numbers(tool("roots2d", text, "-3", "3", "-3", "3"))
    # Each is one of the four where the circle meets the hyperbola.
    a, b = math.sqrt(2 + math.sqrt(3)), math.sqrt(2 - math.sqrt(3))
    for x, y in zeros:
        assert min(abs(abs(x) - a) + abs(abs(y) - b), abs(abs(x) - b) + abs(abs(y) - a)) < 1e-6
    for x, y in zeros:
        assert x * x + y * y == pytest.approx(4, abs=1e-13) and x * y == pytest.approx(1, abs=1e-13)
    # The quadtree search, as 'law roots2d --quadtree' runs it: points on the curve of zeros.
    circle = law.roots2d(law.Law("X^2+Y^2-1"), -2, 2, -2, 2, cell=0.1, quadtree=True)
    assert circle.ravel().tolist() == numbers(
        tool("roots2d", "X^2+Y^2-1", "-2", "2", "-2", "2", "--quadtree", "--cell", "0.1"))
    np.testing.assert_allclose(np.hypot(circle[:, 0], circle[:, 1]), 1, atol=1e-6)
    # Zeros along a curve are no list of points; cell= belongs to the quadtree search.
    with pytest.raises(law.LawError, match="zeros form curves"):
        law.roots2d(law.Law("X^2+Y^2-1"), -2, 2, -2, 2)
    with pytest.raises(law.LawError, match="quadtree=True"):
        law.roots2d(law.Law(text), -3, 3, -3, 3, cell=0.5)


def test_bounds(tool):
    lo, hi = law.bounds(law.sin(X) * Y, 0, 3, 1, 2)
    assert [lo, hi] == numbers(tool("bounds", "SIN(X)*Y", "0", "3", "1", "2"))
    assert lo <= 0 and hi >= 2 and hi == pytest.approx(2, abs=0.05)
    vlo, vhi = law.bounds(law.Law("VEC(X,X^2)"), -1, 2)
    assert vlo.shape == (2,) and [vlo.tolist(), vhi.tolist()] == np.array(
        numbers(tool("bounds", "VEC(X,X^2)", "-1", "2"))).reshape(2, 2).T.tolist()
    assert vlo[1] <= 0 and vhi[1] >= 4


def test_frames_follow_the_closed_form_along_a_helix(tool):
    helix = law.Law("VEC(COS(X),SIN(X),X)")
    frames = law.frame(helix, 0, 4, 9)
    t = np.linspace(0, 4, 9)
    np.testing.assert_allclose(frames.points, np.stack([np.cos(t), np.sin(t), t], 1), atol=1e-14)
    tangent = np.stack([-np.sin(t), np.cos(t), np.ones_like(t)], 1) / math.sqrt(2)
    np.testing.assert_allclose(frames.tangents, tangent, atol=1e-14)
    # The rotation-minimising normal falls behind the Frenet normal N by t/sqrt(2) towards -B.
    normal = np.stack([-np.cos(t), -np.sin(t), 0 * t], 1)
    binormal = np.cross(tangent, normal)
    angle = (t / math.sqrt(2))[:, None]
    np.testing.assert_allclose(frames.normals, np.cos(angle) * normal - np.sin(angle) * binormal,
                               atol=1e-6)
    rows = tool("frame", helix.text, "0", "4", "--samples", "9").splitlines()
    for row, p, n in zip(rows, frames.points, frames.normals):
        fields = row.split()
        assert numbers(" ".join(fields[3:6])) == pytest.approx(p.tolist(), abs=1e-11)
        assert numbers(" ".join(fields[-3:])) == pytest.approx(n.tolist(), abs=1e-11)


def fit_report(text):
    return dict(line.split(": ", 1) for line in text.splitlines())


def test_fits_are_the_tools(tool):
    helix = "VEC(COS(X),SIN(X),X)"
    c = law.fit_curve(law.Law(helix), 0, 3, 1e-4)
    report = fit_report(tool("fit", helix, "0", "3", "--tol", "1e-4"))
    assert (c.degree, len(c.control_points), len(c.knots), repr(c.accuracy)) == (
        int(report["degree"]), int(report["control points"]), int(report["knots"]),
        report["accuracy"])
    assert repr(c.measured) == report["measured"].split()[0]
    assert c.accuracy <= c.measured * 1.01 and c.measured <= 1e-4
    # A kinked law is fitted piece by piece between its kinks, as the tool does.
    kinked = law.fit_curve(law.Law("ABS(X-0.3)"), -1, 1, 1e-9)
    report = fit_report(tool("fit", "ABS(X-0.3)", "-1", "1", "--tol", "1e-9"))
    assert len(kinked.control_points) == int(report["control points"]) <= 10
    # A fit that misses its tolerance is refused, as the tool exits 1, unless kept.
    with pytest.raises(law.LawError, match="more than the tolerance") as e:
        law.fit_curve(law.Law("FLOOR(X)"), 0, 3)
    assert e.value.code == "LAW_BAD_TOLERANCE"
    kept = law.fit_curve(law.Law("FLOOR(X)"), 0, 3, keep=True)
    assert repr(kept.measured) == fit_report(tool("fit", "FLOOR(X)", "0", "3", "--keep"))[
        "measured"].split()[0]
    assert kept.measured > 0.5
    plane = law.fit_curve(law.sin(3 * X), 0, 2, 1e-3, strategy=1)
    assert np.allclose(plane(np.linspace(0, 2, 50))[:, 2], 0)
    surface = "VEC(X,Y,SIN(X)*COS(Y))"
    s = law.fit_surface(law.Law(surface), 0, 1, 0, 1, 1e-4)
    report = fit_report(tool("fit2", surface, "0", "1", "0", "1", "--tol", "1e-4"))
    assert "%d x %d" % s.shape == report["control net"]
    assert report["accuracy"].startswith("%.3g" % s.accuracy)
    assert repr(s.measured) == report["measured"].split()[0] and s.measured <= 1e-4
    with pytest.raises(law.LawError, match="more than the tolerance"):
        law.fit_surface(law.Law("VEC(X,Y,FLOOR(2*X))"), 0, 1, 0, 1)
