#!/usr/bin/env bash
# windows-package.sh: Kestrel for 64-bit Windows, built on Debian and proven under wine.
#
# 1. Qt, SQLite, QCustomPlot and libxlsxwriter for Windows from Debian's source packages (cached under
#    ~/.cache/kestrel; the first run takes about 40 minutes, later ones seconds).
# 2. kestrel.exe, kestrel-cli.exe and the screenshot program, cross-built with mingw-w64.
# 3. A staging folder: the programs, every DLL they import (read from their import tables),
#    Qt's Windows, offscreen (kestrel-cli's PDF) and style plugins, Qt's Russian
#    translation, the help topics.
# 4. The installer, build-windows-qt/kestrel-VERSION-setup.exe (NSIS).
# 5. Unless KESTREL_SKIP_WINE=1, the proof in a fresh wine prefix (Windows 10, Xvfb at
#    1366×768, a Russian desktop): silent install; the installed program started on a data
#    file, screenshotted; the screenshot program over every page and window; a document and
#    a data file from the installed kestrel-cli.exe compared byte for byte with the Linux
#    build's; silent uninstall, after which the user's files must remain.
#    Screenshots go to docs/screenshots/windows (or $KESTREL_WINDOWS_SHOTS).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=${WINDOWS_QT_BUILD_DIR:-build-windows-qt}
qt=${KESTREL_QT_WINDOWS:-$HOME/.cache/kestrel/qt6-windows}
deps=${KESTREL_WINDOWS_DEPS:-$HOME/.cache/kestrel/windows-deps}
skip_wine=${KESTREL_SKIP_WINE:-0}
shots=${KESTREL_WINDOWS_SHOTS:-$repo/docs/screenshots/windows}
say() { echo "windows-package: $*" >&2; }

if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
need=()
packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis qt6-translations-l10n cmake ninja-build)
[ "$skip_wine" = 1 ] || packages+=(wine wine64 fonts-wine fonts-liberation xvfb xauth x11-apps xdotool imagemagick unzip)
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  say "installing ${need[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}" ||
    { "${as_root[@]}" apt-get update -q &&
      "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}"; }
fi

KESTREL_QT_WINDOWS=$qt bash scripts/build-qt-windows.sh "$qt"
KESTREL_QT_WINDOWS=$qt bash scripts/build-windows-deps.sh "$deps"

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
  -DQT_ADDITIONAL_PACKAGES_PREFIX_PATH="$deps" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF -DKESTREL_FUZZ=OFF -DKESTREL_SCREENSHOTS=ON \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j"${KESTREL_JOBS:-2}" --target kestrel kestrel-cli kestrel_screenshots
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# The staging folder: what the installer puts into the program's folder.
stage="$build/stage"
rm -rf "$stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
cp "$build/bin/kestrel.exe" "$build/bin/kestrel-cli.exe" "$stage/"
cp -r "$build/bin/help" "$stage/help"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
# kestrel-cli lays documents out for PDF without a display.
cp "$qt/plugins/platforms/qoffscreen.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp /usr/share/qt6/translations/qtbase_ru.qm "$stage/translations/"
mingw_runtime=()
for dir in /usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib; do
  [ -d "$dir" ] && mingw_runtime+=("$dir")
done
bash scripts/gather-windows-dlls.sh "$stage" "$qt/bin" "$deps/bin" "${mingw_runtime[@]}"
for needed in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll libQCustomPlotQt6.dll \
  libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  [ -f "$stage/$needed" ] || { say "the staging folder lacks $needed"; exit 1; }
done

setup="$repo/$build/kestrel-$version-setup.exe"
bash installer/make-installer.sh "$stage" "$setup" "$version"
say "installer: $setup ($(du -k "$setup" | cut -f1) KiB)"

if [ "$skip_wine" = 1 ]; then
  say "KESTREL_SKIP_WINE=1: the installer was not tried under wine"
  exit 0
fi
exec bash scripts/windows-wine-proof.sh "$setup" "$build/bin/kestrel_screenshots.exe" "$shots"
