"""Writes the package's type stubs: the template, then a line for each name of the library's
registry as the built package exposes it (so the stubs list exactly what import law gives).

usage: make_stub.py TEMPLATE OUTPUT   (with the built package on PYTHONPATH)
"""

import sys

import law


def registry_lines():
    for python, name, kind, meaning in law._REGISTERED:
        if kind == "constant":
            yield f"{python}: Law  # {meaning}"
        else:
            yield f"def {python}(*args: LawLike | LawData) -> Law:"
            yield f"    {meaning!r}"


def main(template, output):
    with open(template, encoding="utf-8") as f:
        text = f.read()
    text += "\n".join(registry_lines()) + "\n"
    with open(output, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
