#!/usr/bin/env bash
# Builds the Windows installer of Kestrel from a staging folder:
#   installer/make-installer.sh STAGE OUT.exe VERSION
# STAGE holds everything the programs need (kestrel.exe, kestrel-cli.exe, the
# Qt and mingw DLLs, platforms/, styles/, translations/, help/ ...); all of it
# is packed. KESTREL_INSTALLER_ARCH=x86 builds a 32-bit installer instead of
# the 64-bit one (same content; it can tell a 32-bit Windows why it stops).
# MAKENSIS names another makensis than the one on PATH.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "make-installer.sh: $*" >&2; exit 1; }

[[ $# -eq 3 ]] || fail "usage: make-installer.sh STAGE OUT.exe VERSION"
stage=$1 out=$2 version=$3
# A failed build must not leave an older installer looking like the result.
rm -f -- "$out"

makensis=${MAKENSIS:-makensis}
command -v "$makensis" >/dev/null ||
    fail "makensis not found (Debian: apt-get install nsis)"
[[ -d $stage ]] || fail "staging folder '$stage' does not exist"
stage=$(cd "$stage" && pwd -P)   # makensis works in the script's folder
[[ -n $version ]] || fail "empty version"
outdir=$(dirname -- "$out")
[[ -d $outdir ]] || fail "folder of '$out' does not exist"
out="$(cd "$outdir" && pwd -P)/$(basename -- "$out")"

arch_define=()
case ${KESTREL_INSTALLER_ARCH:-x64} in
    x64) ;;
    x86) arch_define=(-DX86) ;;
    *) fail "KESTREL_INSTALLER_ARCH must be x64 or x86" ;;
esac

"$makensis" -V2 -INPUTCHARSET UTF8 "${arch_define[@]}" \
    "-DSTAGE=$stage" "-DVERSION=$version" "-DOUTFILE=$out" \
    "$here/kestrel.nsi" || fail "makensis failed"
[[ -s $out ]] || fail "makensis reported success but wrote no '$out'"
echo "wrote $out"
