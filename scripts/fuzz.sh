#!/usr/bin/env bash
# Builds the stream fuzz targets with clang's libFuzzer and runs each for a
# bounded time (FUZZ_SECONDS, default 11, so four targets take under a minute).
#   scripts/fuzz.sh            build and run every target
#   FUZZ_SECONDS=60 scripts/fuzz.sh instruction   one target, longer
# Needs clang (Debian's clang-14 with libclang-rt-14-dev). Crashes are written
# to build-fuzz/<target>/ and fail the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-11}"
targets=("${@:-instruction reader top_level image}")
read -r -a targets <<<"${targets[*]}"

cxx="$(command -v clang++-14 || command -v clang++ || true)"
if [ -z "$cxx" ]; then
  echo "fuzz.sh: clang++ not found (apt-get install clang-14 libclang-rt-14-dev)" >&2
  exit 2
fi
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root" -I"$root/src" -I"$root/fuzz" -DPLOVER_SOURCE_DIR="\"$root\"")

# The library once, as objects shared by every target.
mkdir -p "$out/obj"
objects=()
for src in "$root"/streams/*.cpp; do
  obj="$out/obj/$(basename "${src%.cpp}").o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find "$root/streams" -name '*.h' -newer "$obj")" ]; then
    "$cxx" "${flags[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}" -c "$src" -o "$obj"
  fi
  objects+=("$obj")
done

# Seeds: the resource folder's own files.
seed() {
  local dir="$out/$1/corpus"; shift
  mkdir -p "$dir"
  for f in "$@"; do cp -f "$f" "$dir/"; done
}
marlin="$root/resources/asm/marlin"
seed instruction
printf 'wrmask MARLIN_CORE_A 1 F0' >"$out/instruction/corpus/wrmask"
printf 'r3 = r0' >"$out/instruction/corpus/assign"
seed reader "$marlin"/stream_image_*.txt
seed top_level "$marlin/top_level/top_level.txt" "$marlin/spi_marlin_c0.tv"
seed image

status=0
for t in "${targets[@]}"; do
  "$cxx" "${flags[@]}" "$root/fuzz/${t}_fuzz.cpp" "${objects[@]}" -o "$out/$t/${t}_fuzz"
  echo "fuzz: $t for ${seconds}s"
  if ! (cd "$out/$t" && ./"${t}_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
          -rss_limit_mb=2048 -print_final_stats=0 corpus >"fuzz.log" 2>&1); then
    echo "fuzz: $t FAILED, see $out/$t/fuzz.log" >&2
    tail -40 "$out/$t/fuzz.log" >&2
    status=1
  else
    grep -E "^Done" "$out/$t/fuzz.log" || true
  fi
done
exit $status
