#!/usr/bin/env bash
# screenshots.sh [DIR]: the five pages of the main window with a demo recorder memory
# opened, as PNG files (default docs/screenshots), drawn by a real X server under xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=${1:-docs/screenshots}
bash scripts/build.sh build-bench Release -DKESTREL_BENCH=ON
cmake --build build-bench -j2 --target kestrel_screenshots
xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bin/kestrel_screenshots "$dir"
