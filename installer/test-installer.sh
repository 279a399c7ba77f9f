#!/usr/bin/env bash
# Proves the installer under wine: builds a fake staging folder (a small
# mingw program that logs its arguments stands in for kestrel.exe), builds the
# installer from it, and in a fresh 64-bit wine prefix installs, opens a .bbd
# through the association, upgrades, uninstalls, and checks that what the
# user wrote into the program folder stays. Also checks that broken stages do
# not make an installer. Prints ok/FAIL lines; exits non-zero on any FAIL.
#   installer/test-installer.sh [--keep]   (--keep leaves the work folder)
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
keep=0
[[ ${1:-} == --keep ]] && keep=1
started=$SECONDS
failures=0

ok() { echo "ok   $*"; }
bad() { echo "FAIL $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@" >/dev/null 2>&1; then ok "$what"; else bad "$what"; fi; }
finish() {
    echo "$failures failure(s), $((SECONDS - started)) s"
    [[ $failures -eq 0 ]] && exit 0 || exit 1
}

for tool in makensis wine wineserver winecfg x86_64-w64-mingw32-gcc x86_64-w64-mingw32-windres iconv od; do
    command -v "$tool" >/dev/null || { bad "tool $tool is missing"; finish; }
done

work=$(mktemp -d)
cleanup() {
    [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]] && wineserver -k >/dev/null 2>&1
    if [[ $keep -eq 1 ]]; then echo "work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# Wine links the profile's Desktop, Documents... to $HOME: keep them in the
# work folder. Cyrillic file names need a UTF-8 locale on the Unix side.
export HOME=$work/home
mkdir -p "$HOME"
if locale -a 2>/dev/null | grep -qix 'ru_RU.utf-\?8'; then export LC_ALL=ru_RU.UTF-8; else export LC_ALL=C.UTF-8; fi
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# --- fake stage ----------------------------------------------------------
build_fakes() {
    local b=$work/build
    mkdir -p "$b"
    x86_64-w64-mingw32-windres -O coff -o "$b/kestrel-rc.o" "$here/kestrel.rc" &&
    x86_64-w64-mingw32-gcc -std=c11 -Wall -Wextra -Werror -O2 -municode -mwindows \
        -o "$b/kestrel.exe" "$here/test/fake-kestrel.c" "$b/kestrel-rc.o" -lshell32 &&
    printf 'int kestrel_fake_dll;\n' >"$b/dummy.c" &&
    x86_64-w64-mingw32-gcc -shared -o "$b/dummy.dll" "$b/dummy.c"
}

# make_stage DIR HELP_TEXT EXTRA_DLL
make_stage() {
    local s=$1 b=$work/build
    mkdir -p "$s/platforms" "$s/styles" "$s/translations" "$s/help/images"
    cp "$b/kestrel.exe" "$s/kestrel.exe"
    cp "$b/kestrel.exe" "$s/kestrel-cli.exe"
    for dll in Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport libstdc++-6 libgcc_s_seh-1 libwinpthread-1 "$3"; do
        cp "$b/dummy.dll" "$s/$dll.dll"
    done
    cp "$b/dummy.dll" "$s/platforms/qwindows.dll"
    cp "$b/dummy.dll" "$s/styles/qmodernwindowsstyle.dll"
    printf 'qm' >"$s/translations/qtbase_ru.qm"
    printf '%s\n' "$2" >"$s/help/index.html"
    printf 'png' >"$s/help/images/crane.png"
    # A blank, a quote and a $ that NSIS must not take for a variable.
    printf 'news\n' >"$s/help/what's new \$1.html"
}

if ! build_fakes; then bad "fake kestrel.exe and DLL build with mingw and kestrel.rc"; finish; fi
ok "fake kestrel.exe and DLL build with mingw and kestrel.rc"

# The version resource carries the Russian description as UTF-16.
utf16_pattern=$(printf 'Регистратор параметров работы крана' | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ' ' | sed 's/^ //; s/ $//; s/\([0-9a-f][0-9a-f]\)/\\x\1/g; s/ //g')
check "kestrel.rc puts the Russian FileDescription into the exe" \
    env LC_ALL=C grep -qaP "$utf16_pattern" "$work/build/kestrel.exe"

