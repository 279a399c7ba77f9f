#!/usr/bin/env bash
# windows-wine-proof.sh SETUP.exe SCREENSHOTS.exe SHOTS_DIR: the Windows installer tried as a
# user would, in a fresh wine prefix set to Windows 10 on a Russian desktop under Xvfb at
# 1366×768. Called by windows-package.sh; prints "ok"/"FAIL" per check and exits non-zero
# when one failed. The prefix and the X server are removed afterwards, whatever happened.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
setup=$(realpath "$1")
screenshots_exe=$(realpath "$2")
shots=$3
mkdir -p "$shots"
shots=$(realpath "$shots")
check_name=windows-wine-proof
# shellcheck source=scripts/lib/checks.sh
source scripts/lib/checks.sh

# The Linux command line the Windows one must agree with.
linux_cli=${LINUX_CLI:-}
if [ -z "$linux_cli" ]; then
  linux_cli="$repo/build/bin/kestrel-cli"
  if [ ! -x "$linux_cli" ]; then
    cmake -S . -B build-linux-cli -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_GUI=OFF -DKESTREL_TESTS=OFF >/dev/null
    cmake --build build-linux-cli -j2 --target kestrel-cli
    linux_cli="$repo/build-linux-cli/bin/kestrel-cli"
  fi
fi

export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
USER=${USER:-$(id -un)}
export USER
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d /tmp/kestrel-wine.XXXXXX)
export WINEPREFIX
work=$(mktemp -d /tmp/kestrel-proof.XXXXXX)
xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT

# An X server of our own, on the first free display number.
display=90
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.2; done
export DISPLAY=":$display"

wine wineboot -i >/dev/null 2>&1
wine winecfg -v win10 >/dev/null 2>&1
wineserver -w
check "the prefix says Windows 10" sh -c \
  'wine reg query "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion" /v CurrentBuild 2>/dev/null | grep -q "1[0-9][0-9][0-9][0-9]"'

# Silent installation, timed.
started=$(date +%s%N)
wine "$setup" /S
wineserver -w
say "installed in $(( ($(date +%s%N) - started) / 1000000 )) ms"
program_dir="$WINEPREFIX/drive_c/Program Files/Kestrel"
check "kestrel.exe installed into Program Files" test -f "$program_dir/kestrel.exe"
check "kestrel-cli.exe installed" test -f "$program_dir/kestrel-cli.exe"
check "Qt's platform plugin installed" test -f "$program_dir/platforms/qwindows.dll"
check "Qt's Russian translation installed" test -f "$program_dir/translations/qtbase_ru.qm"
check "the help topics installed" sh -c 'ls "$0"/help/*.html >/dev/null' "$program_dir"
check "a desktop shortcut Kestrel" sh -c 'find "$0/drive_c/users" -iname "Kestrel.lnk" -path "*esktop*" | grep -q .' "$WINEPREFIX"
check "a Start-menu shortcut Kestrel" sh -c 'find "$0/drive_c" -iname "Kestrel.lnk" -ipath "*start menu*" | grep -q .' "$WINEPREFIX"
check ".bbd files open with Kestrel" sh -c 'wine reg query "HKCR\\.bbd" 2>/dev/null | grep -q Kestrel'

cli='C:\Program Files\Kestrel\kestrel-cli.exe'
gui='C:\Program Files\Kestrel\kestrel.exe'
documents="$WINEPREFIX/drive_c/users/$USER/Documents"
mkdir -p "$documents"

