"""Shared fixtures of the Python package's tests: the law tool, run as the C++ library's own
reference for the same requests."""

import os
import subprocess

import pytest

SOURCE_DIR = os.environ.get(
    "LAW_SOURCE_DIR", os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
)


def tool_path():
    path = os.environ.get("LAW_TOOL") or os.path.join(SOURCE_DIR, "build/release/tools/law/law")
    return path if os.path.exists(path) else None


@pytest.fixture
def tool():
    """run(*args, input=None) -> the tool's standard output; fails the test on a non-zero
    exit."""
    path = tool_path()
    if not path:
        pytest.skip("the law tool is not built")

    def run(*args, input=None):
        done = subprocess.run([path, *args], input=input, capture_output=True, text=True,
                              timeout=120)
        assert done.returncode == 0, f"law {' '.join(args)}: {done.stderr}"
        return done.stdout

    return run