make_stage "$work/stage1" "help version 1" OldOnly
make_stage "$work/stage2" "help version 2" NewOnly
setup1=$work/out/kestrel-0.1.0-setup.exe
setup2=$work/out/kestrel-0.2.0-setup.exe
mkdir -p "$work/out"
check "installer 0.1.0 builds" "$here/make-installer.sh" "$work/stage1" "$setup1" 0.1.0
check "installer 0.2.0 builds" "$here/make-installer.sh" "$work/stage2" "$setup2" 0.2.0
[[ -s $setup1 && -s $setup2 ]] || { bad "no installer to test"; finish; }

# --- stages that must not give an installer --------------------------------
# refused WHAT STAGE VERSION [VAR=value...]: make-installer fails, says why on
# stderr, and leaves no installer (a stale one of the same name is removed).
refused() {
    local what=$1 stage=$2 version=$3; shift 3
    local out=$work/out/refused.exe err=$work/out/refused.err
    printf 'stale' >"$out"
    if env "$@" "$here/make-installer.sh" "$stage" "$out" "$version" >/dev/null 2>"$err"; then
        bad "refused: $what (it built)"
    elif [[ -e $out ]]; then
        bad "refused: $what (an installer file remains)"
    elif [[ ! -s $err ]]; then
        bad "refused: $what (no reason given)"
    else
        ok "refused: $what"
    fi
}
bad_stage() { rm -rf "$work/bad"; cp -r "$work/stage1" "$work/bad"; }

refused "missing staging folder" "$work/nonexistent" 0.1.0
refused "makensis missing" "$work/stage1" 0.1.0 MAKENSIS=/nonexistent/makensis
refused "a version Windows cannot hold" "$work/stage1" 0.1.70000
bad_stage; rm "$work/bad/kestrel.exe"
refused "stage without kestrel.exe" "$work/bad" 0.1.0
bad_stage; rm "$work/bad/platforms/qwindows.dll"
refused "stage without platforms/qwindows.dll" "$work/bad" 0.1.0
bad_stage; cp "$work/bad/Qt6Core.dll" "$work/bad/qt6core.dll"
refused "names differing only in case" "$work/bad" 0.1.0
bad_stage; cp /bin/true "$work/bad/DLPortIO.dll"
refused "a DLL that is not x64 Windows" "$work/bad" 0.1.0
bad_stage; printf 'x' >"$work/bad/help/a:b.html"
refused "a name Windows forbids" "$work/bad" 0.1.0
rm -rf "$work/bad"
check "32-bit variant builds (KESTREL_INSTALLER_ARCH=x86)" \
    env KESTREL_INSTALLER_ARCH=x86 "$here/make-installer.sh" "$work/stage1" "$work/out/kestrel-x86-setup.exe" 0.1.0

# --- wine helpers ----------------------------------------------------------
C=$WINEPREFIX/drive_c
DIR="$C/Program Files/Kestrel"
WINDIR='C:\Program Files\Kestrel'
MENU="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrel"
DESKTOP="$C/users/Public/Desktop"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel'

