#!/usr/bin/env bash
# build-windows-deps.sh [PREFIX]: SQLite, QCustomPlot and libxlsxwriter for 64-bit Windows,
# cross-built on Debian from Debian's own source packages (sqlite3, qcustomplot,
# libxlsxwriter) with the mingw-w64 posix compilers; Debian ships none of them built for
# mingw (it does ship zlib for mingw: libz-mingw-w64-dev). SQLite becomes a static library
# (its amalgamation is made from the source tree by SQLite's own tools on Linux),
# libxlsxwriter a static library, QCustomPlot a DLL against the Qt that
# scripts/build-qt-windows.sh made.
#
# PREFIX defaults to $KESTREL_WINDOWS_DEPS or ~/.cache/kestrel/windows-deps; a complete prefix
# (its stamp file) is left alone. Needs the Windows Qt ($KESTREL_QT_WINDOWS or
# ~/.cache/kestrel/qt6-windows). Takes about five minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
prefix=${1:-${KESTREL_WINDOWS_DEPS:-$HOME/.cache/kestrel/windows-deps}}
qt=${KESTREL_QT_WINDOWS:-$HOME/.cache/kestrel/qt6-windows}
# The stamp names what the prefix holds: a prefix from an older list is completed.
stamp="$prefix/.kestrel-complete-sqlite-qcustomplot-xlsxwriter"
if [ -f "$stamp" ]; then
  echo "build-windows-deps: $prefix is complete" >&2
  exit 0
fi
if [ ! -f "$qt/.kestrel-complete" ]; then
  echo "build-windows-deps: no Qt for Windows in $qt (scripts/build-qt-windows.sh makes it)" >&2
  exit 1
fi

if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
need=()
for p in g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev cmake ninja-build dpkg-dev tcl make gcc; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}"
fi

work=${KESTREL_WINDOWS_DEPS_WORK:-$HOME/.cache/kestrel/windows-deps-work}
# shellcheck source=lib/debian-source.sh
source "$repo/scripts/lib/debian-source.sh"
fetch_debian_source sqlite3 "$work"
fetch_debian_source qcustomplot "$work"
fetch_debian_source libxlsxwriter "$work"
mkdir -p "$prefix/include" "$prefix/lib"

# SQLite: the amalgamation from the source tree (a native configure, only to run its
# generators), then compiled for Windows.
sqlite_src=$(ls -d "$work"/sqlite3-*/ | head -n 1)
sqlite_gen="$work/sqlite-amalgamation"
if [ ! -f "$sqlite_gen/sqlite3.c" ]; then
  rm -rf "$sqlite_gen"
  mkdir -p "$sqlite_gen"
  (cd "$sqlite_gen" && "$sqlite_src/configure" --disable-tcl --disable-readline >/dev/null && make -j2 sqlite3.c >/dev/null)
fi
x86_64-w64-mingw32-gcc-posix -O2 -c "$sqlite_gen/sqlite3.c" -o "$work/sqlite3.o" \
  -DSQLITE_THREADSAFE=1 -DSQLITE_DEFAULT_FOREIGN_KEYS=0 -DSQLITE_OMIT_LOAD_EXTENSION
x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$work/sqlite3.o"
cp "$sqlite_gen/sqlite3.h" "$sqlite_gen/sqlite3ext.h" "$prefix/include/"

# QCustomPlot with Debian's own build files, against the Windows Qt.
qcp_src=$(ls -d "$work"/qcustomplot-*/ | head -n 1)
cmake -S "$qcp_src" -B "$work/qcustomplot-build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DUSE_QT_VERSION=6 -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$work/qcustomplot-build" -j"${KESTREL_JOBS:-2}"
cmake --install "$work/qcustomplot-build" >/dev/null

# libxlsxwriter with its own build files and bundled minizip, over mingw's zlib.
xlsx_src=$(ls -d "$work"/libxlsxwriter-*/ | head -n 1)
cmake -S "$xlsx_src" -B "$work/libxlsxwriter-build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" -DCMAKE_C_COMPILER=x86_64-w64-mingw32-gcc-posix \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
  -DUSE_DTOA_LIBRARY=ON -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$work/libxlsxwriter-build" -j"${KESTREL_JOBS:-2}"
cmake --install "$work/libxlsxwriter-build" >/dev/null

touch "$stamp"
echo "build-windows-deps: installed into $prefix" >&2
