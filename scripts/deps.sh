#!/usr/bin/env bash
# Installs the Debian packages plover builds with, only those that are missing.
# apt-get update runs once, and only when something has to be installed.
#   scripts/deps.sh main   what the tool and the libraries need (scripts/run.sh)
#   scripts/deps.sh        that, and what the tests, fuzzers, benchmarks and docs need
set -euo pipefail
main=(g++ cmake make pkg-config nlohmann-json3-dev libcli11-dev libcpp-httplib-dev libjs-dygraphs libhwy-dev)
test=(libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev
      python3 python3-jsonschema help2man doxygen graphviz bash-completion
      python3-pytest python3-selenium chromium chromium-driver
      pybind11-dev python3-dev python3-numpy python3-pandas python3-matplotlib python3-distributed python3-scipy)
packages=("${main[@]}")
[ "${1:-test}" = "main" ] || packages+=("${test[@]}")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
