#!/usr/bin/env bash
# Sets everything up, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
bash scripts/build.sh build Release
# The team server's tests start a throw-away PostgreSQL cluster and stop it themselves;
# should ctest itself be stopped, it is stopped here.
trap 'bash tests/support/pg-cluster.sh stop build/test-server/state' EXIT
ctest --test-dir build --output-on-failure -j2
