#!/usr/bin/env bash
# fuzz.sh [seconds] [libFuzzer args...]: builds a fuzz target (FUZZ_TARGET: fuzz_pipeline by
# default, or fuzz_oplog for the operational log) with clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer in its own folder and runs it for
# a while (60 s by default) on a corpus seeded with demo recorder memories.
# The folder is build-fuzz unless FUZZ_BUILD_DIR names another; crashes land in its artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
seconds=${1:-60}
shift || true
dir=${FUZZ_BUILD_DIR:-build-fuzz}
target=${FUZZ_TARGET:-fuzz_pipeline}

# The core is instrumented for coverage without libFuzzer's main; the target links it.
CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_FUZZ=ON -DKESTREL_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DKESTREL_GUI=OFF >/dev/null
cmake --build "$dir" -j2 --target "$target" kestrel-cli

corpus="$dir/corpus"
[ "$target" = fuzz_pipeline ] || corpus="$dir/corpus-$target"
mkdir -p "$corpus" "$dir/artifacts"
for seed in 1 2 3 4; do
  [ -f "$corpus/demo-$seed.bbd" ] || "$dir/bin/kestrel-cli" demo-image --seed "$seed" -o "$corpus/demo-$seed.bbd"
done
# A short file and an all-zero image: the two ends of what a data file can hold.
[ -f "$corpus/short.bbd" ] || head -c 2500 "$corpus/demo-1.bbd" >"$corpus/short.bbd"
[ -f "$corpus/zero.bbd" ] || head -c 32768 /dev/zero >"$corpus/zero.bbd"
if [ "$target" = fuzz_oplog ]; then
  # Its input is a header (flags, write position, stamp) and the log: made from the demo
  # memories, looking for the stamp of their newest working cycle.
  for seed in 1 2 3 4; do
    demo="$corpus/demo-$seed.bbd"
    flags='\000'
    [ "$(od -An -tu1 -j1622 -N1 "$demo" | tr -d ' ')" = 207 ] && flags='\001' # "П": extended samples
    [ -f "$corpus/log-$seed" ] || { printf "$flags"; dd if="$demo" bs=1 skip=1022 count=2 status=none
      dd if="$demo" bs=1 skip=1024 count=5 status=none; tail -c +2305 "$demo"; } >"$corpus/log-$seed"
    rm -f "$demo"
  done
  rm -f "$corpus/short.bbd" "$corpus/zero.bbd"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
"$dir/bin/$target" "$corpus" -max_len=32768 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
  -artifact_prefix="$dir/artifacts/" -print_final_stats=1 "$@"
