#!/usr/bin/env bash
# Configures and builds plover into a build folder.
#   scripts/build.sh [--tool | --sanitize | --bench]
# --tool builds only the plover tool and the libraries under it (no tests) and
# needs only the main packages. Build folders: build/ (release, also --tool),
# build-asan/ (sanitizers), build-bench/ (benchmarks).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build"; opts=(-DCMAKE_BUILD_TYPE=Release -DPLOVER_BUILD_TESTS=ON); deps=test; target=()
for a in "$@"; do
  case "$a" in
    --tool) opts=(-DCMAKE_BUILD_TYPE=Release -DPLOVER_BUILD_TESTS=OFF); deps=main; target=(--target plover) ;;
    --sanitize) dir="$root/build-asan"; opts=(-DCMAKE_BUILD_TYPE=Debug -DPLOVER_SANITIZE=ON -DPLOVER_BUILD_TESTS=ON) ;;
    --bench) dir="$root/build-bench"; opts=(-DCMAKE_BUILD_TYPE=Release -DPLOVER_BUILD_BENCH=ON -DPLOVER_BUILD_TESTS=OFF) ;;
    *) echo "unknown option: $a" >&2; exit 2 ;;
  esac
done
bash "$root/scripts/deps.sh" "$deps"
cmake -S "$root" -B "$dir" "${opts[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)" "${target[@]}"
