#!/usr/bin/env bash
# Configures and builds plover into a build folder.
#   scripts/build.sh [--sanitize] [--bench]
# Build folders: build/ (release), build-asan/ (sanitizers), build-bench/ (benchmarks).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh"
dir="$root/build"; opts=(-DCMAKE_BUILD_TYPE=Release)
for a in "$@"; do
  case "$a" in
    --sanitize) dir="$root/build-asan"; opts=(-DCMAKE_BUILD_TYPE=Debug -DPLOVER_SANITIZE=ON) ;;
    --bench) dir="$root/build-bench"; opts=(-DCMAKE_BUILD_TYPE=Release -DPLOVER_BUILD_BENCH=ON -DPLOVER_BUILD_TESTS=OFF) ;;
    *) echo "unknown option: $a" >&2; exit 2 ;;
  esac
done
cmake -S "$root" -B "$dir" "${opts[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
