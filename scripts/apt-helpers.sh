# Sourced by the install-deps scripts that need more than Debian's binary
# packages: apt run as root (or through sudo), waiting for another
# installation on the machine to finish, and deb-src twins of the machine's
# own apt sources, so that source packages come from the same archive,
# checked by apt against the same keys. No host name is written here.
#   apt_sudo           "" as root, else "sudo"
#   apt_get ARGS...    apt-get, retried while the dpkg lock is held
#   apt_add_deb_src    writes $apt_src_list when apt cannot fetch sources yet

apt_sudo=""
[ "$(id -u)" -ne 0 ] && apt_sudo="sudo"
apt_src_list=/etc/apt/sources.list.d/quorvax-deb-src.sources
export DEBIAN_FRONTEND=noninteractive

apt_get() {
  for _ in $(seq 60); do
    if $apt_sudo apt-get -o DPkg::Lock::Timeout=60 "$@"; then
      return 0
    fi
    sleep 5
  done
  return 1
}

# deb-src twins of the deb822 stanzas in sources.list.d and of the one-line
# "deb" entries in sources.list.
apt_write_src_list() {
  local out f
  out=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$apt_src_list" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*deb([ \t]|\n|$)/ { gsub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f" >>"$out"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]\+/deb-src /p' /etc/apt/sources.list |
      awk '{ print "Types: deb-src"; print "URIs: " $2; print "Suites: " $3;
             c = ""; for (i = 4; i <= NF; ++i) c = c (i > 4 ? " " : "") $i; print "Components: " c; print "" }' >>"$out"
  fi
  if [ ! -s "$out" ]; then
    echo "apt: no deb entries found in the apt configuration" >&2
    rm -f "$out"
    return 1
  fi
  $apt_sudo install -m 644 "$out" "$apt_src_list"
  rm -f "$out"
}

# True when apt can already fetch the sources of package $1.
apt_has_sources() {
  apt-get source --print-uris "$1" >/dev/null 2>&1
}
