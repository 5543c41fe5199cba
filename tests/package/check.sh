#!/usr/bin/env bash
# Installs a built tree into a scratch prefix and builds a consumer with find_package(law).
set -euo pipefail
build=${1:?usage: check.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
cmake -S "$here" -B "$scratch/app" -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/app" >/dev/null
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/app/app"
echo "package check passed"
