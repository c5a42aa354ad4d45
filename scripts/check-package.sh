#!/usr/bin/env bash
# Installs the build (build/, as scripts/test.sh leaves it) into a scratch
# prefix, then builds and runs the README's C++ example there as an outside
# project: its find_package and target_link_libraries lines and its code are
# taken from README.md as written. The example must design the LTE example
# and write its files, and must fail with status 1 (not a crash) when the
# blueprint cannot be read.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

project="$work/example"
mkdir -p "$project"
# The first ```cmake and ```cpp blocks of the C++ section.
awk '/^## The library from C\+\+/{on=1} on&&/^```cmake$/{c=1;next} on&&/^```cpp$/{p=1;next}
     /^```$/{c=0;p=0} c{print > "'"$project"'/lines.cmake"} p{print > "'"$project"'/main.cpp"}
     on&&/^## /&&!/C\+\+/{on=0}' "$root/README.md"
[ -s "$project/lines.cmake" ] && [ -s "$project/main.cpp" ] || { echo "check-package: example not found in README.md" >&2; exit 1; }
{
  echo 'cmake_minimum_required(VERSION 3.25)'
  echo 'project(readme_example LANGUAGES CXX)'
  grep '^find_package' "$project/lines.cmake"
  echo 'add_executable(myapp main.cpp)'
  grep '^target_link_libraries' "$project/lines.cmake"
} >"$project/CMakeLists.txt"

# No standard, no flags: the package brings what it needs.
cmake -S "$project" -B "$project/build" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$project/build" -j"$(nproc)" >/dev/null

run="$work/run"
mkdir -p "$run"
(cd "$run" && "$project/build/myapp") >"$run/out.txt"
grep -qx '[0-9]* Hz' "$run/out.txt" || { echo "check-package: unexpected output:" >&2; cat "$run/out.txt" >&2; exit 1; }
for f in lte.profile.json lte.bin; do
  [ -s "$run/$f" ] || { echo "check-package: $f not written" >&2; exit 1; }
done
status=0
(cd "$run" && "$project/build/myapp" "$run/missing.json") >/dev/null 2>"$run/err.txt" || status=$?
if [ "$status" -ne 1 ]; then
  echo "check-package: a missing blueprint gave status $status, expected 1" >&2
  cat "$run/err.txt" >&2
  exit 1
fi
echo "check-package: README example built and run against the installed package"
