# Sourced by the Windows build scripts: fetch_debian_source PACKAGE DIR downloads and unpacks
# Debian's source package PACKAGE into DIR, through a copy of the system's own Debian entry
# with deb-src beside deb (the system's sources stay as they are). Does nothing when DIR
# already holds an unpacked PACKAGE source.
fetch_debian_source() {
  local package=$1 dir=$2
  mkdir -p "$dir"
  if ls -d "$dir/$package"-*/ >/dev/null 2>&1; then
    return 0
  fi
  command -v dpkg-source >/dev/null 2>&1 || {
    echo "fetch_debian_source: dpkg-source is missing (package dpkg-dev)" >&2
    return 1
  }
  local lists="$dir/apt"
  mkdir -p "$lists/lists/partial" "$lists/sources.list.d" "$lists/cache/archives/partial"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed 's/^Types: deb$/Types: deb deb-src/' "$f" > "$lists/sources.list.d/$(basename "$f")"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "$lists/sources.list.d/system.list"
  fi
  local apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$lists/sources.list.d"
    -o "Dir::State::Lists=$lists/lists" -o "Dir::Cache=$lists/cache")
  if [ ! -f "$lists/updated" ]; then
    apt-get "${apt_opts[@]}" update -q
    touch "$lists/updated"
  fi
  (cd "$dir" && apt-get "${apt_opts[@]}" source -q --download-only "$package" &&
    dpkg-source -x --no-check "$package"_*.dsc)
}
