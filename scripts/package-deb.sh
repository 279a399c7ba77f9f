#!/usr/bin/env bash
# package-deb.sh: the Debian package of Kestrel, build/package/kestrel_VERSION_ARCH.deb:
# both programs and the port library in /usr/lib/kestrel (links in /usr/bin), the menu entry,
# the icons, the .bbd file type, the manual pages (help2man, from --help), the udev rule and
# modules-load entry for the group "kestrel", Depends taken from the binaries (dpkg-shlibdeps).
# KESTREL_TEST_DEB=1 then tries it in a fresh Debian 12 root (scripts/test-deb.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
need=()
for p in help2man dpkg-dev file; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
[ ${#need[@]} -eq 0 ] || "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}"

# The Release build of ./test.sh serves (the package takes only what is installed, under /usr);
# DEB_BUILD_DIR names another.
dir=${DEB_BUILD_DIR:-build}
bash scripts/build.sh "$dir" Release

# Manual pages from what the programs themselves say (help2man reads its name line as
# bytes unless told the arguments are UTF-8). The window program needs no display for --help.
man="$PWD/$dir/man"
mkdir -p "$man"
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime
PERL_UNICODE=A LC_ALL=ru_RU.UTF-8 help2man --locale=ru_RU.UTF-8 -N \
  -n "командная строка Kestrel: регистраторы параметров работы кранов" -o "$man/kestrel-cli.1" "$dir/bin/kestrel-cli"
QT_QPA_PLATFORM=offscreen PERL_UNICODE=A LC_ALL=ru_RU.UTF-8 help2man --locale=ru_RU.UTF-8 -N \
  -n "регистратор параметров работы крана" -o "$man/kestrel.1" "$dir/bin/kestrel"
rm -rf "$runtime"
gzip -9nf "$man/kestrel-cli.1" "$man/kestrel.1"

cmake -S . -B "$dir" -DKESTREL_MAN_DIR="$man" >/dev/null
rm -rf "$dir/package"
(cd "$dir" && cpack -G DEB -B "$PWD/package" >/dev/null)
deb=$(ls "$dir"/package/kestrel_*.deb)
echo "package-deb: $deb" >&2
dpkg-deb --field "$deb" Package Version Depends Recommends >&2
if [ "${KESTREL_TEST_DEB:-0}" = 1 ]; then
  bash scripts/test-deb.sh "$deb"
fi
