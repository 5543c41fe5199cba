"""Geometry from Python: law data named as the tool's --data names them, laws over them against
closed forms, and the fitted splines checked against an evaluation of their own knots, control
points and weights, and against the IGES and STEP files they write."""

import math
import pickle
import re

import numpy as np
import pytest

import law
from law import X


def test_law_data_read_print_and_compare():
    helix = law.LawData("HELIX major (2, 0, 0) pitch 3 [0, 12]")
    assert helix.kind == "HELIX"
    assert helix.text.startswith("HELIX centre (0, 0, 0) axis (0, 0, 1) major (2, 0, 0) pitch 3")
    assert law.LawData(helix.text) == helix and law.LawData("HELIX") != helix
    assert repr(helix) == f"LawData({helix.text!r})" and str(helix) == helix.text
    assert pickle.loads(pickle.dumps(helix)) == helix
    chain = law.LawData("CHAIN {LINE} {LINE root (1, 0, 0) dir (0, 1, 0)}")
    assert law.wire(chain)(1.5).tolist() == [1.0, 0.5, 0.0]
    assert "HELIX centre" in law.LawData.__doc__


def test_laws_over_law_data_give_the_closed_forms():
    r, pitch = 2.0, 3.0
    c = pitch / (2 * math.pi)  # rise per radian
    helix = law.LawData(f"HELIX major ({r}, 0, 0) pitch {pitch}")
    assert law.curc(helix)(0.5) == pytest.approx(r / (r * r + c * c), rel=1e-12)
    t = np.linspace(0, 5, 11)
    np.testing.assert_allclose(law.cur(helix)(t), np.stack([r * np.cos(t), r * np.sin(t), c * t], 1),
                               atol=1e-13)
    sphere = law.LawData("SPHERE radius 2")
    assert law.gauscur(sphere)(1.0, 0.5) == pytest.approx(0.25)
    by_name = law.Law("LENGTH(HELIX1,0,2*PI)", data=[helix])
    assert by_name() == pytest.approx(2 * math.pi * math.hypot(r, c), rel=1e-9)
    assert by_name.data == (helix,)


def de_boor(knots, degree, points, weights, t):
    """The point of a rational B-spline at t, by the Cox-de Boor recursion on homogeneous
    coordinates: an evaluation independent of the library's Bezier caches."""
    homogeneous = np.hstack([points * weights[:, None], weights[:, None]])
    k = np.searchsorted(knots, t, side="right") - 1
    k = min(max(k, degree), len(points) - 1)
    d = [homogeneous[j + k - degree].copy() for j in range(degree + 1)]
    for r in range(1, degree + 1):
        for j in range(degree, r - 1, -1):
            i = j + k - degree
            alpha = (t - knots[i]) / (knots[i + degree + 1 - r] - knots[i])
            d[j] = (1 - alpha) * d[j - 1] + alpha * d[j]
    return d[degree][:3] / d[degree][3]


def test_a_fitted_curve_is_the_spline_its_arrays_describe():
    f = law.Law("VEC(COS(X),SIN(X),X/4)")
    c = law.fit_curve(f, 0, 2 * math.pi, 1e-5)
    assert c.degree == 3 and c.range == (0.0, 2 * math.pi)
    assert len(c.knots) == len(c.control_points) + c.degree + 1 and c.control_points.shape[1] == 3
    assert np.all(np.diff(c.knots) >= 0) and np.all(c.weights == 1)
    t = np.linspace(0, 2 * math.pi, 97)
    own = np.array([de_boor(c.knots, c.degree, c.control_points, c.weights, u) for u in t])
    np.testing.assert_allclose(c(t), own, atol=1e-12)
    dense = np.linspace(0, 2 * math.pi, 2001)
    assert np.max(np.linalg.norm(c(dense) - f(dense), axis=1)) <= 1e-5
    assert 0 < c.accuracy <= 1e-5
    assert c(1.0).shape == (3,) and c(t.reshape(97, 1)).shape == (97, 1, 3)


def iges_parameters(path):
    """The parameter data of each entity of an IGES file, as lists of fields."""
    with open(path) as f:
        records = [line.rstrip("\n") for line in f]
    assert all(len(r) == 80 for r in records)
    text = "".join(r[:64] for r in records if r[72] == "P")
    return [e.split(",") for e in text.replace(" ", "").split(";") if e]


