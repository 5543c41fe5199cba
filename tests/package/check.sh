#!/usr/bin/env bash
# Installs a built tree into a scratch prefix and builds a consumer of it three ways: with
# find_package(law), with pkg-config, and with nothing but -I PREFIX/include. Every installed
# header must also compile on its own, and the Python package, where the tree built it, must
# import from the prefix and find the installed library by itself.
set -euo pipefail
build=${1:?usage: check.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'liblaw.so' | head -1)")
cxx=${CXX:-g++}

echo "-- find_package(law)"
cmake -S "$here" -B "$scratch/app" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/app" >/dev/null
LD_LIBRARY_PATH="$libdir" "$scratch/app/app"

echo "-- pkg-config --cflags --libs law"
# shellcheck disable=SC2046
"$cxx" -o "$scratch/app_pc" "$here/main.cc" \
  $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs law)
LD_LIBRARY_PATH="$libdir" "$scratch/app_pc"

echo "-- plain -I PREFIX/include"
"$cxx" -std=c++20 -I"$prefix/include" -o "$scratch/app_plain" "$here/main.cc" \
  -L"$libdir" -llaw -pthread
LD_LIBRARY_PATH="$libdir" "$scratch/app_plain"

echo "-- every installed header on its own"
count=0
while IFS= read -r header; do
  rel=${header#"$prefix/include/"}
  printf '#include <%s>\n' "$rel" | "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra \
    -I"$prefix/include" -x c++ - || { echo "not self-contained: $rel" >&2; exit 1; }
  count=$((count + 1))
done < <(find "$prefix/include" -name '*.h' | sort)
echo "$count headers"
[ -z "$(ls "$prefix/include" | grep -v '^law$')" ] || { echo "headers outside include/law" >&2; exit 1; }

package=$(find "$prefix" -path '*-packages/law/__init__.py' | head -1)
if [ -n "$package" ]; then
  echo "-- the Python package"
  python=$(sed -n 's/^Python3_EXECUTABLE:[A-Z]*=//p' "$build/CMakeCache.txt")
  site=$(dirname "$(dirname "$package")")
  [ -f "$site/law/__init__.pyi" ] || { echo "no type stubs installed" >&2; exit 1; }
  (cd "$scratch" && PYTHONPATH="$site" "$python" -c "
import law, numpy
assert law.__file__.startswith('$site'), law.__file__
assert law.Law('X*Y+1')(2.0, 3.0) == 7.0
assert law.sin(law.X)(numpy.zeros(3)).tolist() == [0.0, 0.0, 0.0]
print('imported', law.__file__)")
fi
echo "package check passed"
