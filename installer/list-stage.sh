#!/usr/bin/env bash
# Writes the installer's file lists for a staging folder:
#   list-stage.sh STAGE VERSION DEFINES.nsh INSTALL.nsh UNINSTALL.nsh
# INSTALL.nsh holds the SetOutPath/File lines for every file of STAGE,
# UNINSTALL.nsh the Delete/RMDir lines for exactly those files and folders, so
# that the uninstaller never removes what the user or the program wrote into
# the program folder ("Данные", reports, the temporary report). DEFINES.nsh
# holds the size and the four-part version that Windows wants.
# makensis runs this through !system; it fails (non-zero, reason on stderr)
# rather than let an installer be built that could not work on Windows.
set -euo pipefail
export LC_ALL=C.UTF-8   # ${x,,} must fold Cyrillic too

fail() { echo "list-stage.sh: $*" >&2; exit 1; }

[[ $# -eq 5 ]] || fail "usage: list-stage.sh STAGE VERSION DEFINES.nsh INSTALL.nsh UNINSTALL.nsh"
stage=$1 version=$2 defines=$3 install=$4 uninstall=$5

[[ -d $stage ]] || fail "staging folder '$stage' does not exist"
stage=$(cd "$stage" && pwd -P)
# makensis would take these as wildcards or string ends in the File lines.
[[ $stage != *[\"\*\?\\]* && $stage != *'${'* ]] ||
    fail "staging folder path '$stage' contains \", *, ?, \\ or \${"

# DisplayVersion keeps the text; the version resource needs four numbers.
[[ $version =~ ^([0-9]+)(\.([0-9]+))?(\.([0-9]+))?(\.([0-9]+))?([-+~][0-9A-Za-z.~+-]*)?$ ]] ||
    fail "version '$version' is not like 1.2.3 or 1.2.3-rc1"
v4="${BASH_REMATCH[1]}.${BASH_REMATCH[3]:-0}.${BASH_REMATCH[5]:-0}.${BASH_REMATCH[7]:-0}"
for n in ${v4//./ }; do
    (( 10#$n <= 65535 )) || fail "version '$version': $n does not fit a Windows version field (0-65535)"
done

# Without these the installed program cannot start: better no installer.
for required in kestrel.exe kestrel-cli.exe platforms/qwindows.dll; do
    [[ -f $stage/$required ]] || fail "staging folder '$stage' lacks $required"
done

# x64 PE check: a 32-bit or Linux binary in the stage would only fail on the
# user's machine, with a system message that names no file.
is_pe_x64() {
    local f=$1 mz off machine
    mz=$(od -An -tx1 -N2 "$f" | tr -d ' \n')
    [[ $mz == 4d5a ]] || return 1
    off=$(od -An -tu4 -j60 -N4 "$f" | tr -d ' \n')
    [[ -n $off ]] || return 1
    machine=$(od -An -tx1 -j$((off + 4)) -N2 "$f" | tr -d ' \n')
    [[ $(od -An -tx1 -j"$off" -N4 "$f" | tr -d ' \n') == 50450000 && $machine == 6486 ]]
}

nsis_escape() { local s=${1//\$/\$\$}; printf '%s' "${s//\//\\}"; }

mapfile -d '' files < <(cd "$stage" && find -L . -mindepth 1 -type f -printf '%P\0' | LC_ALL=C sort -z)
mapfile -d '' dirs < <(cd "$stage" && find -L . -mindepth 1 -type d -printf '%P\0' | LC_ALL=C sort -z)

declare -A seen=()
for rel in "${dirs[@]}" "${files[@]}"; do
    IFS=/ read -r -a parts <<<"$rel"
    for p in "${parts[@]}"; do
        [[ $p != *[\<\>:\"\|\?\*\\]* ]] || fail "'$rel': Windows forbids < > : \" | ? * \\ in file names"
        # makensis would replace ${...} in the File line by a define.
        [[ $p != *'${'* ]] || fail "'$rel': '\${' cannot stand in a name makensis reads"
        [[ $p != *[[:cntrl:]]* ]] || fail "'$rel': control character in a file name"
        [[ $p != *[.\ ] ]] || fail "'$rel': Windows drops a trailing dot or blank from a name"
        shopt -s nocasematch
        if [[ $p =~ ^(con|prn|aux|nul|com[1-9]|lpt[1-9])(\..*)?$ ]]; then
            shopt -u nocasematch
            fail "'$rel': '$p' is a reserved device name on Windows"
        fi
        shopt -u nocasematch
    done
    key=${rel,,}
    [[ -z ${seen[$key]:-} ]] || fail "'$rel' and '${seen[$key]}' are one file on Windows (names differ only in case)"
    seen[$key]=$rel
done
[[ -z ${seen[uninstall.exe]:-} ]] || fail "the staging folder must not hold uninstall.exe: the installer writes its own"

size_kb=0
for rel in "${files[@]}"; do
    case ${rel,,} in
        *.exe|*.dll) is_pe_x64 "$stage/$rel" || fail "'$rel' is not a 64-bit (x64) Windows program or library" ;;
    esac
    size_kb=$(( size_kb + ($(stat -L -c %s "$stage/$rel") + 1023) / 1024 ))
done

{
    printf '!define STAGE_SIZE_KB %d\n' "$size_kb"
    printf '!define VERSION_4 "%s"\n' "$v4"
} >"$defines"

{
    for rel in "${dirs[@]}"; do
        printf 'CreateDirectory "$INSTDIR\\%s"\n' "$(nsis_escape "$rel")"
    done
    current=
    for rel in "${files[@]}"; do
        dir=$(dirname -- "$rel")
        [[ $dir == . ]] && dir=
        if [[ $dir != "$current" || -z ${started:-} ]]; then
            if [[ -n $dir ]]; then
                printf 'SetOutPath "$INSTDIR\\%s"\n' "$(nsis_escape "$dir")"
            else
                printf 'SetOutPath "$INSTDIR"\n'
            fi
            current=$dir started=1
        fi
        # makensis reads the source path as it stands; the name written on
        # Windows is a run-time string, so /oname carries it escaped.
        printf 'File "/oname=%s" "%s"\n' "$(nsis_escape "$(basename -- "$rel")")" "$stage/$rel"
    done
    printf 'SetOutPath "$INSTDIR"\n'
} >"$install"

{
    for rel in "${files[@]}"; do
        printf 'Delete "$INSTDIR\\%s"\n' "$(nsis_escape "$rel")"
    done
    # Reverse byte order puts every folder before its parent. RMDir without /r
    # leaves a folder in which the user put files of their own.
    for ((i = ${#dirs[@]} - 1; i >= 0; i--)); do
        printf 'RMDir "$INSTDIR\\%s"\n' "$(nsis_escape "${dirs[i]}")"
    done
} >"$uninstall"
