#!/usr/bin/env bash
# bench.sh [benchmark args...]: builds Release with the benchmarks and runs them.
# The build folder is build-bench unless BENCH_BUILD_DIR names another.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_BENCH=ON -DKESTREL_TESTS=OFF >/dev/null
cmake --build "$dir" -j2 --target kestrel_bench kestrel_device_bench kestrel_gui_bench kestrel_archive_bench \
  kestrel_server_bench kestrel_fleet_bench
"$dir/bin/kestrel_bench" "$@"
"$dir/bin/kestrel_device_bench" "$@"
"$dir/bin/kestrel_archive_bench" "$@"
"$dir/bin/kestrel_fleet_bench" "$@"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$dir/bin/kestrel_gui_bench" "$@"
# The team server's figures against a throw-away local cluster, stopped whatever happens.
server_state="$dir/bench-server/state"
trap 'bash tests/support/pg-cluster.sh stop "$server_state"' EXIT
bash tests/support/pg-cluster.sh start "$server_state"
KESTREL_BENCH_SERVER=$(sed -n 's/^connection=//p' "$server_state") "$dir/bin/kestrel_server_bench" "$@"
