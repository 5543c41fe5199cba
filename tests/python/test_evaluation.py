"""Evaluation from Python: numbers, NumPy arrays and broadcasting through the batch entry point,
values against the C++ library (the law tool) and closed forms, errors at failing points, and
threads calling one law."""

import concurrent.futures
import math

import numpy as np
import pytest

import law
from law import X, Y


def bits(a):
    return np.asarray(a, dtype=np.float64).view(np.uint64)


def test_numbers_give_a_float_and_a_vector_law_an_array():
    assert type(law.Law("X*Y+1")(2.0, 3.0)) is float
    assert type(law.Law("X+1")(2)) is float and law.Law("X+1")(True) == 2.0
    v = law.Law("VEC(X,2*X,X^2)")(3.0)
    assert isinstance(v, np.ndarray) and v.tolist() == [3.0, 6.0, 9.0]
    assert law.Law("VEC(X,Y)")(np.float32(1.5), 2).tolist() == [1.5, 2.0]


def test_arrays_broadcast_to_points_and_outputs():
    xs, ys = np.linspace(0, 1, 5), np.linspace(-1, 1, 4)
    f = law.Law("X*Y+2")
    assert f(xs, 3.0).shape == (5,)
    grid = f(xs[:, None], ys)
    assert grid.shape == (5, 4)
    np.testing.assert_array_equal(grid, xs[:, None] * ys + 2)
    helix = law.Law("VEC(COS(X),SIN(X),X/4)")
    assert helix(xs).shape == (5, 3) and helix(xs.reshape(5, 1)).shape == (5, 1, 3)
    np.testing.assert_allclose(helix(xs), np.stack([np.cos(xs), np.sin(xs), xs / 4], axis=1),
                               rtol=1e-15)
    surface = law.Law("VEC(X,Y,X*Y)")
    assert surface(xs[:, None], ys).shape == (5, 4, 3)
    assert surface(xs[:, None], ys)[2, 3].tolist() == [xs[2], ys[3], xs[2] * ys[3]]
    # Inputs past take_dim take part in the shape only; too few is an error.
    assert law.Law("5")(xs).tolist() == [5.0] * 5
    with pytest.raises(TypeError, match="takes 2 inputs; 1 given"):
        f(xs)
    with pytest.raises(ValueError):
        f(xs, ys)
    assert f(np.empty(0), 1.0).shape == (0,) and helix(np.empty(0)).shape == (0, 3)


def test_any_real_layout_and_dtype_reads_as_doubles():
    f = law.Law("X*Y-X")
    base = np.arange(12.0).reshape(3, 4)
    expected = base * 2.0 - base
    for xs in [base, np.asfortranarray(base), base.astype(np.int32), base.astype(np.float32),
               base.tolist(), np.ascontiguousarray(base.T).T]:
        np.testing.assert_array_equal(f(xs, 2.0), expected)
    strided = np.arange(20.0)[::2]
    np.testing.assert_array_equal(f(strided, np.array([True])), strided - strided)
    for bad in [np.array([1 + 2j]), np.array(["1"]), np.array([object()]), None, "x"]:
        with pytest.raises(TypeError):
            f(bad, 1.0)


def test_batch_values_are_the_single_point_values_bit_for_bit():
    rng = np.random.default_rng(3)
    for text in ["SIN(X)*COS(Y)+X^3/(1+Y^2)", "EXP(-(X^2))*LN(Y+3)", "VEC(X*Y,ARCTAN(Y,X),SQRT(X^2+1))",
                 "PIECEWISE(X<0,-X,X<Y,X*Y,Y)"]:
        f = law.Law(text)
        xs, ys = rng.uniform(-2, 2, 300), rng.uniform(-2, 2, 300)
        one = np.array([f(float(x), float(y)) for x, y in zip(xs, ys)])
        np.testing.assert_array_equal(bits(f(xs, ys)), bits(one), err_msg=text)


def test_exp_over_an_array_is_the_c_librarys_exp():
    # The batch finds most exponentials without calling exp; math.exp calls it. The first values
    # are some where exp is not the nearest double to the exponential.
    rng = np.random.default_rng(11)
    hard = [float.fromhex(h) for h in ["0x1.11492afaa3dc8p+2", "-0x1.910d78ea377cp+1",
                                       "0x1.ee791fcc3e638p+3", "-0x1.614a415a13a87p+9"]]
    xs = np.concatenate([hard, rng.uniform(-746, 710, 50000), rng.uniform(-3, 3, 50000),
                         [0.0, -0.0, np.inf, -np.inf, np.nan, 709.7, -708.5]])
    # math.exp raises where exp overflows.
    expected = np.array([math.inf if x > 709.79 else math.exp(x) for x in xs])
    np.testing.assert_array_equal(bits(law.Law("EXP(X)")(xs)), bits(expected))


