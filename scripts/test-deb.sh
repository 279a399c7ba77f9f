#!/usr/bin/env bash
# test-deb.sh KESTREL.deb: the package tried as on a user's fresh Debian 12: in a new root
# (debootstrap, minbase; cached as a tarball under ~/.cache/kestrel) apt installs it with its
# dependencies; kestrel-cli --version answers; an ordinary user writes a data file and the
# desktop program, started on it under xvfb-run, stores it in the user's archive; the menu
# entry, file type, icons, manual pages, udev rule and group are there; apt-get purge leaves
# no file of the package behind while the user's data and archive stay. Prints ok/FAIL lines.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(realpath "$1")
check_name=test-deb
# shellcheck source=scripts/lib/checks.sh
source scripts/lib/checks.sh
if [ "$(id -u)" -ne 0 ]; then
  say "needs root (debootstrap, chroot)"
  exit 1
fi
command -v debootstrap >/dev/null 2>&1 ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap

cache=${KESTREL_ROOT_CACHE:-$HOME/.cache/kestrel/debian12-root.tar}
root=$(mktemp -d /tmp/kestrel-root.XXXXXX)
cleanup() {
  for m in dev/pts dev proc sys; do
    mountpoint -q "$root/$m" 2>/dev/null && umount -l "$root/$m"
  done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

if [ -f "$cache" ]; then
  tar -xf "$cache" -C "$root"
else
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
  mkdir -p "$(dirname "$cache")"
  tar -cf "$cache.part" -C "$root" . && mv "$cache.part" "$cache"
fi
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t sysfs sys "$root/sys"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
as_user() { chroot "$root" env -i PATH=/usr/bin:/bin HOME=/home/engineer LANG=C.UTF-8 setpriv --reuid=engineer --regid=engineer --init-groups "$@"; }

cp "$deb" "$root/tmp/"
in_root apt-get update -q >/dev/null
check "apt-get installs the package with its dependencies" \
  in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" xvfb xauth
check "kestrel-cli --version answers" sh -c 'chroot "$0" kestrel-cli --version | grep -q "^kestrel-cli [0-9]"' "$root"
check "the menu entry" test -f "$root/usr/share/applications/kestrel.desktop"
check "the .bbd file type" sh -c 'grep -q "\*.bbd" "$0/usr/share/mime/packages/kestrel.xml" && grep -q x-kestrel-bbd "$0/usr/share/mime/globs2"' "$root"
check "the icons" test -f "$root/usr/share/icons/hicolor/48x48/apps/kestrel.png"
check "the manual pages" test -f "$root/usr/share/man/man1/kestrel-cli.1.gz" -a -f "$root/usr/share/man/man1/kestrel.1.gz"
check "the udev rule and the modules" test -f "$root/usr/lib/udev/rules.d/60-kestrel.rules" -a -f "$root/usr/lib/modules-load.d/kestrel.conf"
check "the group kestrel" in_root getent group kestrel

in_root useradd -m -G kestrel engineer
as_user /usr/bin/kestrel-cli demo-image --seed 5 -o /home/engineer/crane.bbd
check "an ordinary user writes a data file" test -s "$root/home/engineer/crane.bbd"
as_user /usr/bin/kestrel-cli report /home/engineer/crane.bbd --doc 2 --yes --pdf -o /home/engineer/protocol-2.pdf || true
check "an ordinary user saves protocol No. 2 as PDF" sh -c 'head -c 5 "$0" | grep -q "%PDF-"' "$root/home/engineer/protocol-2.pdf"
as_user /usr/bin/kestrel-cli summary /home/engineer --xlsx -o /home/engineer/fleet.xlsx || true
check "and the fleet summary as an Excel workbook" sh -c 'head -c 2 "$0" | grep -q "PK"' "$root/home/engineer/fleet.xlsx"
# The desktop program on the file: still running after 15 s, and the reading is in the archive.
set +e
as_user timeout 15 xvfb-run -a /usr/bin/kestrel /home/engineer/crane.bbd >"$root/tmp/kestrel.log" 2>&1
status=$?
set -e
check "the desktop program starts on the data file (ran until stopped)" test "$status" = 124
check "the reading went into the user's archive" test -s "$root/home/engineer/.local/share/kestrel/archive.sqlite"
[ "$failed" = 0 ] || cat "$root/tmp/kestrel.log" >&2

in_root dpkg -L kestrel >"$root/tmp/files"
in_root apt-get purge -y -q kestrel >/dev/null
left=()
while IFS= read -r path; do
  [ -n "$path" ] && [ ! -d "$root$path" ] && { [ -e "$root$path" ] || [ -L "$root$path" ]; } && left+=("$path")
done <"$root/tmp/files"
check "apt-get purge leaves no file of the package (${left[*]:-none})" test ${#left[@]} -eq 0
check "purge keeps the user's data file" test -s "$root/home/engineer/crane.bbd"
check "purge keeps the user's archive" test -s "$root/home/engineer/.local/share/kestrel/archive.sqlite"
exit $failed
