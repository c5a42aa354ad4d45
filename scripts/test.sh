#!/usr/bin/env bash
# Builds plover and runs every test: scripts/test.sh [--sanitize]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/build.sh" "$@"
dir="$root/build"; [ "${1:-}" = "--sanitize" ] && dir="$root/build-asan"
cd "$dir" && ctest --output-on-failure -j"$(nproc)"