def test_values_are_those_of_the_cpp_library(tool):
    rng = np.random.default_rng(5)
    for text in ["X*Y+SIN(X)", "EXP(SIN(LN(X+2)))*Y", "(X^2+1)/(X^2-4*X+5)-Y", "TANH(X)+COSH(Y/2)"]:
        points = rng.uniform(0.1, 1.9, (50, 2))
        lines = "".join(f"{x!r} {y!r}\n" for x, y in points)
        expected = np.array([float(v) for v in tool("eval", text, "-", input=lines).split()])
        got = law.Law(text)(points[:, 0], points[:, 1])
        np.testing.assert_array_equal(bits(got), bits(expected), err_msg=text)


def test_values_agree_with_numpy_closed_forms():
    xs = np.linspace(0.1, 1.9, 1001)
    cases = {
        "X^5-3*X^4+2*X^3-X^2+4*X-7": xs**5 - 3 * xs**4 + 2 * xs**3 - xs**2 + 4 * xs - 7,
        "SIN(X)*COS(X)+TAN(X/4)": np.sin(xs) * np.cos(xs) + np.tan(xs / 4),
        "EXP(-(X^2)/2)*LN(X+1)": np.exp(-(xs**2) / 2) * np.log(xs + 1),
        "ARCSIN(X/2)+ARCCOS(X/3)+ARCTAN(X)": np.arcsin(xs / 2) + np.arccos(xs / 3) + np.arctan(xs),
        "ABS(X-1)+MAX(X,1)+MIN(X^2,0.5)": abs(xs - 1) + np.maximum(xs, 1) + np.minimum(xs**2, 0.5),
        "(SIN(X)+X) O (X^2+1)": np.sin(xs**2 + 1) + xs**2 + 1,
    }
    for text, expected in cases.items():
        np.testing.assert_allclose(law.Law(text)(xs), expected, rtol=1e-13, err_msg=text)


def test_failing_points_raise_or_give_nan_alone():
    f = law.Law("SQRT(X)*Y")
    xs = np.array([4.0, -1.0, 9.0, -0.5, 16.0])
    with pytest.raises(law.LawError) as e:
        f(xs, 2.0)
    assert e.value.code == "LAW_SQRT"
    values = f(xs, 2.0, errors="nan")
    assert np.isnan(values).tolist() == [False, True, False, True, False]
    assert values[~np.isnan(values)].tolist() == [4.0, 6.0, 8.0]
    assert math.isnan(f(-1.0, 2.0, errors="nan"))
    v = law.Law("VEC(LN(X),X)")(np.array([1.0, 0.0]), errors="nan")
    assert v[0].tolist() == [0.0, 1.0] and np.isnan(v[1]).all()
    with pytest.raises(ValueError):
        f(xs, 2.0, errors="ignore")
    with pytest.raises(TypeError):
        f(xs, 2.0, error="nan")


def test_many_points_run_in_chunks_with_every_value_in_place():
    n = 3 * 2**20 + 17  # several chunks of the batch, the last one short
    xs = np.arange(n, dtype=np.float64) - 5
    f = law.Law("SQRT(X)*Y")
    values = f(xs, 2.0, errors="nan")  # a repeated input, errors in the first chunk only
    assert np.isnan(values[:5]).all()
    np.testing.assert_array_equal(values[5:], np.sqrt(xs[5:]) * 2.0)
    g = law.Law("VEC(X*Y,X-Y)")
    ys = xs[::-1].copy()
    np.testing.assert_array_equal(g(xs, ys), np.stack([xs * ys, xs - ys], axis=1))


def test_a_law_of_laws_is_their_composition():
    f = law.sin(X) * Y
    g = f(X**2, X + 1)
    xs = np.linspace(-1, 1, 7)
    np.testing.assert_allclose(g(xs), np.sin(xs**2) * (xs + 1), rtol=1e-15)
    h = f(law.vec(2 * X, X - 1))  # one law giving both inputs
    np.testing.assert_allclose(h(xs), np.sin(2 * xs) * (xs - 1), rtol=1e-15)


def test_threads_calling_one_law_give_the_values_of_one_thread():
    laws = [law.Law("SIN(X)*COS(Y)+EXP(-(X^2))"), law.Law("VEC(COS(X),SIN(X),X*Y/4)"),
            law.Law("PIECEWISE(X<0,SQRT(-X),LN(X+1))*Y")]
    rng = np.random.default_rng(11)
    batches = [(rng.uniform(-3, 3, 20000), rng.uniform(-3, 3, 20000)) for _ in range(16)]

    def work(k):
        f = laws[k % len(laws)]
        xs, ys = batches[k]
        return f(xs, ys), [f(float(x), float(y)) for x, y in zip(xs[:200], ys[:200])]

    # Fresh laws, so that the threads also race to compile them.
    with concurrent.futures.ThreadPoolExecutor(max_workers=8) as pool:
        threaded = list(pool.map(work, range(len(batches))))
    for k, (array, scalars) in enumerate(threaded):
        alone = work(k)
        np.testing.assert_array_equal(bits(array), bits(alone[0]))
        np.testing.assert_array_equal(bits(np.array(scalars)), bits(np.array(alone[1])))