def test_splines_written_to_iges_hold_their_arrays(tmp_path):
    c = law.fit_curve(law.Law("VEC(X,X^2,X^3)"), -1, 1, 1e-6)
    c.write_iges(tmp_path / "curve.igs")
    fields = [float(v) for v in iges_parameters(tmp_path / "curve.igs")[0]]
    n, degree = len(c.control_points), c.degree
    assert fields[:3] == [126, n - 1, degree]
    knots = fields[7:7 + len(c.knots)]
    weights = fields[7 + len(knots):7 + len(knots) + n]
    points = fields[7 + len(knots) + n:7 + len(knots) + 4 * n]
    assert knots == c.knots.tolist() and weights == c.weights.tolist()
    assert points == c.control_points.ravel().tolist()

    s = law.fit_surface(law.Law("VEC(X,Y,X*X-Y*Y)"), -1, 1, 0, 2, 1e-5)
    s.write_iges(str(tmp_path / "surface.igs"))
    fields = [float(v) for v in iges_parameters(tmp_path / "surface.igs")[0]]
    n1, n2 = s.shape
    assert fields[:5] == [128, n1 - 1, n2 - 1, 3, 3]
    k1, k2 = s.knots
    at = 10 + len(k1) + len(k2)
    assert fields[10:at] == k1.tolist() + k2.tolist()
    assert fields[at + n1 * n2:at + 4 * n1 * n2] == s.control_points.ravel().tolist()
    with pytest.raises(OSError):
        c.write_iges(tmp_path / "no" / "such" / "folder.igs")


def step_entities(path):
    """The data section of a STEP file as {number: text}, the text of each entity on one line."""
    with open(path) as f:
        text = f.read()
    assert text.startswith("ISO-10303-21;") and text.rstrip().endswith("END-ISO-10303-21;")
    data = text[text.index("DATA;") + 5:text.index("ENDSEC;", text.index("DATA;"))]
    found = re.findall(r"#(\d+)=(.*?);", data.replace("\n", ""))
    return {int(n): body for n, body in found}


def step_numbers(text):
    return [float(v) for v in text.split(",")]


def test_splines_written_to_step_hold_their_arrays(tmp_path):
    c = law.fit_curve(law.Law("VEC(COS(X),SIN(X),X/2)"), 0, 3, 1e-6)
    c.write_step(tmp_path / "curve.stp")
    e = step_entities(tmp_path / "curve.stp")
    assert any(body.startswith("PRODUCT(") for body in e.values())
    [curve] = [b for b in e.values() if b.startswith("B_SPLINE_CURVE_WITH_KNOTS(")]
    m = re.fullmatch(r"B_SPLINE_CURVE_WITH_KNOTS\('LAWFIT',(\d+),\(([^)]*)\),[^(]*"
                     r"\(([^)]*)\),\(([^)]*)\),\.UNSPECIFIED\.\)", curve)
    assert m, curve
    assert int(m.group(1)) == c.degree
    points = [step_numbers(re.search(r"\(([^()]*)\)\)$", e[int(r[1:])]).group(1))
              for r in m.group(2).split(",")]
    np.testing.assert_array_equal(points, c.control_points)
    # The knots once each with their multiplicities: the knot vector run-length coded.
    knots = np.repeat(step_numbers(m.group(4)), [int(v) for v in step_numbers(m.group(3))])
    np.testing.assert_array_equal(knots, c.knots)

    s = law.fit_surface(law.Law("VEC(X,Y,X*X-Y*Y)"), -1, 1, 0, 2, 1e-5)
    s.write_step(str(tmp_path / "surface.stp"))
    e = step_entities(tmp_path / "surface.stp")
    [surface] = [b for b in e.values() if b.startswith("B_SPLINE_SURFACE_WITH_KNOTS(")]
    assert surface.startswith("B_SPLINE_SURFACE_WITH_KNOTS('LAWFIT2',3,3,((")
    rows = re.findall(r"\((#[\d,#]*)\)", surface)
    n1, n2 = s.shape
    assert len(rows) == n1 and all(len(r.split(",")) == n2 for r in rows)
    with pytest.raises(OSError):
        c.write_step(tmp_path / "no" / "such" / "folder.stp")


def test_a_fitted_surface_is_the_spline_its_arrays_describe():
    f = law.Law("VEC(X,Y,SIN(X)*COS(Y))")
    s = law.fit_surface(f, 0, 3, 0, 2, 1e-4)
    (n1, n2), (d1, d2) = s.shape, s.degree
    k1, k2 = s.knots
    net = s.control_points.reshape(n2, n1, 3)  # the s index runs fastest
    w = s.weights.reshape(n2, n1)
    assert s.range == ((0.0, 3.0), (0.0, 2.0)) and len(k1) == n1 + d1 + 1
    rng = np.random.default_rng(2)
    for u, v in rng.uniform([0, 0], [3, 2], (25, 2)):
        rows = np.array([de_boor(k1, d1, net[j], w[j], u) for j in range(n2)])
        own = de_boor(k2, d2, rows, np.ones(n2), v)
        np.testing.assert_allclose(s(u, v), own, atol=1e-12)
    us, vs = np.meshgrid(np.linspace(0, 3, 61), np.linspace(0, 2, 41))
    assert np.max(np.linalg.norm(s(us, vs) - f(us, vs), axis=-1)) <= 1e-4
    assert s(us, vs).shape == (41, 61, 3)
    assert np.isnan(s(math.nan, 1.0)).all()
    with pytest.raises(law.LawError):
        s(5.0, 1.0)
