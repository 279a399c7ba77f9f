#!/usr/bin/env bash
# screenshots.sh [DIR]: every page of the main window (a demo recorder's yearly readings
# opened) and every window it opens, as PNG files (default docs/screenshots), drawn by a
# real X server under xvfb at 1366×768 on a Russian desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=${1:-docs/screenshots}
bash scripts/build.sh build-bench Release -DKESTREL_BENCH=ON -DKESTREL_SCREENSHOTS=ON
cmake --build build-bench -j2 --target kestrel_screenshots
LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 xvfb-run -a -s "-screen 0 1366x768x24" build-bench/bin/kestrel_screenshots "$dir"
