#!/usr/bin/env bash
# Installs the Debian packages Kestrel needs to build, test, benchmark and fuzz,
# and generates the ru_RU.UTF-8 locale (the widget tests run a second time on a
# Russian desktop). Idempotent: packages already present are not touched; runs apt
# only when something is missing. Works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  qt6-base-dev qt6-base-dev-tools libqcustomplot-dev qt6-translations-l10n
  nlohmann-json3-dev libsqlite3-dev libcli11-dev libxlsxwriter-dev
  libpqxx-dev postgresql openssl python3
  xvfb xauth poppler-utils
  locales
  libc-l10n
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

has_russian_locale() {
  locale -a 2>/dev/null | grep -qiE '^ru_RU\.utf-?8$'
}

if [ ${#missing[@]} -eq 0 ] && has_russian_locale; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: missing packages (${missing[*]}) or the ru_RU.UTF-8 locale, and neither root nor sudo available" >&2
  exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! has_russian_locale; then
  echo "install-deps: generating the ru_RU.UTF-8 locale" >&2
  "${as_root[@]}" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
