#!/usr/bin/env bash
# cross-windows.sh: builds the core and kestrel-cli.exe for 64-bit Windows (no Qt, no
# tests) with Debian's mingw-w64 into build-windows/, then runs smoke checks of the
# .exe under wine: demo-image, show, report, ports, and the parallel port's messages
# without a usable DLPortIO.dll.
# Installs the cross compiler and wine from Debian when they are missing.
# KESTREL_SKIP_WINE=1 builds only. The folder is build-windows unless WINDOWS_BUILD_DIR names another.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${WINDOWS_BUILD_DIR:-build-windows}
skip_wine=${KESTREL_SKIP_WINE:-0}

missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64-posix)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v ninja >/dev/null 2>&1 || missing+=(ninja-build)
if [ "$skip_wine" != 1 ] && ! command -v wine >/dev/null 2>&1; then
  missing+=(wine wine64)
fi
# The port library check below makes a 32-bit DLL.
if [ "$skip_wine" != 1 ] && ! command -v i686-w64-mingw32-gcc >/dev/null 2>&1; then
  missing+=(gcc-mingw-w64-i686)
fi
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
  echo "cross-windows: installing ${missing[*]}" >&2
  if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"; then
    "${as_root[@]}" apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
fi

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
  -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF -DKESTREL_FUZZ=OFF >/dev/null
cmake --build "$dir" -j2 --target kestrel_core kestrel-cli
exe="$PWD/$dir/bin/kestrel-cli.exe"
echo "cross-windows: built $exe" >&2

if [ "$skip_wine" = 1 ]; then
  exit 0
fi

# Smoke checks under wine, in a prefix of our own that is kept for the next run.
export WINEPREFIX="$PWD/$dir/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
repo=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
run() { wine "$exe" "$@"; }

failed=0
check() {
  local what=$1
  shift
  if "$@"; then echo "cross-windows: ok   $what" >&2; else echo "cross-windows: FAIL $what" >&2; failed=1; fi
}

check "demo-image" run demo-image --seed 3 -o demo.bbd
check "demo image is 32768 bytes" test "$(stat -c %s demo.bbd 2>/dev/null)" = 32768
check "show" sh -c 'wine "$0" show demo.bbd --yes >show.txt && test -s show.txt' "$exe"
check "report" sh -c 'wine "$0" report demo.bbd --doc 1 --yes -o report1.html && test -s report1.html' "$exe"
check "report journal" sh -c 'wine "$0" report demo.bbd --doc 5 --yes -o journal.html && test -s journal.html' "$exe"

# With a Linux build beside it (LINUX_CLI, default build/bin/kestrel-cli), the two must agree
# byte for byte: same image from the same seed, same texts, same documents.
linux_cli=${LINUX_CLI:-$repo/build/bin/kestrel-cli}
if [ -x "$linux_cli" ]; then
  "$linux_cli" demo-image --seed 3 -o demo-linux.bbd
  check "demo image equals the Linux build's" cmp -s demo.bbd demo-linux.bbd
  wine "$exe" show demo.bbd --yes --json --locale ru_RU | tr -d '\r' >show-windows.json || true
  "$linux_cli" show demo.bbd --yes --json --locale ru_RU >show-linux.json
  check "show --json equals the Linux build's" cmp -s show-windows.json show-linux.json
  for doc in 1 2 3 4 5; do
    wine "$exe" report demo.bbd --doc $doc --yes --locale ru_RU -o w$doc.html || true
    "$linux_cli" report demo.bbd --doc $doc --yes --locale ru_RU -o l$doc.html
    check "report $doc equals the Linux build's" cmp -s w$doc.html l$doc.html
  done
fi
usage=$(wine "$exe" 2>&1 || true)
if grep -q "kestrel-cli ports" <<<"$usage"; then
  check "ports" sh -c 'wine "$0" ports >ports.txt && test -s ports.txt' "$exe"
fi
# The parallel port without a usable DLPortIO.dll: the reason in words, exit 1. The NT family
# starts the driver service before it loads the library, and wine cannot start a missing
# driver file, so a driver that loads and does nothing stands in for DLPortIO.SYS.
mkdir -p lpt
cp "$exe" lpt/
cat >driver.c <<'EOF_DRIVER'
static void unload(void* driver) { (void)driver; }
long DriverEntry(void* driver, void* registryPath)
{
    (void)registryPath;
    *(void (**)(void*))((char*)driver + 0x68) = unload; /* DRIVER_OBJECT.DriverUnload (x64): stoppable */
    return 0;
}
EOF_DRIVER
x86_64-w64-mingw32-gcc-posix -O2 -shared -nostdlib -Wl,--subsystem,native -Wl,-e,DriverEntry -o lpt/DLPortIO.SYS driver.c
echo 'int __stdcall DlPortReadPortUchar(unsigned port) { return (int)(port & 0); }' >dll.c
lpt_says() { # expected text; the library beside the program (if any) is already in place
  local code
  code=0
  (cd lpt && wine ./kestrel-cli.exe read --device direct -o y.bbd) >lpt.out 2>lpt.err || code=$?
  test "$code" = 1 && grep -qF "Не возможно открыть DriverLINX драйвер." lpt.err && grep -qF "$1" lpt.err
}
check "parallel port without DLPortIO.dll says why" lpt_says "Причина: не удалось загрузить DLPortIO.dll: библиотека не найдена"
i686-w64-mingw32-gcc -shared -o lpt/DLPortIO.dll dll.c
check "a 32-bit DLPortIO.dll is named as not 64-bit" lpt_says "DLPortIO.dll: это не 64-разрядная библиотека"
x86_64-w64-mingw32-gcc-posix -shared -o lpt/DLPortIO.dll dll.c
check "a DLPortIO.dll without the entry points names the first missing one" lpt_says "нет функции DlPortReadPortUshort"
exit $failed
