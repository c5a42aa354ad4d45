#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a bounded
# time (FUZZ_SECONDS, default 8, so the ten targets take about a minute and a half
# besides the first build). Targets whose name is in LIBRARY_TARGETS link the
# whole library and the tool's command code; the others only the streams.
#   scripts/fuzz.sh            build and run every target
#   FUZZ_SECONDS=60 scripts/fuzz.sh instruction   one target, longer
# Needs clang (Debian's clang-14 with libclang-rt-14-dev). Crashes are written
# to build-fuzz/<target>/ and fail the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-8}"
targets=("${@:-instruction reader top_level image image_build blueprint profile settings feature_option options}")
library_targets=" blueprint profile feature_option options "
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

# The library and the tool's command code (not its main) once, for the
# targets that need them: only what the target uses is linked from the archive.
library_archive="$out/lib/libplover_fuzz.a"
build_library() {
  mkdir -p "$out/lib"
  local src obj todo=() objs=()
  while IFS= read -r src; do
    obj="$out/lib/$(echo "${src#"$root"/}" | tr '/' '_').o"
    objs+=("$obj")
    if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || \
       [ -n "$(find "$root/engine" "$root/src" "$root/host" "$root/streams" "$root/tools" -name '*.h' -newer "$obj" | head -1)" ]; then
      todo+=("$src")
    fi
  done < <(find "$root/engine" "$root/src/plover" "$root/host" -name '*.cpp'; \
           find "$root/tools" -maxdepth 1 -name '*.cpp' ! -name main.cpp ! -name cmd_serve.cpp)
  if [ "${#todo[@]}" -gt 0 ] || [ ! -f "$library_archive" ]; then
    printf '%s\n' "${todo[@]}" | grep . | xargs -r -P "$(nproc)" -I{} sh -c \
      'src="$1"; lib="$2"; root="$3"; shift 3; "$@" -c "$src" -o "$lib/$(echo "${src#"$root"/}" | tr / _).o"' \
      _ {} "$out/lib" "$root" "$cxx" "${flags[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}"
    rm -f "$library_archive"
    ar qc "$library_archive" "${objs[@]}"
  fi
}
for t in "${targets[@]}"; do
  if [[ "$library_targets" == *" $t "* ]]; then
    build_library
    break
  fi
done

# Seeds: the resource folder's own files, the examples, a golden profile.
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
seed image_build "$marlin/top_level/top_level.txt"
seed blueprint "$root"/examples/*.json
seed profile "$root/tests/golden/lte-20mhz-2t2r-tdd.profile.json" "$root/tests/golden/dmr-12p5khz-24ksps.profile.json"
seed settings
seed feature_option
printf 'FH:mode=2,minFrameDuration_us=20000' >"$out/feature_option/corpus/fh"
printf 'RxPortImpedanceControl:rx1=true,rx2=false' >"$out/feature_option/corpus/rxport"
seed options
printf 'chains\n--rx-rate\n30720000\n--rx-bandwidth\n18000000\n--target-ripple\n0.5' >"$out/options/corpus/chains"
printf 'response\nbp.json\n--port\nrx\n--channel\n1\n--max-points\n100' >"$out/options/corpus/response"
# The kept corpus of earlier long runs joins the seeds.
for t in "${targets[@]}"; do
  if [ -d "$root/fuzz/corpus/$t" ]; then
    mkdir -p "$out/$t/corpus"
    cp -f "$root/fuzz/corpus/$t"/* "$out/$t/corpus/" 2>/dev/null || true
  fi
done

status=0
for t in "${targets[@]}"; do
  extra=()
  if [[ "$library_targets" == *" $t "* ]]; then
    # The engine's vector kernels pick their target through Highway at run time.
    extra=("$library_archive" -lhwy)
  fi
  mkdir -p "$out/$t"
  "$cxx" "${flags[@]}" "$root/fuzz/${t}_fuzz.cpp" "${extra[@]}" "${objects[@]}" -o "$out/$t/${t}_fuzz"
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
