#!/usr/bin/env bash
# build.sh DIR BUILD_TYPE [extra cmake args...]: configures (once) and builds.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
type=${2:-Release}
shift 2 || true
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
cmake --build "$dir" -j2
