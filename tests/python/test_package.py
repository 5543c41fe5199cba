"""The package as a user meets it: type stubs that name everything it exports, documentation on
every function, and the README's worked example, which is examples/helix_tube.py and runs."""

import ast
import doctest
import inspect
import os
import re
import subprocess
import sys

import pytest

import law
from conftest import SOURCE_DIR

CLASSES = [law.Law, law.LawData, law.SplineCurve, law.SplineSurface]
# Everything the package offers: __all__, and the registry's names that shadow builtins.
EXPORTED = set(law.__all__) | {python for python, *_ in law._REGISTERED}


def stub_tree():
    path = os.path.join(os.path.dirname(law.__file__), "__init__.pyi")
    with open(path, encoding="utf-8") as f:
        return ast.parse(f.read())


def test_the_stubs_name_everything_the_package_exports():
    tree = stub_tree()
    top = {n.name for n in tree.body if isinstance(n, (ast.FunctionDef, ast.ClassDef))}
    top |= {n.target.id for n in tree.body if isinstance(n, ast.AnnAssign)}
    assert EXPORTED <= top, EXPORTED - top
    classes = {n.name: n for n in tree.body if isinstance(n, ast.ClassDef)}
    for cls in CLASSES:
        members = {m.name for m in classes[cls.__name__].body if isinstance(m, ast.FunctionDef)}
        public = {m for m in dir(cls) if not m.startswith("_")}
        assert public <= members, (cls.__name__, public - members)


def test_a_star_import_leaves_the_builtins_alone():
    names = {}
    exec("from law import *", names)
    assert "sin" in names and "max" not in names and "abs" not in names
    assert law.max(law.X, 2)(1.0) == 2.0


def test_every_function_and_method_is_documented():
    for name in EXPORTED:
        item = getattr(law, name)
        if callable(item) and not isinstance(item, law.Law):
            assert inspect.getdoc(item), name
    for cls in CLASSES:
        for member in dir(cls):
            if not member.startswith("_"):
                assert inspect.getdoc(getattr(cls, member)), f"{cls.__name__}.{member}"
    assert "LAW_ZERODIVIDE" in law.LawError.__doc__
    assert inspect.getdoc(law.sin).startswith("SIN(A): sine")


def test_the_examples_in_the_documentation_print_what_they_say():
    for item in (law, law.Law):
        runner = doctest.DocTestRunner()
        for test in doctest.DocTestFinder(recurse=False).find(item, globs={"law": law}):
            runner.run(test)
        assert runner.failures == 0 and runner.tries > 0, item


def test_the_readme_example_is_the_example_file_and_runs(tmp_path):
    with open(os.path.join(SOURCE_DIR, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    example = os.path.join(SOURCE_DIR, "examples", "helix_tube.py")
    with open(example, encoding="utf-8") as f:
        code = f.read()
    assert f"```python\n{code}```" in readme, "README.md's copy of examples/helix_tube.py differs"
    done = subprocess.run([sys.executable, example, str(tmp_path)], capture_output=True,
                          text=True, timeout=300)
    assert done.returncode == 0, done.stderr
    radius = re.search(r"distance from the helix: (\S+) to (\S+)", done.stdout)
    assert radius and abs(float(radius[1]) - 0.3) < 1e-3 and abs(float(radius[2]) - 0.3) < 1e-3
    with open(tmp_path / "helix_tube.igs") as f:
        assert f.readline()[72] == "S"