# The installed command line writes what the Linux build writes.
wine "$cli" demo-image --seed 3 -o 'C:\users\'"$USER"'\Documents\crane-3.bbd'
"$linux_cli" demo-image --seed 3 -o "$work/crane-3.bbd"
check "data file from kestrel-cli.exe equals the Linux build's" cmp -s "$documents/crane-3.bbd" "$work/crane-3.bbd"
wine "$cli" report 'C:\users\'"$USER"'\Documents\crane-3.bbd' --doc 2 --yes --locale ru_RU -o 'C:\users\'"$USER"'\Documents\protocol-2.html'
"$linux_cli" report "$work/crane-3.bbd" --doc 2 --yes --locale ru_RU -o "$work/protocol-2.html"
check "protocol No. 2 from kestrel-cli.exe equals the Linux build's" cmp -s "$documents/protocol-2.html" "$work/protocol-2.html"
wine "$cli" report 'C:\users\'"$USER"'\Documents\crane-3.bbd' --doc 6 --yes --locale ru_RU -o 'C:\users\'"$USER"'\Documents\life.html'
"$linux_cli" report "$work/crane-3.bbd" --doc 6 --yes --locale ru_RU --archive "$work/empty.sqlite" -o "$work/life.html"
check "the design working period document equals the Linux build's" cmp -s "$documents/life.html" "$work/life.html"
wine "$cli" report 'C:\users\'"$USER"'\Documents\crane-3.bbd' --doc 2 --yes --locale ru_RU --pdf -o 'C:\users\'"$USER"'\Documents\protocol-2.pdf' || true
check "protocol No. 2 as PDF from kestrel-cli.exe" sh -c 'head -c 5 "$0" | grep -q "%PDF-"' "$documents/protocol-2.pdf"
wine "$cli" summary 'C:\users\'"$USER"'\Documents' --xlsx -o 'C:\users\'"$USER"'\Documents\fleet.xlsx' || true
check "the fleet summary as an Excel workbook from kestrel-cli.exe" sh -c 'unzip -l "$0" 2>/dev/null | grep -q "xl/worksheets/sheet1.xml"' "$documents/fleet.xlsx"
wine "$cli" archive import 'C:\users\'"$USER"'\Documents\crane-3.bbd' --archive 'C:\users\'"$USER"'\Documents\cli.sqlite' >/dev/null
check "kestrel-cli.exe keeps readings in an archive" sh -c \
  'wine "$0" archive list --archive "C:\\users\\$1\\Documents\\cli.sqlite" | tr -d "\r" | grep -q "9424"' "$cli" "$USER"

# The installed program on a data file, as a double-click starts it.
started=$(date +%s%N)
wine "$gui" 'C:\users\'"$USER"'\Documents\crane-3.bbd' >/dev/null 2>&1 &
window=$(timeout 120 xdotool search --sync --onlyvisible --name 'Kestrel|Регистратор' 2>/dev/null | head -n 1 || true)
say "first window after $(( ($(date +%s%N) - started) / 1000000 )) ms"
check "the installed program shows a window" test -n "$window"
sleep 5
xwd -root -display "$DISPLAY" | convert xwd:- "$shots/installed-start.png"
# A message box at start (the parallel-port library missing) is answered, then the main window.
for _ in 1 2 3; do
  active=$(xdotool getactivewindow 2>/dev/null || true)
  name=$(xdotool getwindowname "$active" 2>/dev/null || true)
  case $name in
    *Регистратор*) break ;;
    *) xdotool key --window "$active" Return 2>/dev/null || true; sleep 2 ;;
  esac
done
xwd -root -display "$DISPLAY" | convert xwd:- "$shots/installed-main.png"
check "the reading was kept in the user's archive" sh -c \
  'find "$0/drive_c/users" -ipath "*AppData/Local/Kestrel/archive.sqlite" | grep -q .' "$WINEPREFIX"
wineserver -k || true
wineserver -w || true

# Every page and window, drawn by the Windows build (beside a copy of the installed files).
shots_dir="$WINEPREFIX/drive_c/kestrel-shots"
cp -r "$program_dir" "$shots_dir"
cp "$screenshots_exe" "$shots_dir/"
wine 'C:\kestrel-shots\kestrel_screenshots.exe' "Z:${work//\//\\}\\shots" >/dev/null
check "every page and window screenshotted" sh -c 'test "$(ls "$0"/shots/*.png | wc -l)" -ge 10' "$work"
cp "$work"/shots/*.png "$shots/" 2>/dev/null || true
rm -rf "$shots_dir"

# The user's own files: a data file in the program's folder, the archive, the documents.
mkdir -p "$program_dir/Данные"
cp "$work/crane-3.bbd" "$program_dir/Данные/мой кран.bbd"
wine 'C:\Program Files\Kestrel\uninstall.exe' /S
wineserver -w
sleep 2
wineserver -w
check "the uninstaller removed the program" test ! -e "$program_dir/kestrel.exe"
check "the uninstaller removed Qt" test ! -e "$program_dir/Qt6Core.dll"
check "the user's data file in the program's folder remains" test -f "$program_dir/Данные/мой кран.bbd"
check "the user's documents remain" test -f "$documents/protocol-2.html"
check "the user's archive remains" sh -c \
  'find "$0/drive_c/users" -ipath "*AppData/Local/Kestrel/archive.sqlite" | grep -q .' "$WINEPREFIX"
check "the .bbd association is gone" sh -c '! wine reg query "HKCR\\.bbd" 2>/dev/null | grep -q Kestrel'
check "the shortcuts are gone" sh -c '! find "$0/drive_c" -iname "Kestrel.lnk" | grep -q .' "$WINEPREFIX"
exit $failed
