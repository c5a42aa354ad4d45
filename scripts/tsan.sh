#!/usr/bin/env bash
# Builds the parallel-design test under ThreadSanitizer and runs it. Only the
# libraries that test needs are built, in build-tsan/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh" test
dir="$root/build-tsan"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOVER_SANITIZE_THREAD=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target tests_threads
cd "$dir/tests"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" ./tests_threads --gtest_brief=1
