#!/usr/bin/env bash
# Builds the plover tool (no tests) and designs the LTE 20 MHz 2T2R example: writes its profile,
# stream settings and stream image into build/out/ and prints the summary.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/build.sh" --tool
plover="$root/build/tools/plover"
blueprint="$root/examples/lte-20mhz-2t2r-tdd.json"
out="$root/build/out"
mkdir -p "$out"
"$plover" --version
"$plover" stream-settings "$blueprint" -o "$out/lte-20mhz-2t2r-tdd.stream-settings.json"
"$plover" stream-image "$blueprint" -o "$out/lte-20mhz-2t2r-tdd.stream-image.bin"
"$plover" design "$blueprint" -o "$out/lte-20mhz-2t2r-tdd.profile.json"
echo "written to $out:"
ls -l "$out"
