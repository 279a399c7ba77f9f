#!/usr/bin/env bash
# Sets everything up, builds, and starts Kestrel on a demo recorder memory.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
bash scripts/build.sh build Release
mkdir -p build/demo
./build/bin/kestrel-cli demo-image --seed 1 -o build/demo/demo.bbd
./build/bin/kestrel-cli show build/demo/demo.bbd --locale ru_RU
./build/bin/kestrel-cli report build/demo/demo.bbd --doc 2 --locale ru_RU -o build/demo/protocol2.html
echo "Протокол №2: build/demo/protocol2.html"
