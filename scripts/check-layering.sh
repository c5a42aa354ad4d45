#!/usr/bin/env bash
# Fails when an include crosses the layering:
#   - engine/ includes nothing of ours but itself;
#   - streams/ includes neither src/plover nor host/;
#   - a folder of src/plover includes only itself and the folders below it,
#     top to bottom: develop features analysis profile design blueprint
#     filters records base (and may use engine/ and streams/);
#   - clients (tools/ and its server, python/, web/) include only host/
#     headers and their own. tools/gen holds build-time generators, which
#     read the engine's tables directly, and is not a client.
# Prints every offending line as file:line: include, then exits 1.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
order=(develop features analysis profile design blueprint filters records base)
bad=0

# The first folder of each of our includes in the given files: "file:line:target".
includes() {
  grep -HnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<](engine|streams|host|plover|src)/[^">]*[">]' "$@" 2>/dev/null |
    sed -E 's/#[[:space:]]*include[[:space:]]*["<]//; s/[">]$//' || true
}

sources() {
  [ -d "$1" ] || return 0
  find "$1" \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) "${@:2}" -print
}

complain() {
  echo "$1: $2" >&2
  bad=1
}

check() {
  local what="$1" allowed="$2"; shift 2
  local files
  mapfile -t files < <("$@")
  [ ${#files[@]} -gt 0 ] || return 0
  while IFS= read -r hit; do
    [ -n "$hit" ] || continue
    local target="${hit#*:*:}"
    if ! [[ "$target" =~ ^($allowed)/ ]]; then
      complain "${hit%:"$target"}" "$what may not include $target"
    fi
  done < <(includes "${files[@]}")
}

check "the engine" "engine" sources engine
check "the stream library" "engine|streams" sources streams
for i in "${!order[@]}"; do
  below="$(IFS='|'; echo "${order[*]:$i}")"
  check "src/plover/${order[$i]}" "engine|streams|plover/($below)" sources "src/plover/${order[$i]}"
done
check "a client" "host" sources tools -not -path 'tools/gen/*'
check "a client" "host" sources python
check "a client" "host" sources web
exit $bad
