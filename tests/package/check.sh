#!/usr/bin/env bash
# Installs a built tree into a scratch prefix and builds a consumer of it three ways: with
# find_package(law), with pkg-config, and with nothing but -I PREFIX/include. Every installed
# header must also compile on its own.
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
echo "package check passed"
