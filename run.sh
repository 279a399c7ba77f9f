#!/usr/bin/env bash
# Sets everything up, builds, and starts Kestrel on the simulated reader device,
# preloaded with a demo recorder memory: "Загрузить" works at once.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
bash scripts/build.sh build Release
mkdir -p build/demo
# A fresh copy each start: write-backs to the simulated device change its file.
./build/bin/kestrel-cli demo-image --seed 1 -o build/demo/device.bbd
./build/bin/kestrel-cli demo-image --seed 2 -o build/demo/demo.bbd
# The device's recorder read once a year since its installation, kept in a demo archive:
# "История" shows its history after "Загрузить".
rm -rf build/demo/history build/demo/archive.sqlite*
./build/bin/kestrel-cli demo-image --seed 1 --history 5 -o build/demo/history
./build/bin/kestrel-cli archive import --archive build/demo/archive.sqlite build/demo/history >/dev/null
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display; starting under xvfb-run (set DISPLAY to see the window)" >&2
  exec xvfb-run -a ./build/bin/kestrel --device "sim:$PWD/build/demo/device.bbd" \
    --archive "$PWD/build/demo/archive.sqlite" "$@"
fi
exec ./build/bin/kestrel --device "sim:$PWD/build/demo/device.bbd" --archive "$PWD/build/demo/archive.sqlite" "$@"