# reg_get KEY [NAME]: prints the value (the default one without NAME) as
# exported; fails when the key or the value is missing. Export, not query:
# its UTF-16 file keeps Cyrillic that the console code page would lose.
reg_get() {
    (cd "$work" && wine reg export "$1" reg.out /y) >/dev/null 2>&1 || return 1
    local want='@'
    [[ $# -ge 2 ]] && want="\"$2\""
    iconv -f UTF-16 -t UTF-8 "$work/reg.out" | tr -d '\r' | awk -v want="$want" '
        /^\[/ { sections++; next }
        sections == 1 && index($0, want "=") == 1 {
            v = substr($0, length(want) + 2)
            if (v ~ /^".*"$/) { v = substr(v, 2, length(v) - 2); gsub(/\\\\/, "\\", v); gsub(/\\"/, "\"", v) }
            print v; found = 1; exit
        }
        END { exit !found }'
}
reg_is() { [[ $(reg_get "$1" "${3:-}" 2>/dev/null) == "$2" ]]; }
reg_default_is() { [[ $(reg_get "$1" 2>/dev/null) == "$2" ]]; }
key_missing() { ! (cd "$work" && wine reg export "$1" reg.out /y) >/dev/null 2>&1; }

run_setup() { wine "$1" /S; local rc=$?; wineserver -w; return $rc; }
# The uninstaller copies itself to the temporary folder and returns at once;
# wineserver -w waits until that copy has finished too.
run_uninstall() { wine "$WINDIR\\uninstall.exe" /S; local rc=$?; wineserver -w; return $rc; }

same_files() { # every file of stage $1 is in the program folder, unchanged
    local rel
    while IFS= read -r -d '' rel; do cmp -s "$1/$rel" "$DIR/$rel" || { echo "differs: $rel" >&2; return 1; }; done \
        < <(cd "$1" && find . -type f -printf '%P\0')
}
none_left() { # no file of stage $1 is left in the program folder
    local rel
    while IFS= read -r -d '' rel; do [[ ! -e $DIR/$rel ]] || { echo "left: $rel" >&2; return 1; }; done \
        < <(cd "$1" && find . -type f -printf '%P\0')
}

# --- fresh prefix ----------------------------------------------------------
if ! wineboot -i >/dev/null 2>&1; then bad "wine prefix created"; finish; fi
wineserver -w

winecfg -v win7 >/dev/null 2>&1
wine "$setup1" /S
rc=$?
wineserver -w
check "Windows 7 refused with exit code 3 (got $rc)" test "$rc" -eq 3
check "nothing installed on Windows 7" test ! -e "$DIR"
winecfg -v win10 >/dev/null 2>&1

# --- install 0.1.0 ---------------------------------------------------------
check "silent install 0.1.0 exits 0" run_setup "$setup1"
check "every staged file installed unchanged" same_files "$work/stage1"
check "icon and uninstaller installed" test -s "$DIR/kestrel.ico" -a -s "$DIR/uninstall.exe"
check "Start menu shortcut Kestrel" grep -qa 'kestrel.exe' "$MENU/Kestrel.lnk"
check "Start menu shortcut Удалить Kestrel" grep -qa 'uninstall.exe' "$MENU/Удалить Kestrel.lnk"
check "desktop shortcut Kestrel (all users)" grep -qa 'kestrel.exe' "$DESKTOP/Kestrel.lnk"

check "HKCR\\.bbd is Kestrel.DataFile" reg_default_is 'HKCR\.bbd' Kestrel.DataFile
check "file type described in Russian" reg_default_is 'HKCR\Kestrel.DataFile' 'Данные регистратора параметров крана'
check "open command passes the file" reg_default_is 'HKCR\Kestrel.DataFile\shell\open\command' "\"$WINDIR\\kestrel.exe\" \"%1\""
check "file type icon" reg_default_is 'HKCR\Kestrel.DataFile\DefaultIcon' "$WINDIR\\kestrel.ico,0"

check "ARP DisplayName" reg_is "$UNINSTALL_KEY" 'Kestrel — регистратор параметров работы крана' DisplayName
check "ARP DisplayVersion 0.1.0" reg_is "$UNINSTALL_KEY" 0.1.0 DisplayVersion
check "ARP Publisher" reg_is "$UNINSTALL_KEY" Kestrel Publisher
check "ARP UninstallString" reg_is "$UNINSTALL_KEY" "\"$WINDIR\\uninstall.exe\"" UninstallString
check "ARP QuietUninstallString" reg_is "$UNINSTALL_KEY" "\"$WINDIR\\uninstall.exe\" /S" QuietUninstallString
check "ARP InstallLocation" reg_is "$UNINSTALL_KEY" "$WINDIR" InstallLocation
check "ARP DisplayIcon" reg_is "$UNINSTALL_KEY" "$WINDIR\\kestrel.ico" DisplayIcon
arp_no_modify_repair() { reg_is "$UNINSTALL_KEY" dword:00000001 NoModify && reg_is "$UNINSTALL_KEY" dword:00000001 NoRepair; }
check "ARP NoModify, NoRepair" arp_no_modify_repair
size=$(reg_get "$UNINSTALL_KEY" EstimatedSize 2>/dev/null)
size=$((16#${size#dword:}))
staged=$(du -sk --apparent-size "$work/stage1" | cut -f1)
check "ARP EstimatedSize is the stage's size (${size} KiB for ${staged} KiB)" \
    test "$size" -ge $((staged * 9 / 10)) -a "$size" -le $((staged * 11 / 10 + 16))

# --- open a data file through the association -------------------------------
mkdir -p "$C/Данные проверки"
printf 'bbd' >"$C/Данные проверки/проба 1.bbd"
rm -f "$C/kestrel-fake-args.txt"
wine start /wait /unix "$C/Данные проверки/проба 1.bbd" >/dev/null 2>&1
wineserver -w
check "double-clicked .bbd opens kestrel.exe with the file" \
    test "$(cat "$C/kestrel-fake-args.txt" 2>/dev/null)" == 'C:\Данные проверки\проба 1.bbd'

# --- the user's own files ---------------------------------------------------
APPDATA_DIR="$C/users/$(id -un)/AppData/Local/Kestrel"
user_files=(
    "$DIR/Данные/Данные от 07_12_2026 1430   РП №123.bbd"
    "$DIR/Отчеты/Протокол 1.html"
    "$DIR/\$temp\$.html"
    "$DIR/help/мои заметки.txt"
    "$DIR/platforms/notes.txt"
    "$APPDATA_DIR/archive.sqlite"
)
for f in "${user_files[@]}"; do mkdir -p "$(dirname "$f")"; printf 'user %s\n' "$f" >"$f"; done
user_files_intact() {
    local f
    for f in "${user_files[@]}"; do [[ $(cat "$f" 2>/dev/null) == "user $f" ]] || { echo "lost: $f" >&2; return 1; }; done
}

# --- upgrade to 0.2.0 -------------------------------------------------------
check "silent install 0.2.0 over 0.1.0 exits 0" run_setup "$setup2"
check "0.2.0 files installed unchanged" same_files "$work/stage2"
check "a file dropped from 0.2.0 is removed on upgrade" test ! -e "$DIR/OldOnly.dll"
check "ARP DisplayVersion 0.2.0" reg_is "$UNINSTALL_KEY" 0.2.0 DisplayVersion
check "association kept over the upgrade" reg_default_is 'HKCR\.bbd' Kestrel.DataFile
check "user files survive the upgrade" user_files_intact

# --- uninstall --------------------------------------------------------------
check "silent uninstall exits 0" run_uninstall
check "installed files removed" none_left "$work/stage2"
check "icon and uninstaller removed" test ! -e "$DIR/kestrel.ico" -a ! -e "$DIR/uninstall.exe"
check "emptied folders removed (styles, translations, help/images)" \
    test ! -e "$DIR/styles" -a ! -e "$DIR/translations" -a ! -e "$DIR/help/images"
check "user files remain, also beside installed ones" user_files_intact
check "shortcuts and Start menu folder removed" test ! -e "$MENU" -a ! -e "$DESKTOP/Kestrel.lnk"
check "ARP entry removed" key_missing "$UNINSTALL_KEY"
check "ProgID removed" key_missing 'HKCR\Kestrel.DataFile'
check ".bbd association removed" key_missing 'HKCR\.bbd'

# --- another program's association -----------------------------------------
wine reg add 'HKLM\Software\Classes\.bbd' /ve /d Other.File /f >/dev/null 2>&1
run_setup "$setup2" >/dev/null 2>&1
check "install takes .bbd from another program" reg_default_is 'HKCR\.bbd' Kestrel.DataFile
run_uninstall >/dev/null 2>&1
check "uninstall gives .bbd back to the other program" reg_default_is 'HKCR\.bbd' Other.File

run_setup "$setup2" >/dev/null 2>&1
wine reg add 'HKLM\Software\Classes\.bbd' /ve /d Third.File /f >/dev/null 2>&1
run_uninstall >/dev/null 2>&1
check "uninstall leaves .bbd alone once another program took it" reg_default_is 'HKCR\.bbd' Third.File
check "user files remain after three uninstalls" user_files_intact

finish
