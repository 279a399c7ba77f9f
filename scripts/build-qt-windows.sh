#!/usr/bin/env bash
# build-qt-windows.sh [PREFIX]: Qt for 64-bit Windows, cross-built on Debian from Debian's own
# qt6-base source package with the mingw-w64 posix compilers, shared, Release, with only what
# Kestrel uses (Core, Gui, Widgets, PrintSupport, Network). Debian ships no Qt built for mingw.
#
# PREFIX defaults to $KESTREL_QT_WINDOWS or ~/.cache/kestrel/qt6-windows; a prefix that holds a
# complete build (its stamp file) is left alone, so the script costs nothing the second time.
# Debian's own Qt is the host Qt (moc, uic, rcc run on Linux), as Debian's cross builds do.
# Takes about 35 minutes on two cores.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-${KESTREL_QT_WINDOWS:-$HOME/.cache/kestrel/qt6-windows}}
stamp="$prefix/.kestrel-complete"
if [ -f "$stamp" ]; then
  echo "build-qt-windows: $prefix is complete" >&2
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
need=()
for p in g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools cmake ninja-build dpkg-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}"
fi

work=${KESTREL_QT_WORK:-$HOME/.cache/kestrel/qt6-windows-work}
mkdir -p "$work"
cd "$work"

# The source package, from a copy of the system's own Debian entry with deb-src beside deb
# (the system's sources stay as they are).
if ! ls -d qtbase-everywhere-src-*/ >/dev/null 2>&1 && ! ls -d qt6-base-*/ >/dev/null 2>&1; then
  lists="$work/apt"
  mkdir -p "$lists/lists/partial" "$lists/sources.list.d"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed 's/^Types: deb$/Types: deb deb-src/' "$f" > "$lists/sources.list.d/$(basename "$f")"
  done
  [ -f /etc/apt/sources.list ] && sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "$lists/sources.list.d/system.list"
  apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$lists/sources.list.d"
    -o "Dir::State::Lists=$lists/lists" -o "Dir::Cache=$lists/cache")
  mkdir -p "$lists/cache/archives/partial"
  apt-get "${apt_opts[@]}" update -q
  apt-get "${apt_opts[@]}" source -q --download-only qt6-base
  dpkg-source -x --no-check qt6-base_*.dsc
fi
src=$(ls -d "$work"/qt6-base-*/ 2>/dev/null | head -n 1)
[ -n "$src" ] || { echo "build-qt-windows: no unpacked qt6-base source in $work" >&2; exit 1; }

# The compilers only: Qt's DLLs link the mingw runtime dynamically, and the runtime DLLs go
# beside the program.
toolchain="$work/mingw-w64-qt.cmake"
cat > "$toolchain" <<'CMAKE'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
CMAKE

build="$work/build"
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_testlib=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF \
  -DFEATURE_vulkan=OFF \
  -DFEATURE_icu=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
cmake --build "$build" -j"${KESTREL_JOBS:-2}"
cmake --install "$build"
touch "$stamp"
echo "build-qt-windows: installed into $prefix" >&2
